// The device list reader against any bytes: its rows are exactly the file's lines after
// the first, cut at every line feed (a CR before it dropped) and at every comma, with
// nothing after the last line feed making no row; the byte-order mark decides the encoding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device_list.h"
#include "fuzz_check.h"

namespace {

// The lines after the header, found by walking the bytes once.
std::vector<std::string> BodyLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    const std::size_t headerEnd = bytes.find('\n');
    if (headerEnd == std::string_view::npos) return lines;
    std::string current;
    for (std::size_t i = headerEnd + 1; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') {
            current += bytes[i];
            continue;
        }
        if (!current.empty() && current.back() == '\r') current.pop_back();
        lines.push_back(current);
        current.clear();
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

std::string Joined(const DeviceRow& row)
{
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (i > 0) line += ',';
        line += row[i];
    }
    return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DeviceList list = ParseDeviceList(bytes);
    const std::vector<std::string> lines = BodyLines(bytes);

    FUZZ_CHECK(list.rows.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const DeviceRow& row = list.rows[i];
        FUZZ_CHECK(!row.empty());
        for (const std::string& field : row) FUZZ_CHECK(field.find(',') == std::string::npos);
        FUZZ_CHECK(Joined(row) == lines[i]);
    }
    if (!list.rows.empty()) {
        const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
        FUZZ_CHECK((list.encoding == TextEncoding::Utf8) == bom);
    }
    const DeviceRow whole = SplitDeviceLine(bytes);
    FUZZ_CHECK(whole.size() == static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), ',')) + 1);
    FUZZ_CHECK(Joined(whole) == bytes);
    return 0;
}
