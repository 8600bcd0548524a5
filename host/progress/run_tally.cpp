#include "run_tally.h"

namespace trevanil_host {

bool IsWrittenResult(const std::string& result)
{
    return result == "Succeeded." || result == "\xE5\x86\x99\xE5\x85\xA5\xE5\x89\x8D\xE7\xAB\xAF\xE6\x88\x90\xE5\x8A\x9F\xEF\xBC\x81";
}

std::vector<bool> WrittenRows(const std::vector<ResultItem>& items, std::size_t totalRows)
{
    std::vector<bool> written;
    for (const ResultItem& item : items) {
        if (written.size() == totalRows || item.result.empty()) break;
        written.push_back(IsWrittenResult(item.result));
    }
    return written;
}

RunCounts TallyResults(const std::vector<ResultItem>& items, std::size_t totalRows)
{
    RunCounts counts;
    counts.total = totalRows;
    for (bool written : WrittenRows(items, totalRows)) {
        ++counts.done;
        ++(written ? counts.succeeded : counts.failed);
    }
    return counts;
}

} // namespace trevanil_host
