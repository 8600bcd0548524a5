#include "run_exports.h"

#include "progress/run_journal.h"
#include "ui_texts.h"

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

// The restart column the host adds to the dialog's four: its caption and its two values.
struct RestartTexts {
    const char* caption;
    const char* restarted;
    const char* notRestarted;
};
constexpr RestartTexts kRestartChinese{"\xE9\x87\x8D\xE5\x90\xAF", "\xE5\xB7\xB2\xE9\x87\x8D\xE5\x90\xAF",
                                       "\xE6\x9C\xAA\xE9\x87\x8D\xE5\x90\xAF"};
constexpr RestartTexts kRestartEnglish{"Restart", "Restarted", "Not restarted"};

const RestartTexts& RestartTextsFor(bool english) { return english ? kRestartEnglish : kRestartChinese; }

std::string FormatResultsCsv(const std::vector<ResultItem>& items, bool english)
{
    // The dialog's own column captions, then the restart column.
    const LanguageTexts& texts = *FindLanguageTexts(english ? kLanguageEnglish : kLanguageChinese);
    std::string out = "\xEF\xBB\xBF";
    for (const ListColumnText& column : texts.columns) {
        out += column.caption;
        out += ',';
    }
    out += RestartTextsFor(english).caption;
    out += "\r\n";
    for (const ResultItem& item : items) {
        for (const std::string* field : {&item.number, &item.deviceName, &item.deviceId, &item.result}) {
            AppendCsvField(out, *field);
            out += ',';
        }
        AppendCsvField(out, item.restart);
        out += "\r\n";
    }
    return out;
}

std::string FormatLedgerResultsCsv(const RunLedger& ledger, bool english)
{
    const char* restarted = RestartTextsFor(english).restarted;
    const char* notRestarted = RestartTextsFor(english).notRestarted;
    std::vector<ResultItem> items;
    for (std::size_t i = 0; i < ledger.RowCount(); ++i) {
        const LedgerRow& row = ledger.Row(i);
        if (row.outcome == RowOutcome::NotReached) continue;
        const char* restart = row.outcome == RowOutcome::Restarted ? restarted
                              : row.outcome == RowOutcome::Written ? notRestarted
                                                                   : "";
        items.push_back({std::to_string(i + 1), row.deviceName, row.deviceId, row.result, restart});
    }
    return FormatResultsCsv(items, english);
}

std::string BuildLedgerRetryList(std::string_view originalFile, const RunLedger& ledger)
{
    std::vector<bool> done(ledger.RowCount(), false);
    for (std::size_t i = 0; i < ledger.RowCount(); ++i) done[i] = ledger.Row(i).outcome == RowOutcome::Restarted;
    return BuildRetryList(originalFile, done);
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
