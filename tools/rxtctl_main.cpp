#include <iostream>

#include "tools/rxtctl.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return rxt::tools::runRxtctl(args, std::cout, std::cerr);
}
