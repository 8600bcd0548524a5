#include "record_texts.h"

#include "host_texts.h"

namespace trevanil_host {
namespace {

const char* RetryListSentence(RetryListUse use, const HostTexts::Record& texts)
{
    switch (use) {
    case RetryListUse::Ask: return texts.retryAsk;
    case RetryListUse::Loaded: return texts.retryLoaded;
    case RetryListUse::Refused: return texts.retryRefused;
    case RetryListUse::Hint: break;
    }
    return texts.retryHint;
}

const HostTexts::Record& TextsIn(bool english) { return HostTextsIn(english).record; }

} // namespace

std::string UnfinishedRunText(const RunState& state, bool english, RetryListUse use)
{
    const HostTexts::Record& texts = TextsIn(english);
    return FillText(texts.unfinished, {state.list, std::to_string(state.done), std::to_string(state.rows),
                                       std::to_string(state.succeeded), std::to_string(state.failed), state.updated,
                                       state.retry}) +
           RetryListSentence(use, texts);
}

std::string NoUnfinishedRunText(bool english) { return TextsIn(english).noUnfinished; }

std::string ListBusyText(const RunState& state, bool english)
{
    const HostTexts::Record& texts = TextsIn(english);
    return FillText(texts.listBusy, {state.pid ? std::to_string(state.pid) : std::string("?"),
                                     state.list.empty() ? std::string(texts.thisList) : state.list});
}

std::string KeptAsideText(const std::string& path, bool english) { return FillText(TextsIn(english).keptAside, {path}); }

std::string RecordFailureText(const std::string& error, bool english)
{
    return FillText(TextsIn(english).failure, {error});
}

std::string RecordFailedNote(bool english) { return TextsIn(english).failedNote; }

std::string RestartSummaryText(std::size_t restarted, std::size_t written, bool english)
{
    return FillText(TextsIn(english).restartSummary, {std::to_string(restarted), std::to_string(written)});
}

std::string RecordPlaceText(const std::string& results, const std::string& retry, bool fallback, bool renamed,
                            bool english)
{
    const HostTexts::Record& texts = TextsIn(english);
    return std::string(fallback ? texts.placeFallback : renamed ? texts.placeRenamed : texts.place) + results + "\n" +
           retry;
}

} // namespace trevanil_host
