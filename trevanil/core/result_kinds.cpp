#include "result_kinds.h"

#include <array>
#include "ui_texts.h"

namespace {

struct ResultText {
    UiTextSlot text;
    ResultKind kind;
};
constexpr std::array<ResultText, 5> kResultTexts{{
    {&UiTexts::textSucceeded, ResultKind::Written},
    {&UiTexts::textFailed, ResultKind::Failed},
    {&UiTexts::textIncomplete, ResultKind::NotWritable},
    {&UiTexts::textGbRefused, ResultKind::NotWritable},
    {&UiTexts::textPortRange, ResultKind::NotWritable},
}};

}  // namespace

ResultKind ClassifyResult(const std::string& result)
{
    for (int language : {kLanguageChinese, kLanguageEnglish}) {
        const LanguageTexts* texts = FindLanguageTexts(language);
        for (const ResultText& entry : kResultTexts)
            if (texts && result == texts->ui.*entry.text) return entry.kind;
    }
    return ResultKind::Unknown;
}

