#include "console_out.h"

#include <windows.h>
#include <algorithm>

namespace trevanil_host {
namespace {

void WriteTo(DWORD which, std::string text)
{
    text += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Columns a UTF-8 text takes on a terminal: East Asian wide characters take two.
std::size_t DisplayWidth(const std::string& text)
{
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

std::string Padded(const std::string& text, std::size_t width)
{
    const std::size_t shown = DisplayWidth(text);
    return text + std::string(width > shown ? width - shown : 0, ' ');
}

} // namespace

void PrintLine(const std::string& utf8) { WriteTo(STD_OUTPUT_HANDLE, utf8); }
void PrintError(const std::string& utf8) { WriteTo(STD_ERROR_HANDLE, utf8); }

std::string FormatResultTable(const std::vector<ResultItem>& items, bool english)
{
    const ResultItem header = english ? ResultItem{"No.", "Device Name", "Device ID", "Operation Result"}
                                      : ResultItem{"\xE5\xBA\x8F\xE5\x8F\xB7", "\xE8\xAE\xBE\xE5\xA4\x87\xE5\x90\x8D",
                                                   "\xE8\xAE\xBE\xE5\xA4\x87\xE7\xBC\x96\xE5\x8F\xB7",
                                                   "\xE7\xBB\x93\xE6\x9E\x9C"};
    std::size_t widths[3] = {DisplayWidth(header.number), DisplayWidth(header.deviceName),
                             DisplayWidth(header.deviceId)};
    for (const ResultItem& item : items) {
        widths[0] = std::max(widths[0], DisplayWidth(item.number));
        widths[1] = std::max(widths[1], DisplayWidth(item.deviceName));
        widths[2] = std::max(widths[2], DisplayWidth(item.deviceId));
    }
    std::string table;
    auto line = [&](const ResultItem& item) {
        table += Padded(item.number, widths[0]) + "  " + Padded(item.deviceName, widths[1]) + "  " +
                 Padded(item.deviceId, widths[2]) + "  " + item.result;
        while (!table.empty() && table.back() == ' ') table.pop_back();
        table += '\n';
    };
    line(header);
    for (const ResultItem& item : items) line(item);
    return table;
}

} // namespace trevanil_host
