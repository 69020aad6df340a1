// The text control of the simulator and the Simulator operations behind it.

#include "sim/control_protocol.h"

#include <gtest/gtest.h>

#include "sim/hex_text.h"

namespace rxt::sim {
namespace {

bool startsWith(const std::string& s, std::string_view prefix) {
    return s.rfind(prefix, 0) == 0;
}

class ControlTest : public ::testing::Test {
  protected:
    std::string run(std::string_view line) { return executeControlLine(sim, line); }

    // A request through the bus side, as a connection would deliver it.
    std::vector<uint8_t> exchange(DeviceKind kind, Command code, uint8_t length, uint16_t offset,
                                  std::vector<uint8_t> data = {}) {
        auto where = sim.findInterface(configPath(kind));
        EXPECT_TRUE(where);
        const Report r = buildCommandReport(static_cast<uint8_t>(code), length, offset, data);
        EXPECT_TRUE(sim.deliver(*where, r));
        std::vector<uint8_t> reply;
        for (const BusReport& b : sim.takeEvents().reports) {
            if (b.where.index == where->index) {
                reply = b.bytes;
            }
        }
        return reply;
    }

    std::string configPath(DeviceKind kind) {
        const auto paths = sim.paths(kind);
        return kind == DeviceKind::Mousepad ? paths.at(0) : paths.at(1);
    }

    Simulator sim;
};

TEST_F(ControlTest, PlugUnplugAndStatus) {
    EXPECT_EQ(run("status"), "ok mouse=unplugged mousepad=unplugged keyboard=unplugged");
    EXPECT_TRUE(startsWith(run("plug keyboard 0800"), "ok plugged keyboard 0c45:0800"));
    EXPECT_TRUE(startsWith(run("plug mouse"), "ok plugged mouse 320f:2002"));
    EXPECT_TRUE(startsWith(run("plug mp 0x5004"), "ok plugged mousepad"));
    EXPECT_EQ(run("status"),
              "ok mouse=plugged:320f:2002 mousepad=plugged:0c45:5004 keyboard=plugged:0c45:0800");
    EXPECT_EQ(run("plug mouse"), "error mouse is already plugged");
    EXPECT_EQ(run("unplug keyboard"), "ok unplugged keyboard");
    EXPECT_EQ(run("unplug keyboard"), "error keyboard is not plugged");
    EXPECT_EQ(run("plug keyboard 1234"), "error no keyboard has product id 1234");
    EXPECT_TRUE(startsWith(run("plug keyboard zz"), "error bad product id"));
    EXPECT_TRUE(startsWith(run("plug keyboard 7200"), "ok"));
    EXPECT_TRUE(startsWith(run("plug toaster"), "error unknown device"));

    const std::string paths = run("paths keyboard");
    EXPECT_NE(paths.find("pid_7200&mi_00"), std::string::npos) << paths;
    EXPECT_NE(paths.find("pid_7200&mi_01"), std::string::npos) << paths;

    // Every plug and unplug is a change for the watchers.
    EXPECT_EQ(sim.takeEvents().changes, 5u);
}

TEST_F(ControlTest, BadRequestsGetAReasonNeverACrash) {
    for (const char* line : {"",
                             "   ",
                             "frobnicate",
                             "plug",
                             "dump mouse",
                             "dump mouse nowhere",
                             "dump mouse info x",
                             "poke mouse info 0 zz",
                             "poke mouse info 0",
                             "fault mouse drop",
                             "fault mouse drop -1",
                             "fault mouse explode 3",
                             "fault mouse refuse ReadInfo 00",
                             "fault mouse refuse Nope ff",
                             "action mouse",
                             "action mouse dance",
                             "action mouse dpi 9",
                             "action keyboard dpi",
                             "action mouse notify 70000",
                             "log mouse x",
                             "log mouse 0 0",
                             "unplug mouse now",
                             "dump mouse info 99999999999999999999"}) {
        const std::string a = run(line);
        EXPECT_TRUE(startsWith(a, "error ")) << "'" << line << "' -> " << a;
        EXPECT_EQ(a.find('\n'), std::string::npos);
    }
}

TEST_F(ControlTest, DumpAndPokeReachTheDeviceMemory) {
    ASSERT_TRUE(sim.plug(DeviceKind::Keyboard));
    EXPECT_EQ(run("dump keyboard info 5 2"), "ok 7e40");
    EXPECT_EQ(run("poke keyboard info 5 ab"), "ok wrote 1 bytes");
    EXPECT_EQ(exchange(DeviceKind::Keyboard, Command::ReadInfo, 33, 0).at(8 + 5), 0xAB)
        << "the host reads what was poked";
    EXPECT_EQ(run("dump keyboard info 32"), "ok 00");
    EXPECT_TRUE(startsWith(run("dump keyboard info 33 1"), "error info memory of the keyboard"));
    EXPECT_TRUE(startsWith(run("poke keyboard info 32 0102"), "error"));
    EXPECT_EQ(run("dump keyboard cursor"), "error the keyboard has no cursor memory");
    EXPECT_EQ(run("dump mousepad keytable"), "error the mousepad has no keytable memory");

    const std::string frame = run("dump keyboard frame");
    EXPECT_EQ(frame.size(), 3 + 2 * 378u);
    // Memory stays while unplugged, like a device's flash.
    ASSERT_TRUE(sim.unplug(DeviceKind::Keyboard));
    EXPECT_EQ(run("dump keyboard info 5 1"), "ok ab");
    EXPECT_EQ(run("factory keyboard"), "ok keyboard memory restored");
    EXPECT_EQ(run("dump keyboard info 5 1"), "ok 7e");
}

TEST_F(ControlTest, FaultsChangeWhatTheHostSees) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    EXPECT_EQ(run("fault mouse"), "ok none");
    EXPECT_EQ(run("fault mouse refuse ReadInfo fe 1"), "ok refuse=ReadInfo:fe:1");
    EXPECT_EQ(exchange(DeviceKind::Mouse, Command::ReadInfo, 33, 0).at(7), 0xFE);
    EXPECT_EQ(exchange(DeviceKind::Mouse, Command::ReadInfo, 33, 0).at(7), 0x00);

