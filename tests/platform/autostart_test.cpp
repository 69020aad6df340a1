// The autostart entry: what it starts, that the desktop would take it as it
// is written, and how it is switched on and off.

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/autostart.h"
#include "support/test_folder.h"
#include "support/xvfb_display.h"

namespace rxt {
namespace {

using test::readRaw;
using test::TempFolder;
using test::writeRaw;

// The Exec value's arguments as a desktop reads them: the string escapes
// first, then the quoting, then "%%".
std::vector<std::string> execArguments(const std::string& value) {
    std::string unescaped;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char c = value[++i];
            unescaped += c == 'n' ? '\n' : c == 't' ? '\t' : c == 's' ? ' ' : c;
        } else {
            unescaped += value[i];
        }
    }
    std::vector<std::string> args;
    std::string arg;
    bool inArg = false, quoted = false;
    for (size_t i = 0; i < unescaped.size(); ++i) {
        const char c = unescaped[i];
        if (quoted) {
            if (c == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%') {
                arg += '%';
                ++i;
            } else if (c == '\\' && i + 1 < unescaped.size()) {
                arg += unescaped[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                arg += c;
            }
        } else if (c == '"') {
            quoted = inArg = true;
        } else if (c == ' ') {
            if (inArg) {
                args.push_back(arg);
            }
            arg.clear();
            inArg = false;
        } else if (c == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%') {
            arg += '%';
            ++i;
            inArg = true;
        } else {
            arg += c;
            inArg = true;
        }
    }
    if (inArg) {
        args.push_back(arg);
    }
    return args;
}

std::string execLine(const std::string& entry) {
    const size_t at = entry.find("\nExec=");
    return at == std::string::npos ? "" : entry.substr(at + 6, entry.find('\n', at + 6) - at - 6);
}

TEST(Autostart, TheEntryStartsThisProgramHiddenWhateverItsPath) {
    for (const std::string path :
         {"/usr/bin/rxt-config", "/home/a b/build bin/rxt-config", "/opt/it's \"here\"/rxt-config",
          "/tmp/100%/back\\slash/$HOME/`x`/rxt-config", "/tmp/ünï/rxt-config"}) {
        const std::string entry = autostartEntry(path);
        EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
        EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
        EXPECT_EQ(execArguments(execLine(entry)), (std::vector<std::string>{path, "--hidden"}))
            << execLine(entry);
    }
    EXPECT_EQ(desktopExecArgument("/usr/bin/rxt-config"), "/usr/bin/rxt-config");
    EXPECT_EQ(desktopExecArgument("/a b"), "\"/a b\"");
}

TEST(Autostart, TheDesktopValidatorAcceptsTheEntry) {
    if (!test::programOnPath("desktop-file-validate")) {
        GTEST_SKIP() << "desktop-file-validate is not installed (scripts/setup installs it)";
    }
    TempFolder dir;
    for (const std::string path : {"/usr/bin/rxt-config", "/opt/a \"b\" 100%/c\\d/rxt-config"}) {
        const auto file = dir / "rxt-config.desktop";
        writeRaw(file, autostartEntry(path));
        const std::string command = "desktop-file-validate '" + file.string() + "' 2>&1";
        std::string out;
        FILE* p = ::popen(command.c_str(), "r");
        ASSERT_NE(p, nullptr);
        char buf[512];
        while (std::fgets(buf, sizeof buf, p) != nullptr) {
            out += buf;
        }
        EXPECT_EQ(::pclose(p), 0) << out;
        EXPECT_EQ(out, "") << path;
    }
}

TEST(Autostart, OnWritesTheEntryAndItsFolderOffRemovesIt) {
    TempFolder dir;
    test::ScopedEnv config("XDG_CONFIG_HOME", dir.path().string());
    const auto entry = autostartEntryPath();
    EXPECT_EQ(entry, dir / "autostart/rxt-config.desktop");
    EXPECT_FALSE(autostartEnabled(entry));
    std::string error;
    ASSERT_TRUE(enableAutostart(entry, "/usr/bin/rxt-config", error)) << error;
    EXPECT_TRUE(autostartEnabled(entry));
    EXPECT_EQ(readRaw(entry), autostartEntry("/usr/bin/rxt-config"));
    // Nothing but the entry is left in the folder (no temporary file).
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(entry.parent_path()),
                            std::filesystem::directory_iterator()),
              1);
    ASSERT_TRUE(disableAutostart(entry, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_FALSE(autostartEnabled(entry));
    // Off twice is still off.
    EXPECT_TRUE(disableAutostart(entry, error)) << error;
}

TEST(Autostart, AnEntryTheDesktopSwitchedOffCountsAsOff) {
    TempFolder dir;
    const auto entry = dir / "rxt-config.desktop";
    writeRaw(entry, autostartEntry("/usr/bin/rxt-config") + "Hidden=true\n");
    EXPECT_FALSE(autostartEnabled(entry));
    writeRaw(entry, "[Desktop Entry]\nExec=rxt-config --hidden\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(autostartEnabled(entry));
    writeRaw(entry, "[Desktop Entry]\nExec=rxt-config --hidden\nHidden=false\n");
    EXPECT_TRUE(autostartEnabled(entry));
    // A folder in its place is no entry.
    std::filesystem::remove(entry);
    std::filesystem::create_directories(entry);
    EXPECT_FALSE(autostartEnabled(entry));
}

TEST(Autostart, AFolderThatCannotBeMadeIsReportedWithItsReason) {
    TempFolder dir;
    writeRaw(dir / "autostart", "a file where the folder belongs");
    const auto entry = dir / "autostart/rxt-config.desktop";
    std::string error;
    EXPECT_FALSE(enableAutostart(entry, "/usr/bin/rxt-config", error));
    EXPECT_NE(error.find(dir.path().string() + "/autostart"), std::string::npos) << error;
    EXPECT_FALSE(autostartEnabled(entry));
    EXPECT_EQ(readRaw(dir / "autostart"), "a file where the folder belongs");
}

}  // namespace
}  // namespace rxt
