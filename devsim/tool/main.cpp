// devsim: creates, edits and shows the store of simulated devices.
#include <iostream>
#include <string>
#include <vector>

#include "devsim_tool.h"
#include "store.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    devsim::Store store = devsim::Store::FromEnvironment();
    return devsim::RunDevsimTool(args, store, std::cout, std::cerr);
}
