#include "device_list.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

DeviceRow SplitDeviceLine(std::string_view line)
{
    DeviceRow fields;
    for (;;) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) break;
        fields.emplace_back(line.substr(0, comma));
        line.remove_prefix(comma + 1);
    }
    fields.emplace_back(line);
    return fields;
}

DeviceList ReadDeviceList(std::istream& in)
{
    DeviceList list;
    std::string line;
    // A header that runs into the end of the file leaves nothing to read after it.
    if (!std::getline(in, line) || in.eof()) return list;
    if (StartsWith(line, kUtf8Bom)) list.encoding = TextEncoding::Utf8;

    // getline fails only when it extracted nothing at the end: a final line break
    // therefore makes no extra row, while an empty line between breaks does.
    while (std::getline(in, line)) {
        const bool endedByLineFeed = !in.eof();
        if (endedByLineFeed && !line.empty() && line.back() == '\r') line.pop_back();
        list.rows.push_back(SplitDeviceLine(line));
    }
    return list;
}

DeviceList ParseDeviceList(std::string_view bytes)
{
    std::istringstream in{std::string(bytes)};
    return ReadDeviceList(in);
}

DeviceList ReadDeviceListFile(const std::string& utf8Path)
{
    return TryReadDeviceListFile(utf8Path).value_or(DeviceList());
}

std::optional<DeviceList> TryReadDeviceListFile(const std::string& utf8Path)
{
    std::filesystem::path path;
    try {
        path = std::filesystem::u8path(utf8Path);
    } catch (const std::filesystem::filesystem_error&) {
        return std::nullopt;  // not UTF-8: it names no file
    }
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::nullopt;
    // Binary: line ends are handled above, and the C runtime's text mode would end
    // the file at the first Ctrl-Z byte.
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    DeviceList list = ReadDeviceList(in);
    if (in.bad()) return std::nullopt;
    return list;
}
