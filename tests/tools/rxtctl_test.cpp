#include "tools/rxtctl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tools/options.h"

namespace rxt::tools {
namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = runRxtctl(args, out, err);
    return {status, out.str(), err.str()};
}

// Lines containing needle; a needle ending in a newline must end the line.
size_t countLines(const std::string& text, const std::string& needle) {
    size_t n = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        n += (line + "\n").find(needle) != std::string::npos;
    }
    return n;
}

TEST(RxtctlDevices, VirtualBusListsEachConfigurationInterfaceOnce) {
    ToolRun r = run({"--virtual", "devices"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(countLines(r.out, "ff1c:0092  64/64/0  mouse\n"), 1u) << r.out;
    EXPECT_EQ(countLines(r.out, "ff1c:0092  64/64/0  mousepad\n"), 1u) << r.out;
    EXPECT_EQ(countLines(r.out, "ff1c:0092  64/64/0  keyboard\n"), 1u) << r.out;
    // The ordinary interfaces are listed but belong to no kind.
    EXPECT_GE(countLines(r.out, "  -"), 3u) << r.out;
}

TEST(RxtctlDevices, JsonCarriesNumbersAndKinds) {
    ToolRun r = run({"--virtual", "--json", "devices"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out.front(), '[');
    EXPECT_NE(r.out.find("\"vendor\": 12815, \"product\": 8194"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"usage_page\": 65308, \"usage\": 146, \"input_length\": 64"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"kind\": \"mousepad\""), std::string::npos);
    // Backslashes of Windows-style paths are escaped.
    EXPECT_EQ(r.out.find("\"\\\\?\\hid"), std::string::npos);
    EXPECT_NE(r.out.find("\"\\\\\\\\?\\\\hid"), std::string::npos);
}

TEST(RxtctlRaw, ReadInfoPrintsTheRecord) {
    ToolRun r = run({"--virtual", "raw", "mouse", "ReadInfo"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out.rfind("result 1\n", 0), 0u) << r.out;
    // 33 bytes: two full lines of 16 and one byte.
    EXPECT_EQ(countLines(r.out, " "), 3u) << r.out;
    const auto lastLine = r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1);
    EXPECT_EQ(lastLine.size(), 3u) << r.out;
}

TEST(RxtctlRaw, WrittenRecordReadsBackInTheSameProcess) {
    // One virtual bus per run: write then read within one command is not
    // possible, so check the write's result and a read of the record area.
    ToolRun w = run(
        {"--virtual", "raw", "mousepad", "WriteRecord", "--offset", "64", "--data", "00 07 03 02"});
    EXPECT_EQ(w.status, kExitOk) << w.err;
    EXPECT_EQ(w.out, "result 1\n");
    ToolRun rd = run({"--virtual", "--json", "raw", "mousepad", "ReadRecord", "--length", "4"});
    EXPECT_EQ(rd.status, kExitOk) << rd.err;
    EXPECT_NE(rd.out.find("{\"result\": 1, \"data\": \""), std::string::npos) << rd.out;
}

TEST(RxtctlRaw, RefusalsGiveTheResultAndStatusOne) {
    ToolRun r = run({"--virtual", "raw", "mouse", "ReadBank", "--bank", "5"});
    EXPECT_EQ(r.status, kExitFailed);
    EXPECT_EQ(r.out, "result -201\n");
}

TEST(RxtctlRaw, UsageErrorsGiveStatusTwoAndAMessage) {
    const std::vector<std::vector<std::string>> bad = {
        {"--virtual", "raw", "trackball", "ReadInfo"},
        {"--virtual", "raw", "mouse", "ReadSomething"},
        {"--virtual", "raw", "mouse", "WriteRecord"},
        {"--virtual", "raw", "mouse", "WriteRecord", "--data", "0g"},
        {"--virtual", "raw", "mouse", "ReadRecord", "--length", "57"},
        {"--virtual", "raw", "mouse", "ReadBlock", "--block-size", "513"},
        {"--virtual", "raw", "mouse", "ReadInfo", "--colour", "red"},
        {"--virtual", "raw", "mouse"},
        {"--bus", "usb:whatever", "devices"},
        {"frobnicate"},
        {},
    };
    for (const auto& args : bad) {
        ToolRun r = run(args);
        std::string joined;
        for (const auto& a : args) {
            joined += a + " ";
        }
        EXPECT_EQ(r.status, kExitUsage) << joined;
        EXPECT_FALSE(r.err.empty()) << joined;
        EXPECT_TRUE(r.out.empty()) << joined;
    }
}

TEST(RxtctlRaw, UnreachableBusIsAUsageErrorNamingTheBus) {
    ToolRun r = run({"--bus", "sim:/nonexistent/rxt-sim.sock", "raw", "keyboard", "ReadInfo"});
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_NE(r.err.find("keyboard"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("sim:/nonexistent/rxt-sim.sock"), std::string::npos) << r.err;
}

TEST(RxtctlExecutable, RunsAsAProcessWithItsExitStatus) {
    const std::string bin = std::string(RXT_BIN_DIR) + "/rxtctl";
    FILE* p = popen((bin + " --virtual raw keyboard ReadInfo 2>&1").c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) {
        out += buf;
    }
    const int status = pclose(p);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
    EXPECT_EQ(out.rfind("result 1\n", 0), 0u) << out;
}

TEST(RxtctlOptions, NumbersAndHexBytes) {
    long long v = 0;
    EXPECT_TRUE(parseNumber("0x1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(parseNumber("126", v));
    EXPECT_EQ(v, 126);
    EXPECT_FALSE(parseNumber("12a", v));
    EXPECT_FALSE(parseNumber("0x", v));
    EXPECT_FALSE(parseNumber("", v));

    std::vector<uint8_t> b;
    EXPECT_TRUE(parseHexBytes("01 ff:20,Ab", b));
    EXPECT_EQ(b, (std::vector<uint8_t>{0x01, 0xFF, 0x20, 0xAB}));
    EXPECT_TRUE(parseHexBytes("0102", b));
    EXPECT_EQ(b, (std::vector<uint8_t>{0x01, 0x02}));
    EXPECT_EQ(hexBytes(b.data(), b.size()), "01 02");
    EXPECT_FALSE(parseHexBytes("1 02", b));
    EXPECT_FALSE(parseHexBytes("012", b));
}

}  // namespace
}  // namespace rxt::tools
