// UTF-8 lines to the program's standard output and error, unbuffered, so a script that
// runs the host sees each progress line as it comes. A console gets them as UTF-16 text,
// so they read right in any console code page; a file or a pipe gets the UTF-8 bytes.
#pragma once
#include <string>
#include <vector>
#include "export/run_exports.h"

namespace trevanil_host {

void PrintLine(const std::string& utf8);
void PrintError(const std::string& utf8);

// The result list as an aligned table (wide characters count two columns).
std::string FormatResultTable(const std::vector<ResultItem>& items, bool english);

} // namespace trevanil_host
