// Retries, time-outs, failures, stale replies and concurrent use of one link.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "device/device_link.h"
#include "platform/debug_log.h"
#include "support/fake_link_rig.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::FakeCommandDevice;
using test::FakeLinkRig;
using test::FakeReply;

class DeviceLinkExchangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rig.device.fillPattern();
        ASSERT_TRUE(rig.connect());
    }

    bool recordMatches(const uint8_t* bytes, uint8_t n, uint16_t offset) const {
        for (uint8_t i = 0; i < n; ++i) {
            if (bytes[i] != FakeCommandDevice::patternByte(5, offset + i)) {
                return false;
            }
        }
        return true;
    }

    FakeLinkRig rig;
    DeviceLink& link = *rig.link;
};

TEST_F(DeviceLinkExchangeTest, MissingReplyIsResentThreeTimesThenGivesZero) {
    rig.device.setDefault(FakeReply::drop());
    const uint8_t data[] = {9, 8, 7};
    const auto start = Clock::now();
    EXPECT_EQ(link.WriteRecord(data, 3, 0x10), kResultNoDevice);
    const auto elapsed = Clock::now() - start;

    const auto requests = rig.device.requests();
    ASSERT_EQ(requests.size(), 4u);
    for (const auto& r : requests) {
        EXPECT_EQ(r.report, requests[0].report) << "a retry must send the same report";
    }
    // Four read time-outs of 300 ms each.
    EXPECT_GE(elapsed, 1150ms);
    EXPECT_LT(elapsed, 4000ms);
}

TEST_F(DeviceLinkExchangeTest, ReplyToTheThirdAttemptCompletesTheCommand) {
    rig.device.script({FakeReply::drop(), FakeReply::drop(), FakeReply::serve()});
    uint8_t record[21] = {};
    EXPECT_EQ(link.ReadRecord(record, 21, 0x30), kResultDone);
    EXPECT_EQ(rig.device.requestCount(), 3u);
    EXPECT_TRUE(recordMatches(record, 21, 0x30));
}

TEST_F(DeviceLinkExchangeTest, WriteToAClosedDeviceFailsAtOnce) {
    rig.device.hangUp();
    const auto start = Clock::now();
    EXPECT_EQ(link.BeginSession(), kResultWriteFailed);
    EXPECT_LT(Clock::now() - start, 250ms) << "a failed write must not wait for replies";
    EXPECT_EQ(rig.device.requestCount(), 0u);
}

TEST_F(DeviceLinkExchangeTest, DeviceHangingUpAfterARequestEndsWithWriteFailure) {
    rig.device.script({FakeReply::close()});
    std::vector<uint8_t> block(512, 0xAA);
    EXPECT_EQ(link.ReadBlock(block.data()), kResultWriteFailed);
    EXPECT_EQ(rig.device.requestCount(), 1u);
    EXPECT_EQ(block, std::vector<uint8_t>(512, 0xAA));
}

TEST_F(DeviceLinkExchangeTest, ChunkWithoutReplyEndsTheTransferWithZero) {
    // The second chunk is never answered: four attempts, then the transfer stops.
    rig.device.script({FakeReply::serve(), FakeReply::drop(), FakeReply::drop(), FakeReply::drop(),
                       FakeReply::drop()});
    std::vector<uint8_t> block(512, 0xAA);
    EXPECT_EQ(link.ReadBlock(block.data()), kResultNoDevice);
    const auto requests = rig.device.requests();
    ASSERT_EQ(requests.size(), 5u);
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(requests[i].offset, 56);
    }
    EXPECT_EQ(block[0], FakeCommandDevice::patternByte(7, 0));
    EXPECT_EQ(block[56], 0xAA);
}

TEST_F(DeviceLinkExchangeTest, StaleReportQueuedBeforeACommandIsNotTakenAsItsReply) {
    // A reply that arrived after its command gave up, still waiting in the queue.
    const Report stale = buildReply(5, 8, 0x200, 0, std::vector<uint8_t>(8, 0x5A));
    ASSERT_TRUE(rig.device.sendUnsolicited(stale));
    ASSERT_TRUE(rig.device.sendUnsolicited(stale));
    uint8_t record[8] = {};
    ASSERT_EQ(link.ReadRecord(record, 8, 0x10), kResultDone);
    EXPECT_TRUE(recordMatches(record, 8, 0x10));
}

