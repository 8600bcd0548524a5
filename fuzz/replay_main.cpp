// Runs every file of the given corpus folders (or single files) once through a fuzz
// target, so the ordinary test run repeats each seed and each input that once failed
// under the sanitizers, without libFuzzer. Fails when it finds no input at all: an
// empty corpus would prove nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> InputsOf(const fs::path& where)
{
    std::vector<fs::path> inputs;
    std::error_code error;
    if (fs::is_regular_file(where, error)) {
        inputs.push_back(where);
        return inputs;
    }
    for (const auto& entry : fs::directory_iterator(where, error))
        if (entry.is_regular_file(error)) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());  // the same order on every run
    return inputs;
}

bool RunOnce(const fs::path& input)
{
    std::ifstream file(input, std::ios::binary);
    if (!file) return false;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so that a read past its end is caught; never
    // a null pointer, not even for an empty input (libFuzzer passes none either).
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& input : InputsOf(argv[i])) {
            if (!RunOnce(input)) {
                std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
                return 1;
            }
            ++runs;
        }
    }
    std::printf("%zu inputs run once\n", runs);
    return runs > 0 ? 0 : 1;
}
