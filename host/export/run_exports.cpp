#include "run_exports.h"

#include "host_texts.h"
#include "progress/run_journal.h"

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
    // The dialog's own columns, then the restart column.
    std::string out = "\xEF\xBB\xBF";
    for (const ListColumnSpec& column : kListColumns) {
        out += english ? column.english : column.chinese;
        out += ',';
    }
    out += HostTextsIn(english).record.restartCaption;
    out += "\r\n";
    for (const ResultItem& item : items) {
        for (const ListColumnSpec& column : kListColumns) {
            AppendCsvField(out, item.*column.field);
            out += ',';
        }
        AppendCsvField(out, item.restart);
        out += "\r\n";
    }
    return out;
}

std::string FormatLedgerResultsCsv(const RunLedger& ledger, bool english)
{
    const char* restarted = HostTextsIn(english).record.restarted;
    const char* notRestarted = HostTextsIn(english).record.notRestarted;
    std::vector<ResultItem> items;
    for (std::size_t i = 0; i < ledger.RowCount(); ++i) {
        const LedgerRow& row = ledger.Row(i);
        if (row.outcome == RowOutcome::NotReached) continue;
        const char* restart = row.outcome == RowOutcome::Restarted ? restarted
                              : row.outcome == RowOutcome::Written ? notRestarted
                                                                   : "";
        ResultItem item{{std::to_string(i + 1), row.deviceName, row.deviceId, row.result}, restart};
        for (std::size_t k = 0; k < FurtherColumns().size() && k < row.further.size(); ++k)
            item.*FurtherColumns()[k] = row.further[k];
        items.push_back(std::move(item));
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
