// rxtctl read and rxtctl watch, run in-process against a simulated bus.

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "sim/virtual_bus.h"
#include "support/test_folder.h"
#include "tools/options.h"
#include "tools/rxtctl.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using sim::MemoryArea;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class StateCommands : public ::testing::Test {
  protected:
    StateCommands()
        : home_("HOME", folder_.path().string()),
          config_("XDG_CONFIG_HOME", (folder_.path() / ".config").string()) {}

    ToolRun run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--bus", bus.selector()});
        std::ostringstream out;
        std::ostringstream err;
        ToolRun r;
        r.status = tools::runRxtctl(args, out, err);
        r.out = out.str();
        r.err = err.str();
        return r;
    }
    std::string hexOf(DeviceKind kind, MemoryArea area, size_t offset, size_t n) {
        const auto bytes =
            bus.simulator().dump(kind, area, offset, n).value_or(std::vector<uint8_t>{});
        return tools::hexBytes(bytes.data(), bytes.size());
    }

    test::TempFolder folder_;
    test::ScopedEnv home_;
    test::ScopedEnv config_;
    sim::VirtualBus bus{{.plugAll = false, .makeDefault = false, .controlSocket = false}};
};

TEST_F(StateCommands, ReadPrintsEveryImageAsJson) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Mouse));
    const ToolRun r = run({"--json", "read", "mouse"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"kind\": \"mouse\", \"result\": 1, \"completed\": true"),
              std::string::npos);
    EXPECT_NE(r.out.find("\"info\": \"" + hexOf(DeviceKind::Mouse, MemoryArea::Info, 0, 33) + "\""),
              std::string::npos);
    EXPECT_NE(r.out.find("\"defaultKeys\": \"" +
                         hexOf(DeviceKind::Mouse, MemoryArea::KeyTable, 0, 512) + "\""),
              std::string::npos);
    // Five banks, bank 4 read from offset 4 x 126.
    EXPECT_NE(r.out.find(", \"" + hexOf(DeviceKind::Mouse, MemoryArea::Banks, 4 * 126, 512) +
                         "\"], \"records\""),
              std::string::npos);
    EXPECT_NE(r.out.find("\"current\": \""), std::string::npos);
}

