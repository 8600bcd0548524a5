// Every text the batch dialog shows, in its two languages, as data.
//
// All texts are UTF-8, zero-terminated and static (they live as long as the module);
// the window side converts them to UTF-16 before handing them to Windows.
#pragma once
#include <string>
#include "list_columns.h"

// The message texts of one language.
struct UiTexts
{
    const char* textIpEmpty;
    const char* captionError;
    const char* textIpInvalid;
    const char* textPortEmpty;
    const char* textPortRange;
    const char* textNoFile;
    const char* textNoData;
    const char* textWriting;
    const char* textIncomplete;
    const char* textGbRefused;
    const char* textSucceeded;
    const char* textFailed;
    const char* textCompleted;
    const char* textInterrupted;
    // The file dialog's filter in MFC form: pairs separated by '|', ending in "||".
    const char* fileFilter;
    // Shown when Write is pressed but the embedded device-access control could not be
    // created (orvex.dll not registered): without it no device can be written.
    const char* textAccessUnavailable;
};

// Selects one text of UiTexts, e.g. &UiTexts::textNoData; null selects none.
using UiTextSlot = const char* UiTexts::*;


// Everything that changes with the language.
struct LanguageTexts
{
    int language;
    UiTexts ui;
    const char* labelPlatformIp;  // static 209
    const char* labelPort;        // static 210
    const char* labelFile;        // static 211
    ListColumnTexts columns;  // from the column table
    const char* buttonBrowse;  // 204
    const char* buttonWrite;   // 205
    const char* buttonCancel;  // 206
};

// The texts of language 1 or 2; null for any other number.
const LanguageTexts* FindLanguageTexts(int language);

// The texts of language 2 (English); Chinese for any other number (1, or 0 for the
// control's default).
const LanguageTexts& LanguageTextsFor(int language);

// The language a new dialog starts in (Chinese).
const LanguageTexts& DefaultLanguageTexts();

// A filter in MFC form (UiTexts::fileFilter, as UTF-16) as the file dialog takes it: zeros
// in place of the '|', so its closing "||" gives the two zeros that end the list.
std::wstring FileDialogFilter(std::wstring pairs);