    EXPECT_EQ(run("fault mouse refuse 0x06 ff"), "ok refuse=WriteRecord:ff");
    EXPECT_EQ(exchange(DeviceKind::Mouse, Command::WriteRecord, 1, 19, {3}).at(7), 0xFF);
    EXPECT_EQ(run("fault mouse drop 1"), "ok drop=1 refuse=WriteRecord:ff");
    EXPECT_TRUE(exchange(DeviceKind::Mouse, Command::ReadInfo, 33, 0).empty());
    EXPECT_EQ(run("fault mouse clear"), "ok none");
    EXPECT_EQ(exchange(DeviceKind::Mouse, Command::WriteRecord, 1, 19, {3}).at(7), 0x00);

    // A delay long enough that a loaded machine cannot make the reply due
    // before the device leaves.
    EXPECT_EQ(run("fault mouse delay 10000"), "ok delay=10000");
    EXPECT_EQ(run("fault mouse unplug-after 1"), "ok delay=10000 unplug-after=1");
    EXPECT_TRUE(startsWith(run("fault mouse unplug-after 0"), "error"));
    EXPECT_TRUE(sim.deliver(*sim.findInterface(configPath(DeviceKind::Mouse)),
                            buildCommandReport(1, 0, 0)));
    EXPECT_FALSE(sim.isPlugged(DeviceKind::Mouse));
    const BusEvents ev = sim.takeEvents();
    ASSERT_EQ(ev.gone.size(), 1u);
    EXPECT_EQ(ev.gone[0].first, DeviceKind::Mouse);
    EXPECT_TRUE(ev.reports.empty()) << "a reply still waiting on its delay leaves with the device";
}

TEST_F(ControlTest, DeviceActionsChangeTheLiveRecordAndNotify) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mouse));
    ASSERT_TRUE(sim.plug(DeviceKind::Mousepad));
    ASSERT_TRUE(sim.plug(DeviceKind::Keyboard));
    sim.takeEvents();

    const auto level = sim.dump(DeviceKind::Mouse, MemoryArea::Records, 19, 1)->at(0);
    EXPECT_EQ(run("action mouse dpi"),
              "ok active DPI level " + std::to_string((level + 1) % 7) + ", notified 1025");
    BusEvents ev = sim.takeEvents();
    ASSERT_EQ(ev.reports.size(), 2u);
    EXPECT_EQ(ev.reports[0].bytes, (std::vector<uint8_t>{0x01, 0x04}));
    EXPECT_EQ(ev.reports[1].bytes, (std::vector<uint8_t>{0x00, 0x00}));
    EXPECT_EQ(exchange(DeviceKind::Mouse, Command::ReadRecord, 56, 0).at(8 + 19), (level + 1) % 7);

    EXPECT_EQ(run("action mouse dpi 6"), "ok active DPI level 6, notified 1025");
    sim.takeEvents();
    EXPECT_EQ(run("action mouse dpi"), "ok active DPI level 0, notified 1025");
    sim.takeEvents();

    EXPECT_EQ(run("action keyboard profile 3"), "ok profile 3, notified 1026");
    ev = sim.takeEvents();
    ASSERT_EQ(ev.reports.size(), 2u);
    EXPECT_EQ(ev.reports[0].bytes, (std::vector<uint8_t>{0x03, 0x02, 0x04}));
    EXPECT_EQ(exchange(DeviceKind::Keyboard, Command::ReadRecord, 1, 0).at(8), 3);
    EXPECT_EQ(run("action keyboard profile"), "ok profile 4, notified 1026");
    sim.takeEvents();
    EXPECT_EQ(run("action keyboard profile"), "ok profile 0, notified 1026");
    sim.takeEvents();

    EXPECT_EQ(run("action mouse click"), "ok notified 1027");
    ev = sim.takeEvents();
    ASSERT_EQ(ev.reports.size(), 2u);
    EXPECT_EQ(ev.reports[0].bytes, (std::vector<uint8_t>{0x03, 0x04}));

    EXPECT_EQ(run("action keyboard light"), "ok light mode 1, notified 1025");
    sim.takeEvents();

    // The mousepad has no consumer-control interface: its profile still moves.
    EXPECT_EQ(run("action mousepad profile 2"),
              "ok profile 2 (the mousepad sends no notifications)");
    EXPECT_TRUE(sim.takeEvents().reports.empty());
    EXPECT_EQ(run("action mousepad click"), "error the mousepad has no consumer-control interface");

    ASSERT_TRUE(sim.unplug(DeviceKind::Mouse));
    EXPECT_EQ(run("action mouse dpi"), "error mouse is not plugged");
}

