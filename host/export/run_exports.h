// What the operator keeps after a batch run: the result list as a spreadsheet file, and a
// device list of the rows that were not written, ready to be loaded and written again.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "list_columns.h"

namespace trevanil_host {

class RunLedger;

// One item of the dialog's result list, as the operator sees it, and the results file's
// last column: restarted or not (written rows only).
struct ResultItem : ListItem {
    std::string restart;
};

// The results as CSV in UTF-8 with its byte-order mark (spreadsheet programs then read the
// Chinese texts), a header line and one line per item, CR LF line ends. Fields holding a
// comma, a quote or a line break are quoted, quotes doubled.
std::string FormatResultsCsv(const std::vector<ResultItem>& items, bool english);

// The results file of a run's ledger: one line per row with its result (numbered by its
// row in the list), the restart column saying whether a written row's device restarted.
std::string FormatLedgerResultsCsv(const RunLedger& ledger, bool english);

// The retry list of a run's ledger: every row not written and restarted.
std::string BuildLedgerRetryList(std::string_view originalFile, const RunLedger& ledger);

// The original device list reduced to its header line and the lines of the rows that were
// not written, each byte for byte as it stands in `originalFile` (line ends and a leading
// byte-order mark included). Data row i (0-based, list item i) was written when
// written[i] is true; rows beyond `written` were never reached and are kept.
std::string BuildRetryList(std::string_view originalFile, const std::vector<bool>& written);

// Number of data rows that BuildRetryList keeps.
std::size_t CountRetryRows(std::string_view originalFile, const std::vector<bool>& written);

} // namespace trevanil_host
