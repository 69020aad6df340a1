// rxt-profile-defaults FOLDER: writes the default profile files into FOLDER.

#include <cstdio>
#include <string>

#include "profile/default_profiles.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argc > 0 ? argv[0] : "rxt-profile-defaults");
        return 2;
    }
    std::string error;
    if (!rxt::writeDefaultProfileFiles(argv[1], error)) {
        std::fprintf(stderr, "rxt-profile-defaults: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