TEST_F(ControlTest, LogFramesAndCounters) {
    ASSERT_TRUE(sim.plug(DeviceKind::Mousepad));
    exchange(DeviceKind::Mousepad, Command::BeginSession, 0, 0);
    exchange(DeviceKind::Mousepad, Command::StreamFrame, 45, 0, std::vector<uint8_t>(45, 7));
    exchange(DeviceKind::Mousepad, Command::StreamFrame, 56, 0, std::vector<uint8_t>(56, 8));
    exchange(DeviceKind::Mousepad, Command::StreamFrame, 4, 56, std::vector<uint8_t>(4, 9));
    exchange(DeviceKind::Mousepad, Command::ReadBlock, 56, 0);

    const std::string log = run("log mousepad");
    EXPECT_TRUE(startsWith(log, "ok next=5 count=5 | #0 t=")) << log;
    EXPECT_NE(log.find("BeginSession(1) off=0 len=0 -> 00"), std::string::npos) << log;
    EXPECT_NE(log.find("StreamFrame(18) off=56 len=4 -> 00"), std::string::npos) << log;
    EXPECT_NE(log.find("ReadBlock(7) off=0 len=56 -> fe no keytable memory"), std::string::npos)
        << log;
    const std::string tail = run("log mousepad 3 1");
    EXPECT_TRUE(startsWith(tail, "ok next=4 count=1 | #3 ")) << tail;
    EXPECT_EQ(run("log mousepad 5"), "ok next=5 count=0");

    const std::string frames = run("frames mousepad");
    EXPECT_TRUE(startsWith(frames, "ok frames=2 chunks=3 last-bytes=60 ")) << frames;
    EXPECT_EQ(run("dump mousepad frame 55 3"), "ok 080909");

    EXPECT_TRUE(startsWith(run("counters mousepad"),
                           "ok requests=5 accepted=4 refused=1 bad-checksum=0 bad-report-id=0 "
                           "bad-length=0 out-of-range=0 unsupported=1"));
    EXPECT_EQ(run("log mousepad clear"), "ok log cleared");
    EXPECT_EQ(run("log mousepad"), "ok next=5 count=0");
}

TEST(HexText, RoundTripAndRefusals) {
    const std::vector<uint8_t> bytes{0x00, 0x0f, 0xa0, 0xff};
    EXPECT_EQ(toHex(bytes), "000fa0ff");
    EXPECT_EQ(parseHex("000FA0ff"), bytes);
    EXPECT_EQ(parseHex("00 0f:a0-ff"), bytes);
    EXPECT_FALSE(parseHex("0"));
    EXPECT_FALSE(parseHex("0g"));
    EXPECT_TRUE(parseHex("")->empty());
}

}  // namespace
}  // namespace rxt::sim
