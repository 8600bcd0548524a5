#include "run_state.h"

#include "progress/decimal_text.h"

#include <array>

namespace trevanil_host {
namespace {

constexpr std::string_view kFirstLine = "trevanil-run 1";
constexpr std::size_t kMaxText = 32 * 1024;

// In RunStateKind's order.
constexpr std::array<const char*, 3> kStateNames{{"running", "ended", "interrupted"}};

enum Field { kState, kList, kResults, kRetry, kRows, kDone, kSucceeded, kFailed, kStarted, kUpdated, kPid,
             kProcessStart, kFieldCount };
constexpr std::array<const char*, kFieldCount> kKeys{{"state", "list", "results", "retry", "rows", "done",
                                                      "succeeded", "failed", "started", "updated", "pid",
                                                      "process_start"}};

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

std::optional<RunStateKind> ParseKind(std::string_view text)
{
    for (std::size_t i = 0; i < kStateNames.size(); ++i)
        if (text == kStateNames[i]) return static_cast<RunStateKind>(i);
    return std::nullopt;
}

// The next line without its line end; false at the end of the text.
bool NextLine(std::string_view& text, std::string_view& line)
{
    if (text.empty()) return false;
    const std::size_t end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

} // namespace

std::optional<std::string> FormatRunState(const RunState& state)
{
    for (const std::string* text : {&state.list, &state.results, &state.retry, &state.started, &state.updated})
        if (HasLineBreak(*text) || text->size() > kMaxText) return std::nullopt;
    const std::array<std::string, kFieldCount> values{{
        kStateNames[static_cast<std::size_t>(state.state)], state.list, state.results, state.retry,
        std::to_string(state.rows), std::to_string(state.done), std::to_string(state.succeeded),
        std::to_string(state.failed), state.started, state.updated, std::to_string(state.pid),
        std::to_string(state.processStart)}};
    std::string out(kFirstLine);
    out += "\r\n";
    for (std::size_t i = 0; i < kFieldCount; ++i) out += std::string(kKeys[i]) + "=" + values[i] + "\r\n";
    return out;
}

std::optional<RunState> ParseRunState(std::string_view text)
{
    std::string_view line;
    if (!NextLine(text, line) || line != kFirstLine) return std::nullopt;
    std::array<std::optional<std::string_view>, kFieldCount> values;
    while (NextLine(text, line)) {
        if (line.empty()) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, equals);
        for (std::size_t i = 0; i < kFieldCount; ++i) {
            if (key != kKeys[i]) continue;
            if (values[i]) return std::nullopt;
            values[i] = line.substr(equals + 1);
            if (values[i]->size() > kMaxText) return std::nullopt;
        }
    }
    for (const auto& value : values)
        if (!value) return std::nullopt;

    RunState state;
    const std::optional<RunStateKind> kind = ParseKind(*values[kState]);
    std::array<std::uint64_t*, kFieldCount> numbers{};
    numbers[kRows] = &state.rows;
    numbers[kDone] = &state.done;
    numbers[kSucceeded] = &state.succeeded;
    numbers[kFailed] = &state.failed;
    numbers[kPid] = &state.pid;
    numbers[kProcessStart] = &state.processStart;
    if (!kind) return std::nullopt;
    state.state = *kind;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (!numbers[i]) continue;
        const std::optional<std::uint64_t> number = ParseDecimal(*values[i]);
        if (!number) return std::nullopt;
        *numbers[i] = *number;
    }
    state.list = std::string(*values[kList]);
    state.results = std::string(*values[kResults]);
    state.retry = std::string(*values[kRetry]);
    state.started = std::string(*values[kStarted]);
    state.updated = std::string(*values[kUpdated]);
    if (state.done > state.rows || state.succeeded + state.failed != state.done) return std::nullopt;
    if (state.list.empty() || state.results.empty() || state.retry.empty()) return std::nullopt;
    return state;
}

} // namespace trevanil_host
