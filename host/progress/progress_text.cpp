#include "progress_text.h"

namespace trevanil_host {
namespace {

struct ProgressWords {
    const char* rowPrefix;   // before "done"
    const char* rowMiddle;   // between "done" and "total"
    const char* rowSuffix;   // after "total"
    const char* succeeded;   // "成功 N" or "N succeeded"
    const char* failed;
    bool countFirst;         // the number before its word
    const char* finished;
    const char* interrupted;
    const char* lessThanAMinute;
    const char* aboutPrefix;
    const char* aboutSuffix;
    const char* hours;
    const char* minutes;
};

const ProgressWords kChinese = {
    u8"第 ", " / ", u8" 行", u8"成功", u8"失败", false, u8"已完成", u8"已中断",
    u8"不到 1 分钟", u8"约剩 ", "", u8" 小时", u8" 分钟",
};

const ProgressWords kEnglish = {
    "Row ", " of ", "", "succeeded", "failed", true, "finished", "interrupted",
    "less than 1 min left", "about ", " left", " h", " min",
};

constexpr const char* kSeparator = u8" · ";

std::string Counted(std::size_t count, const char* word, bool countFirst)
{
    return countFirst ? std::to_string(count) + " " + word : std::string(word) + " " + std::to_string(count);
}

std::string TimeLeft(std::int64_t msLeft, const ProgressWords& words)
{
    const std::int64_t minutes = (msLeft + 30000) / 60000;
    if (minutes < 1) return words.lessThanAMinute;
    std::string text = words.aboutPrefix;
    if (minutes >= 60) {
        text += std::to_string(minutes / 60) + words.hours;
        if (minutes % 60 != 0) text += " " + std::to_string(minutes % 60) + words.minutes;
    } else {
        text += std::to_string(minutes) + words.minutes;
    }
    return text + words.aboutSuffix;
}

} // namespace

std::string FormatProgressLine(const RunCounts& counts, RunPhase phase, std::optional<std::int64_t> msLeft,
                               bool english)
{
    const ProgressWords& words = english ? kEnglish : kChinese;
    std::string line = std::string(words.rowPrefix) + std::to_string(counts.done) + words.rowMiddle +
                       std::to_string(counts.total) + words.rowSuffix;
    line += kSeparator + Counted(counts.succeeded, words.succeeded, words.countFirst);
    line += kSeparator + Counted(counts.failed, words.failed, words.countFirst);
    if (phase == RunPhase::Ended) line += std::string(kSeparator) + words.finished;
    else if (phase == RunPhase::Interrupted) line += std::string(kSeparator) + words.interrupted;
    else if (msLeft) line += kSeparator + TimeLeft(*msLeft, words);
    return line;
}

} // namespace trevanil_host
