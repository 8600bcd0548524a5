#include "progress_text.h"

#include "host_texts.h"

namespace trevanil_host {
namespace {

constexpr const char* kSeparator = u8" · ";

std::string TimeLeft(std::int64_t msLeft, const HostTexts::Progress& words)
{
    const std::int64_t minutes = (msLeft + 30000) / 60000;
    if (minutes < 1) return words.lessThanAMinute;
    std::string left;
    if (minutes >= 60) {
        left = FillText(words.hours, {std::to_string(minutes / 60)});
        if (minutes % 60 != 0) left += " " + FillText(words.minutes, {std::to_string(minutes % 60)});
    } else {
        left = FillText(words.minutes, {std::to_string(minutes)});
    }
    return FillText(words.about, {left});
}

} // namespace

std::string FormatProgressLine(const RunCounts& counts, RunPhase phase, std::optional<std::int64_t> msLeft,
                               bool english)
{
    const HostTexts::Progress& words = HostTextsIn(english).progress;
    std::string line = FillText(words.rows, {std::to_string(counts.done), std::to_string(counts.total)});
    line += kSeparator + FillText(words.succeeded, {std::to_string(counts.succeeded)});
    line += kSeparator + FillText(words.failed, {std::to_string(counts.failed)});
    if (phase == RunPhase::Ended) line += std::string(kSeparator) + words.finished;
    else if (phase == RunPhase::Interrupted) line += std::string(kSeparator) + words.interrupted;
    else if (msLeft) line += kSeparator + TimeLeft(*msLeft, words);
    return line;
}

} // namespace trevanil_host
