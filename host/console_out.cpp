#include "console_out.h"

#include <windows.h>
#include <algorithm>

#include "activex/wide_text.h"

namespace trevanil_host {
namespace {

// Older consoles refuse one write of more than about 64 KB; a long table goes in pieces.
constexpr std::size_t kConsolePiece = 8192;

// A console shows UTF-16 as it is, whatever its code page; bytes written to it would be
// read in that code page (936 on a Chinese system) and the UTF-8 lines would come out
// garbled.
void WriteConsoleText(HANDLE console, const std::string& utf8)
{
    const std::wstring wide = activex::WideFromNarrow(utf8, CP_UTF8);
    std::size_t at = 0;
    while (at < wide.size()) {
        std::size_t piece = std::min(kConsolePiece, wide.size() - at);
        // A piece never ends between the two halves of a surrogate pair.
        if (piece > 1 && at + piece < wide.size() && IS_HIGH_SURROGATE(wide[at + piece - 1])) --piece;
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(piece), &written, nullptr) || written == 0)
            return;
        at += written;
    }
}

void WriteTo(DWORD which, std::string text)
{
    text += '\n';
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    // A file or a pipe makes GetConsoleMode fail: it gets the UTF-8 bytes, as scripts read them.
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleText(handle, text);
        return;
    }
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
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
    // The dialog's own columns, every one but the last padded to its widest text.
    ResultItem header;
    for (const ListColumnSpec& column : kListColumns) header.*column.field = english ? column.english : column.chinese;
    std::size_t widths[kListColumnCount] = {};
    for (int i = 0; i < kListColumnCount; ++i) {
        widths[i] = DisplayWidth(header.*kListColumns[i].field);
        for (const ResultItem& item : items) widths[i] = std::max(widths[i], DisplayWidth(item.*kListColumns[i].field));
    }
    std::string table;
    auto line = [&](const ResultItem& item) {
        for (int i = 0; i < kListColumnCount; ++i) {
            const std::string& text = item.*kListColumns[i].field;
            table += i + 1 < kListColumnCount ? Padded(text, widths[i]) + "  " : text;
        }
        while (!table.empty() && table.back() == ' ') table.pop_back();
        table += '\n';
    };
    line(header);
    for (const ResultItem& item : items) line(item);
    return table;
}

} // namespace trevanil_host
