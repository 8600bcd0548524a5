// The devsim tool's commands, apart from main() so tests can run them.
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace devsim {

class Store;

constexpr int kToolOk = 0;
constexpr int kToolFailed = 1;  // the store could not be read or written
constexpr int kToolUsage = 2;   // bad command line; nothing changed

// args excludes the program name. A leading "--store PATH" replaces `store`'s path.
int RunDevsimTool(const std::vector<std::string>& args, Store& store, std::ostream& out, std::ostream& err);

}  // namespace devsim
