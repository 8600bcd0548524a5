// A compiled regular expression that answers one question: does a whole text match?
#pragma once
#include <memory>
#include <string_view>

class IPatternMatcher
{
public:
    virtual ~IPatternMatcher() = default;

    // True when the pattern matches the text from its first to its last character.
    // Never throws: a match the engine cannot finish (too complex) counts as no match.
    virtual bool MatchWhole(std::string_view text) const = 0;
};

// Compiles an ECMAScript pattern. Returns null when the pattern is malformed; may throw
// std::bad_alloc. Compiling is not cheap: callers compile once per use, not per text.
std::unique_ptr<IPatternMatcher> CompilePattern(std::string_view pattern);
