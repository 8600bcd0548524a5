// The host's run state file reader against any bytes (the file sits in the user's folder
// and may be cut by a crash of another program, edited, or of a later version).
// Properties: it never crashes nor throws; what it accepts has counts that add up and
// names its three files; written back out it reads again as the same state.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "progress/run_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace trevanil_host;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<RunState> state = ParseRunState(text);
    if (!state) return 0;
    FUZZ_CHECK(state->done <= state->rows);
    FUZZ_CHECK(state->succeeded + state->failed == state->done);
    FUZZ_CHECK(!state->list.empty() && !state->results.empty() && !state->retry.empty());
    // A value may hold a CR that the reader took as part of the text; such a state cannot
    // be written, everything else must come back the same.
    const std::optional<std::string> again = FormatRunState(*state);
    if (!again) return 0;
    const std::optional<RunState> reread = ParseRunState(*again);
    FUZZ_CHECK(reread);
    FUZZ_CHECK(reread->state == state->state && reread->list == state->list && reread->results == state->results &&
               reread->retry == state->retry && reread->rows == state->rows && reread->done == state->done &&
               reread->succeeded == state->succeeded && reread->failed == state->failed &&
               reread->started == state->started && reread->updated == state->updated && reread->pid == state->pid &&
               reread->processStart == state->processStart);
    return 0;
}
