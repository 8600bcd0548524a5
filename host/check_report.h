// The check's findings as the operator reads them, in either language (UTF-8): one line
// per row, one per duplicate, a summary, and the short form for a message box.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "list_check.h"

namespace trevanil_host {

// A field of the device list (in the file's encoding) as UTF-8.
using FieldToUtf8 = std::function<std::string(const std::string&)>;

// Language 2 is English; any other (1, or 0 for the control's default) Chinese.
std::string FormatRowLine(const RowCheck& row, int language, const FieldToUtf8& field);
std::vector<std::string> FormatDuplicateLines(const ListCheck& check, int language, const FieldToUtf8& field);
std::string FormatSummary(const ListCheck& check, int language);

// Every line in order: the rows, the duplicates, the summary.
std::vector<std::string> FormatCheckLines(const ListCheck& check, int language, const FieldToUtf8& field);

// For a message box: the summary, then the duplicates and the rows that would not be
// written, at most `maxLines` of them, and how many more there are.
std::string FormatProblems(const ListCheck& check, int language, const FieldToUtf8& field, std::size_t maxLines);

// The program's texts around the check.
std::string CheckTitle(int language);                                   // the menu command, the box's title
std::string CannotReadText(int language, const std::string& utf8Path);  // the file cannot be read

// 0: every row would be written and none clash; 1: otherwise, also a list without rows.
int CheckExitCode(const ListCheck& check);

} // namespace trevanil_host