TEST_F(DeviceLinkExchangeTest, LateReplyOfOneCommandDoesNotAnswerTheNext) {
    // The first request is answered after its attempt timed out; the retry's
    // answer then comes too, and must not serve the following command.
    rig.device.script({FakeReply::serve().after(400ms)});
    uint8_t first[8] = {};
    ASSERT_EQ(link.ReadRecord(first, 8, 0x100), kResultDone);
    EXPECT_TRUE(recordMatches(first, 8, 0x100));
    ASSERT_TRUE(rig.device.waitHandled(2, 2s));

    uint8_t second[8] = {};
    ASSERT_EQ(link.ReadRecord(second, 8, 0x20), kResultDone);
    EXPECT_TRUE(recordMatches(second, 8, 0x20));
}

TEST_F(DeviceLinkExchangeTest, EndSessionPausesBeforeSending) {
    const auto start = Clock::now();
    ASSERT_EQ(link.EndSession(), kResultDone);
    const auto requests = rig.device.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, 2);
    EXPECT_GE(requests[0].at - start, 10ms);
}

TEST_F(DeviceLinkExchangeTest, ResetDeviceMakesOneAttemptAndIgnoresTheStatus) {
    rig.device.script({FakeReply::drop()});
    const auto start = Clock::now();
    EXPECT_EQ(link.ResetDevice(), kResultNoDevice);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(rig.device.requestCount(), 1u);
    EXPECT_GE(elapsed, 280ms);
    EXPECT_LT(elapsed, 1000ms) << "no second attempt";

    rig.device.clearRequests();
    rig.device.script({FakeReply::withStatus(0xFF)});
    EXPECT_EQ(link.ResetDevice(), kResultDone);
    const auto requests = rig.device.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, 13);
    EXPECT_EQ(requests[0].length, 0);
}

TEST_F(DeviceLinkExchangeTest, ResetDeviceOnAClosedDeviceGivesZero) {
    rig.device.hangUp();
    EXPECT_EQ(link.ResetDevice(), kResultNoDevice);
}

TEST_F(DeviceLinkExchangeTest, ConcurrentCommandsEachGetTheirOwnReply) {
    constexpr int kRounds = 1000;
    std::atomic<int> wrong{0};
    std::atomic<int> failed{0};
    auto worker = [&](uint16_t base) {
        for (int i = 0; i < kRounds && wrong == 0 && failed == 0; ++i) {
            const auto offset = static_cast<uint16_t>(base + (i % 16) * 21);
            uint8_t record[21] = {};
            if (link.ReadRecord(record, 21, offset) != kResultDone) {
                ++failed;
            } else if (!recordMatches(record, 21, offset)) {
                ++wrong;
            }
        }
    };
    // A third thread streams frames, whose replies carry no record data.
    std::atomic<bool> streaming{true};
    std::thread frames([&] {
        std::array<uint8_t, 120> frame{};
        while (streaming && failed == 0) {
            if (link.StreamFrame(frame.data(), frame.size()) != kResultDone) {
                ++failed;
            }
        }
    });
    std::thread a(worker, 0x0000);
    std::thread b(worker, 0x1000);
    a.join();
    b.join();
    streaming = false;
    frames.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(failed.load(), 0);
}

TEST_F(DeviceLinkExchangeTest, TransferLockIsHeldForTheWholeExchange) {
    // A detection pass holding the lock keeps commands off the wire.
    std::unique_lock hold(link.transferLock());
    std::atomic<int> result{99};
    std::thread command([&] { result = link.BeginSession(); });
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(rig.device.requestCount(), 0u);
    hold.unlock();
    command.join();
    EXPECT_EQ(result.load(), kResultDone);
    EXPECT_EQ(rig.device.requestCount(), 1u);
}

TEST_F(DeviceLinkExchangeTest, CommandsRunWhileTheSameThreadHoldsTheLock) {
    // Recursive: a detection pass may issue commands itself.
    std::lock_guard hold(link.transferLock());
    EXPECT_EQ(link.BeginSession(), kResultDone);
}

TEST_F(DeviceLinkExchangeTest, EveryReportIsTracedInHexWhenTheDebugLogIsOn) {
    rig.device.script({FakeReply::withStatus(0xFE)});
    setDebugLogEnabled(true);
    ::testing::internal::CaptureStderr();
    const int result = link.BeginSession();
    const std::string trace = ::testing::internal::GetCapturedStderr();
    setDebugLogEnabled(false);
    EXPECT_EQ(result, kResultRefusedOther);
    EXPECT_NE(trace.find("DeviceLink out 04 01 00 01 00 00 00 00 00"), std::string::npos) << trace;
    EXPECT_NE(trace.find("DeviceLink in 04 FF 00 01 00 00 00 FE 00"), std::string::npos) << trace;
}

}  // namespace
}  // namespace rxt
