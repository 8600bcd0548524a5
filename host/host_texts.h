// The host program's own texts in its two languages (UTF-8), as data: one table a
// language, grouped by where they are shown. In a pattern, %1 .. %9 stand for the values
// FillText puts in, in order.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace trevanil_host {

struct HostTexts {
    // The window; writingList: %1 the list's path, checkCommand: %1 the check's title.
    const char *title, *closeRefused, *writingList, *listMenu, *checkCommand;

    // The arguments of --check.
    // needsValue and notWithCheck go before the option; inputPrefix before the dialog's
    // own message.
    struct Options {
        const char *needsValue, *badLanguage, *notWithCheck, *ipWithPort, *inputPrefix;
    } options;

    // The findings of --check.
    struct Check {
        const char* title;
        const char* cannotRead;  // %1 path
        // Rows: %1 number, %2 name, %3 ID, %4 device IP, %5 platform ip:port, %6 own port
        // text, %7 own platform IP.
        const char *write, *writeOwn, *writeDialog, *incomplete, *gb, *ownPort, *badDeviceIp, *badPlatformIp,
            *badBothIps;
        // Duplicates: %1 ID or IP, %2 the rows, %3 the last row.
        const char *duplicateId, *duplicateIp, *rowSeparator;
        // %1 rows, %2..%6 the verdicts' counts in RowVerdict order, %7 duplicate IDs, %8 duplicate IPs.
        const char* summary;
        const char* more;  // %1 lines left out
    } check;

    // The progress line: "<rows> · <succeeded> · <failed> · <time left or phase>".
    struct Progress {
        // rows: %1 done, %2 total; about: %1 hours and minutes; the rest: %1 a count.
        const char *rows, *succeeded, *failed, *finished, *interrupted, *lessThanAMinute, *about, *hours, *minutes;
    } progress;

    // The run's record.
    struct Record {
        // %1 list, %2 rows done, %3 rows, %4 succeeded, %5 failed, %6 last update, %7 retry list.
        const char* unfinished;
        const char *retryAsk, *retryLoaded, *retryRefused, *retryHint;  // the sentence after it
        const char* noUnfinished;
        const char* listBusy;  // %1 process, %2 list
        const char* thisList;
        const char* keptAside;       // %1 path
        const char* failure;         // %1 error
        const char* failedNote;
        const char* restartSummary;  // %1 restarted, %2 written
        const char *placeFallback, *placeRenamed, *place;
        // The results file's column after the dialog's, and its two values.
        const char *restartCaption, *restarted, *notRestarted;
    } record;
};

// Language 2 is English; any other (1, or 0 for the control's default) Chinese.
const HostTexts& HostTextsFor(int language);
const HostTexts& HostTextsIn(bool english);

// The pattern with %1 .. %9 replaced by the values (a value not given stays empty). The
// values are put in as they are, never read as patterns themselves.
std::string FillText(std::string_view pattern, std::initializer_list<std::string> values);

} // namespace trevanil_host
