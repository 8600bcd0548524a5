#include "pattern_matcher.h"

#include <regex>

namespace {

class CStdRegexMatcher final : public IPatternMatcher
{
public:
    explicit CStdRegexMatcher(std::regex expression) : m_expression(std::move(expression)) {}

    bool MatchWhole(std::string_view text) const override
    {
        try {
            return std::regex_match(text.begin(), text.end(), m_expression);
        } catch (const std::regex_error&) {
            // error_complexity / error_stack: the engine gave up, which is no match.
            return false;
        }
    }

private:
    std::regex m_expression;
};

}  // namespace

std::unique_ptr<IPatternMatcher> CompilePattern(std::string_view pattern)
{
    std::regex expression;
    try {
        expression.assign(pattern.begin(), pattern.end(), std::regex::ECMAScript);
    } catch (const std::regex_error&) {
        return nullptr;
    }
    return std::make_unique<CStdRegexMatcher>(std::move(expression));
}
