#include "run_exports.h"

namespace trevanil_host {
namespace {

void AppendCsvField(std::string& out, const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// The lines of a text, each with its own line end; nothing after the last line end.
std::vector<std::string_view> SplitKeepingEnds(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

bool Keeps(const std::vector<bool>& written, std::size_t row) { return row >= written.size() || !written[row]; }

} // namespace

std::string FormatResultsCsv(const std::vector<ResultItem>& items, bool english)
{
    std::string out = "\xEF\xBB\xBF";
    out += english ? "No.,Device Name,Device ID,Operation Result\r\n"
                   : "\xE5\xBA\x8F\xE5\x8F\xB7,\xE8\xAE\xBE\xE5\xA4\x87\xE5\x90\x8D,"
                     "\xE8\xAE\xBE\xE5\xA4\x87\xE7\xBC\x96\xE5\x8F\xB7,\xE7\xBB\x93\xE6\x9E\x9C\r\n";
    for (const ResultItem& item : items) {
        AppendCsvField(out, item.number);
        out += ',';
        AppendCsvField(out, item.deviceName);
        out += ',';
        AppendCsvField(out, item.deviceId);
        out += ',';
        AppendCsvField(out, item.result);
        out += "\r\n";
    }
    return out;
}

std::string BuildRetryList(std::string_view originalFile, const std::vector<bool>& written)
{
    const std::vector<std::string_view> lines = SplitKeepingEnds(originalFile);
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Line 0 is the header; line i is data row i - 1.
        if (i == 0 || Keeps(written, i - 1)) out.append(lines[i]);
    }
    return out;
}

std::size_t CountRetryRows(std::string_view originalFile, const std::vector<bool>& written)
{
    const std::vector<std::string_view> lines = SplitKeepingEnds(originalFile);
    std::size_t count = 0;
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (Keeps(written, i - 1)) ++count;
    return count;
}

} // namespace trevanil_host