TEST_F(StateCommands, ReadPrintsHexForPeople) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Mousepad));
    const ToolRun r = run({"read", "mousepad"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("information record (33 bytes)\n  0000  " +
                         hexOf(DeviceKind::Mousepad, MemoryArea::Info, 0, 16) + "\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("record table (320 bytes)"), std::string::npos);
    EXPECT_NE(r.out.find("current record (21 bytes)"), std::string::npos);
    EXPECT_EQ(r.out.find("key bank"), std::string::npos);  // the mousepad has none
}

TEST_F(StateCommands, ReadReportsTheKeyCountStopAndMissingDevices) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Keyboard));
    const uint8_t k171[1] = {171};
    ASSERT_TRUE(bus.simulator().poke(DeviceKind::Keyboard, MemoryArea::Info, 5, k171));
    ToolRun r = run({"read", "keyboard"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("171 keys"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("message_text_11"), std::string::npos);

    r = run({"read", "mouse"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no mouse found"), std::string::npos) << r.err;
    r = run({"read", "trackball"});
    EXPECT_EQ(r.status, 2);
    r = run({"read"});
    EXPECT_EQ(r.status, 2);
}

TEST_F(StateCommands, ReadOfADeviceThatStopsAnsweringFails) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Mousepad));
    ASSERT_TRUE(bus.simulator().refuseCommand(DeviceKind::Mousepad, 5, 0xFE));
    const ToolRun r = run({"read", "mousepad"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("result -103"), std::string::npos) << r.err;
}

TEST_F(StateCommands, RawChunkedWritesTakeTheirWholeTransfer) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Mouse));
    // A whole mouse bank: 126 bytes in three reports (56, 56, 14), padded
    // with zeros past the data given.
    ToolRun r =
        run({"raw", "mouse", "WriteBank", "--bank", "1", "--length", "126", "--data", "01 02 03"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<uint8_t> bank(126, 0);
    bank[0] = 1;
    bank[1] = 2;
    bank[2] = 3;
    EXPECT_EQ(hexOf(DeviceKind::Mouse, MemoryArea::Banks, 126, 126),
              tools::hexBytes(bank.data(), bank.size()));
    // The record commands still carry one report of at most 56 bytes.
    r = run({"raw", "mouse", "ReadRecord", "--length", "57"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("from 0 to 56"), std::string::npos) << r.err;
    r = run({"raw", "mouse", "WriteMacroData", "--length", "65536", "--data", "00"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("from 0 to 65535"), std::string::npos) << r.err;
}

TEST_F(StateCommands, WatchPrintsArrivalsNotificationsReReadsAndRemovals) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Mouse));
    ToolRun r;
    std::thread watcher([&] { r = run({"watch", "--seconds", "3"}); });
    std::this_thread::sleep_for(1200ms);  // attached, read by timer 8, listening
    ASSERT_TRUE(bus.simulator().switchProfile(DeviceKind::Mouse, 1));
    std::this_thread::sleep_for(400ms);
    ASSERT_TRUE(bus.simulator().unplug(DeviceKind::Mouse));
    watcher.join();

    EXPECT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = {
        "(change notifications on)", "mouse attached",
        "mouse re-read: everything", "mouse notification 1026 (0x402): everything changed",
        "mouse re-read: everything", "mouse removed",
        "time is up, threads ended"};
    size_t at = 0;
    for (const std::string& l : lines) {
        const size_t found = r.out.find(l, at);
        ASSERT_NE(found, std::string::npos) << "\"" << l << "\" in order in\n" << r.out;
        at = found + l.size();
    }
    // Every line carries its time stamp.
    EXPECT_NE(r.out.find(" ms  mouse attached"), std::string::npos);
}

TEST_F(StateCommands, WatchHeadingComesBeforeTheFirstArrival) {
    // Devices already present attach as soon as the threads start.
    for (DeviceKind kind : kAllDeviceKinds) {
        ASSERT_TRUE(bus.simulator().plug(kind));
    }
    const ToolRun r = run({"watch", "--seconds", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string first = r.out.substr(0, r.out.find('\n'));
    EXPECT_NE(first.find("watching"), std::string::npos) << r.out;
    for (const char* kind : {"mouse", "mousepad", "keyboard"}) {
        EXPECT_NE(r.out.find(std::string(kind) + " attached"), std::string::npos) << r.out;
    }
}

TEST_F(StateCommands, WatchEndsPromptlyOnInterrupt) {
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Mouse));
    ASSERT_TRUE(bus.simulator().plug(DeviceKind::Keyboard));
    ToolRun r;
    std::atomic<bool> started{false};
    std::thread watcher([&] {
        started = true;
        r = run({"watch"});
    });
    while (!started) {
        std::this_thread::sleep_for(1ms);
    }
    std::this_thread::sleep_for(1200ms);
    const auto sent = std::chrono::steady_clock::now();
    // At the watching thread only, where the signal is blocked and waited for.
    ASSERT_EQ(pthread_kill(watcher.native_handle(), SIGINT), 0);
    watcher.join();
    const auto took = std::chrono::steady_clock::now() - sent;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("interrupted, threads ended"), std::string::npos) << r.out;
    // One 500 ms report time-out plus a poll, with room for a loaded machine.
    EXPECT_LT(took, 2000ms);
}

TEST_F(StateCommands, WatchRefusesBadArguments) {
    EXPECT_EQ(run({"watch", "--seconds"}).status, 2);
    EXPECT_EQ(run({"watch", "--seconds", "-1"}).status, 2);
    EXPECT_EQ(run({"watch", "--minutes", "1"}).status, 2);
}

}  // namespace
}  // namespace rxt
