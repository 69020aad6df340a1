// rxt-cursor-defaults FOLDER: writes the default cursor scheme files into
// FOLDER.

#include <cstdio>
#include <string>

#include "macro/default_cursor_schemes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argc > 0 ? argv[0] : "rxt-cursor-defaults");
        return 2;
    }
    std::string error;
    if (!rxt::writeDefaultCursorSchemes(argv[1], error)) {
        std::fprintf(stderr, "rxt-cursor-defaults: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
