// The host's run journal against any bytes (a crash or a power loss cuts it anywhere; it
// sits in the user's folder and may be damaged). Properties: the replay never crashes
// nor throws; it takes whole lines only, and a replay of just those lines takes them all
// again; its counts add up; the files built from it come out whatever the list's bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "export/run_exports.h"
#include "fuzz_check.h"
#include "progress/run_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace trevanil_host;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<JournalReplay> replay = ReplayJournal(bytes);
    if (!replay) return 0;
    FUZZ_CHECK(replay->wholeBytes <= bytes.size());
    FUZZ_CHECK(replay->tornTail == (replay->wholeBytes < bytes.size()));
    const RunLedger& ledger = replay->ledger;
    FUZZ_CHECK(ledger.Done() <= ledger.RowCount());
    FUZZ_CHECK(ledger.Written() + ledger.NotWritten() == ledger.Done());
    FUZZ_CHECK(ledger.Owed() + ledger.Restarted() == ledger.Written());
    FUZZ_CHECK(ledger.RowsToDo().size() == ledger.RowCount() - ledger.Restarted());
    const std::optional<JournalReplay> whole = ReplayJournal(bytes.substr(0, replay->wholeBytes));
    FUZZ_CHECK(whole && !whole->tornTail && whole->wholeBytes == replay->wholeBytes);
    FUZZ_CHECK(whole->ledger.Done() == ledger.Done() && whole->ledger.Owed() == ledger.Owed());
    const std::string results = FormatLedgerResultsCsv(ledger, size % 2 == 0);
    FUZZ_CHECK(results.size() >= 3);
    const std::string retry = BuildLedgerRetryList(bytes, ledger);
    FUZZ_CHECK(retry.size() <= bytes.size());
    return 0;
}
