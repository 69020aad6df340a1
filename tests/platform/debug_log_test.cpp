#include "platform/debug_log.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "support/test_folder.h"

namespace rxt {
namespace {

using test::ScopedEnv;

std::string captureLog(const std::function<void()>& body) {
    ::testing::internal::CaptureStderr();
    body();
    return ::testing::internal::GetCapturedStderr();
}

// Decides afresh from the environment, as at start-up.
void redecide() {
    detail::debugLogState.store(-1);
}

TEST(DebugLog, EnvironmentSwitchesItOnOnlyForOne) {
    {
        ScopedEnv env("RXT_DEBUG", "1");
        redecide();
        EXPECT_TRUE(debugLogEnabled());
    }
    for (const char* value : {"0", "", "yes", "11"}) {
        ScopedEnv env("RXT_DEBUG", value);
        redecide();
        EXPECT_FALSE(debugLogEnabled()) << value;
        EXPECT_EQ(captureLog([] { debugLog("InitWindow"); }), "");
    }
    ScopedEnv env("RXT_DEBUG", std::nullopt);
    redecide();
    EXPECT_FALSE(debugLogEnabled());
}

TEST(DebugLog, WritesFixedTextsVerbatimOneLineEach) {
    setDebugLogEnabled(true);
    const std::string out = captureLog([] {
        debugLog("InitWindow");
        debugLog("退出测试");
        debugLog("所有对象处于激发状态\n");  // already ends its line
        debugLogf("软件标示：%d", 49321);
        debugLog("");
    });
    setDebugLogEnabled(false);
    EXPECT_EQ(out, "InitWindow\n退出测试\n所有对象处于激发状态\n软件标示：49321\n\n");
}

TEST(DebugLog, HexDumpOfAReport) {
    setDebugLogEnabled(true);
    const std::array<uint8_t, 5> report{0x07, 0x00, 0xFF, 0x1C, 0xa5};
    const std::string out = captureLog([&] {
        debugLogHex("write", report);
        debugLogHex("", std::span<const uint8_t>(report).first(2));
        debugLogHex("empty", {});
    });
    setDebugLogEnabled(false);
    EXPECT_EQ(out, "write 07 00 FF 1C A5\n07 00\nempty\n");
}

TEST(DebugLog, OffWritesNothing) {
    setDebugLogEnabled(false);
    const std::array<uint8_t, 2> bytes{1, 2};
    EXPECT_EQ(captureLog([&] {
                  debugLog("x");
                  debugLogf("%d", 1);
                  debugLogHex("p", bytes);
              }),
              "");
}

TEST(DebugLog, LinesFromManyThreadsNeverInterleave) {
    setDebugLogEnabled(true);
    const std::string out = captureLog([] {
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([t] {
                const std::string line = "thread" + std::to_string(t) + std::string(300, 'a' + t);
                for (int i = 0; i < 50; ++i) {
                    debugLog(line);
                }
            });
        }
        for (auto& th : threads) {
            th.join();
        }
    });
    setDebugLogEnabled(false);
    std::istringstream lines(out);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        ASSERT_GE(line.size(), 7u);
        const int t = line[6] - '0';
        EXPECT_EQ(line, "thread" + std::to_string(t) + std::string(300, 'a' + t));
    }
    EXPECT_EQ(count, 200);
}

}  // namespace
}  // namespace rxt
