// The log's texts against any clock reading, names, messages and buffer sizes. Input:
// 28 bytes of numbers (six clock fields, the source line), two bytes of capacity, then
// root, function and message separated by zero bytes. Properties: nothing is written
// past the capacity; the result is always terminated and its length is the returned
// one; a line that fits is the whole line, a longer one is its beginning ending in
// CR LF; a path either fits whole or is refused with an empty buffer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_check.h"
#include "log_line.h"

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint32_t Number(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes && m_used < m_size; ++i) value |= std::uint32_t(m_data[m_used++]) << (8 * i);
        return value;
    }
    // The bytes up to the next zero byte (or the end).
    std::string Text()
    {
        std::string text;
        while (m_used < m_size && m_data[m_used] != 0) text += char(m_data[m_used++]);
        if (m_used < m_size) ++m_used;
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_used = 0;
};

// printf's "%02d".
std::string TwoDigits(int value)
{
    return value >= 0 && value <= 9 ? "0" + std::to_string(value) : std::to_string(value);
}

// A buffer of exactly `capacity` bytes, so that a write past it is caught.
struct ExactBuffer {
    explicit ExactBuffer(std::size_t size) : capacity(size), bytes(new char[size]) {}
    std::string Text() const { return std::string(bytes.get()); }
    std::size_t capacity;
    std::unique_ptr<char[]> bytes;
};

void CheckPath(bool fitted, const ExactBuffer& buffer, const std::string& whole)
{
    FUZZ_CHECK(fitted == (whole.size() < buffer.capacity));
    if (buffer.capacity == 0) return;
    FUZZ_CHECK(buffer.Text() == (fitted ? whole : std::string()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    LogTime time;
    int* const fields[] = {&time.year, &time.month, &time.day, &time.hour, &time.minute, &time.second};
    for (int* field : fields) *field = int(in.Number(4));
    const int line = int(in.Number(4));
    const std::size_t capacity = in.Number(2) % (kLogLineCapacity + 64);
    const std::string root = in.Text();
    const std::string function = in.Text();
    const std::string message = in.Text();

    const std::string whole = "[" + TwoDigits(time.hour) + ":" + TwoDigits(time.minute) + ":" +
                              TwoDigits(time.second) + "]" + function + ":" + std::to_string(line) + " " +
                              message + "\r\n";
    ExactBuffer buffer(capacity);
    const std::size_t length =
        FormatLogLine(buffer.bytes.get(), capacity, time, function.c_str(), line, message.c_str());
    if (capacity == 0) {
        FUZZ_CHECK(length == 0);
    } else {
        FUZZ_CHECK(length < capacity);
        FUZZ_CHECK(buffer.bytes[length] == '\0' && std::strlen(buffer.bytes.get()) == length);
        const std::string text(buffer.bytes.get(), length);
        if (whole.size() < capacity) {
            FUZZ_CHECK(text == whole);
        } else if (length >= 2) {
            FUZZ_CHECK(text == whole.substr(0, length - 2) + "\r\n");
        } else {
            FUZZ_CHECK(text == whole.substr(0, length));
        }
    }

    const std::string dayFile = root + "Log\\Log_" + std::to_string(time.year) + "_" + TwoDigits(time.month) + "_" +
                                TwoDigits(time.day) + ".txt";
    ExactBuffer path(capacity % (kLogPathCapacity + 16));
    CheckPath(FormatLogFilePath(path.bytes.get(), path.capacity, root.c_str(), time), path, dayFile);

    const std::string dumpFile = root + "orvex_" + TwoDigits(time.year % 100) + TwoDigits(time.month) +
                                 TwoDigits(time.day) + TwoDigits(time.hour) + TwoDigits(time.minute) +
                                 TwoDigits(time.second) + ".dmp";
    CheckPath(FormatDumpFilePath(path.bytes.get(), path.capacity, root.c_str(), time), path, dumpFile);
    return 0;
}
