#include "device/hid_device.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "support/fake_hid_backend.h"

namespace rxt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::FakeHidBackend;

long msSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// The device ends of every open, in order, for the test to play the device.
class DeviceEnds {
  public:
    explicit DeviceEnds(FakeHidBackend& backend) {
        backend.onOpen = [this](const std::string&, int fd) {
            std::lock_guard lock(mutex_);
            fds_.push_back(fd);
            changed_.notify_all();
        };
    }
    ~DeviceEnds() {
        for (int fd : fds_) {
            ::close(fd);
        }
    }
    int at(size_t i) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return fds_.size() > i; });
        return i < fds_.size() ? fds_[i] : -1;
    }
    void closeEnd(size_t i) {
        std::lock_guard lock(mutex_);
        ::close(fds_.at(i));
        fds_[i] = ::dup(STDERR_FILENO);  // keeps the destructor's close harmless
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> fds_;
};

std::vector<uint8_t> configReport(uint8_t marker) {
    std::vector<uint8_t> r(64, 0);
    r[0] = 4;
    r[1] = marker;
    return r;
}

void sendPacket(int fd, const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
}

class HidDeviceTest : public ::testing::Test {
  protected:
    std::shared_ptr<FakeHidBackend> backend = std::make_shared<FakeHidBackend>();
};

// ---- enumeration ------------------------------------------------------------

TEST_F(HidDeviceTest, EnumerationListsEveryNodeInOrderBeyondEight) {
    for (int i = 0; i < 11; ++i) {
        backend->addNode(
            test::configNode("/dev/fake" + std::to_string(i), 0x1000 + i, 0x2000 + i, i));
    }
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    ASSERT_EQ(device.pathList().count(), 11u);
    for (int i = 0; i < 11; ++i) {
        const HidPathEntry* e = device.nextPath();
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->path, "/dev/fake" + std::to_string(i));
        EXPECT_EQ(e->vendor, 0x1000 + i);
        EXPECT_EQ(e->product, 0x2000 + i);
        EXPECT_EQ(e->interfaceNumber, static_cast<uint32_t>(i));
        EXPECT_EQ(e->usagePage, 0xFF1C);
        EXPECT_EQ(e->usage, 0x0092);
        EXPECT_EQ(e->inputLength, 64);
        EXPECT_EQ(e->outputLength, 64);
    }
    EXPECT_EQ(device.nextPath(), nullptr);
    EXPECT_EQ(device.nextPath(), nullptr);

    // A new enumeration starts the cursor again.
    ASSERT_TRUE(device.enumerate());
    ASSERT_NE(device.nextPath(), nullptr);
    EXPECT_EQ(device.pathList().count(), 11u);
}

TEST_F(HidDeviceTest, EmptyBusAndFailedEnumeration) {
    HidDevice device(backend);
    EXPECT_TRUE(device.enumerate());
    EXPECT_EQ(device.pathList().count(), 0u);
    EXPECT_EQ(device.nextPath(), nullptr);

    backend->addNode(test::configNode("/dev/fake0", 1, 2));
    ASSERT_TRUE(device.enumerate());
    ASSERT_EQ(device.pathList().count(), 1u);
    backend->failEnumerate = true;
    EXPECT_FALSE(device.enumerate());
    EXPECT_EQ(device.pathList().count(), 0u);
    EXPECT_EQ(device.nextPath(), nullptr);

    device.freePathList();
    EXPECT_EQ(device.nextPath(), nullptr);
}

TEST_F(HidDeviceTest, IdsComeFromTheBackendNotFromAWindowsStylePath) {
    backend->addNode(test::configNode(R"(\\?\hid#vid_1111&pid_2222&mi_03#x)", 0x320F, 0x2002, 1));
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    const HidPathEntry* e = device.nextPath();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->vendor, 0x320F);
    EXPECT_EQ(e->product, 0x2002);
    EXPECT_EQ(e->interfaceNumber, 1u);
    EXPECT_EQ(e->collectionNumber, 0u);

    ASSERT_TRUE(device.open(e->path, true, true, true, false));
    EXPECT_EQ(device.attributes().vendor, 0x320F);
    EXPECT_EQ(device.attributes().product, 0x2002);
    EXPECT_EQ(device.interfaceNumber(), 1u);
}

TEST_F(HidDeviceTest, MultiCollectionNodeGivesOneEntryPerCollection) {
    HidNodeInfo node = test::configNode("/dev/fake7", 0x0C45, 0x6553, 1);
    node.descriptor = test::configAndConsumerDescriptor();
    backend->addNode(node);
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    ASSERT_EQ(device.pathList().count(), 2u);

    const HidPathEntry* config = device.nextPath();
    const HidPathEntry* consumer = device.nextPath();
    ASSERT_NE(config, nullptr);
    ASSERT_NE(consumer, nullptr);
    EXPECT_EQ(config->path, "/dev/fake7&col01");
    EXPECT_EQ(consumer->path, "/dev/fake7&col02");
    EXPECT_EQ(config->collectionNumber, 1u);
    EXPECT_EQ(consumer->collectionNumber, 2u);
    EXPECT_EQ(config->usagePage, 0xFF1C);
    EXPECT_EQ(config->usage, 0x0092);
    EXPECT_EQ(config->inputLength, 64);
    EXPECT_EQ(config->outputLength, 64);
    EXPECT_EQ(consumer->usagePage, 0x000C);
    EXPECT_EQ(consumer->usage, 0x0001);
    EXPECT_EQ(consumer->inputLength, 3);
    EXPECT_EQ(consumer->outputLength, 0);
    for (const HidPathEntry* e : {config, consumer}) {
        EXPECT_EQ(e->vendor, 0x0C45);
        EXPECT_EQ(e->product, 0x6553);
        EXPECT_EQ(e->interfaceNumber, 1u);
    }

    // The plain node path is no entry of its own.
    EXPECT_FALSE(device.open("/dev/fake7", true, true, true, false));
    ASSERT_TRUE(device.open("/dev/fake7&col02", true, false, true, false));
    EXPECT_EQ(device.caps().usagePage, 0x000C);
    EXPECT_EQ(device.caps().inputLength, 3);
    EXPECT_EQ(device.collectionNumber(), 2u);
    EXPECT_EQ(device.reportBuffer(HidReportType::Input).size(), 3u);
    EXPECT_TRUE(device.reportBuffer(HidReportType::Output).empty());
}

TEST_F(HidDeviceTest, PresenceProbeResolvesCollectionEntriesToTheirNode) {
    HidNodeInfo node = test::configNode("/dev/kb", 0x0C45, 0x6553, 1);
    node.descriptor = test::configAndConsumerDescriptor();
    backend->addNode(node);
    backend->addNode(test::configNode("/dev/ms", 0x320F, 0x2002));

    HidDevice listed(backend);
    ASSERT_TRUE(listed.enumerate());
    EXPECT_TRUE(listed.present("/dev/kb&col01"));
    EXPECT_TRUE(listed.present("/dev/ms"));
    HidDevice fresh(backend);  // no path list: the suffix is taken off
    EXPECT_TRUE(fresh.present("/dev/kb&col02"));
    EXPECT_TRUE(fresh.present("/dev/kb"));
    EXPECT_FALSE(fresh.present("/dev/other&col01"));
    EXPECT_EQ(backend->openCount("/dev/kb"), 0);  // probing opens nothing

    backend->removeNode("/dev/kb");
    EXPECT_FALSE(listed.present("/dev/kb&col01"));
    EXPECT_FALSE(fresh.present("/dev/kb&col02"));
    EXPECT_TRUE(fresh.present("/dev/ms"));
}

TEST_F(HidDeviceTest, CollectionNumbersPastNineAreHex) {
    HidNodeInfo node = test::configNode("/dev/many", 1, 2);
    node.descriptor.clear();
    for (int i = 0; i < 11; ++i) {
        const auto one = test::consumerDescriptor();
        node.descriptor.insert(node.descriptor.end(), one.begin(), one.end());
    }
    backend->addNode(node);
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    ASSERT_EQ(device.pathList().count(), 11u);
    EXPECT_EQ(device.pathList().entries()[9].path, "/dev/many&col0a");
    EXPECT_EQ(device.pathList().entries()[9].collectionNumber, 10u);
    EXPECT_EQ(device.pathList().entries()[10].path, "/dev/many&col0b");
}

TEST_F(HidDeviceTest, UnparseableDescriptorIsListedButCannotBeOpened) {
    HidNodeInfo node = test::configNode("/dev/broken", 0x1234, 0x5678);
    node.descriptor = {0x06, 0x1C};  // truncated item
    backend->addNode(node);
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    const HidPathEntry* e = device.nextPath();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->path, "/dev/broken");
    EXPECT_EQ(e->vendor, 0x1234);
    EXPECT_EQ(e->usagePage, 0);
    EXPECT_EQ(e->usage, 0);
    EXPECT_EQ(e->inputLength, 0);

    EXPECT_FALSE(device.open("/dev/broken", true, true, true, false));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(backend->openCount("/dev/broken"), 0);
    EXPECT_NE(device.lastError(), 0);
    EXPECT_FALSE(device.lastErrorText().empty());
}

TEST_F(HidDeviceTest, DescriptorLargerThanAnyDeviceCanHaveIsListedOnceAndNotOpened) {
    // A bus answering with a huge descriptor of tiny collections must not
    // make every enumeration copy it once per collection.
    HidNodeInfo node = test::configNode("/dev/huge", 0x320F, 0x2002);
    node.descriptor = {0x06, 0x1C, 0xFF};
    for (int i = 0; i < 1000; ++i) {
        node.descriptor.insert(node.descriptor.end(), {0x09, 0x92, 0xA1, 0x01, 0xC0});
    }
    backend->addNode(node);
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    ASSERT_EQ(device.pathList().count(), 1u);
    const HidPathEntry* e = device.nextPath();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->path, "/dev/huge");
    EXPECT_FALSE(e->describable);
    EXPECT_EQ(e->usagePage, 0);

    EXPECT_FALSE(device.open("/dev/huge", true, true, true, false));
    EXPECT_FALSE(device.open("/dev/huge&col01", true, true, true, false));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(backend->openCount("/dev/huge"), 0);
    EXPECT_FALSE(device.lastErrorText().empty());
}

// ---- open -----------------------------------------------------------------

TEST_F(HidDeviceTest, OpenDescribesTheInterface) {
    HidNodeInfo node = test::configNode("/dev/fake0", 0x320F, 0x2002, 1);
    node.version = 0x0105;
    backend->addNode(node);
    HidDevice device(backend);
    // Not enumerated on this object: open finds it by a fresh enumeration.
    ASSERT_TRUE(device.open("/dev/fake0", true, true, true, false));
    EXPECT_TRUE(device.isOpen());
    EXPECT_EQ(device.devicePath(), "/dev/fake0");
    EXPECT_EQ(device.caps().usagePage, 0xFF1C);
    EXPECT_EQ(device.caps().usage, 0x0092);
    EXPECT_EQ(device.caps().inputLength, 64);
    EXPECT_EQ(device.caps().outputLength, 64);
    EXPECT_EQ(device.caps().featureLength, 0);
    EXPECT_EQ(device.attributes().vendor, 0x320F);
    EXPECT_EQ(device.attributes().product, 0x2002);
    EXPECT_EQ(device.attributes().version, 0x0105);
    EXPECT_EQ(device.interfaceNumber(), 1u);
    EXPECT_EQ(device.collectionNumber(), 0u);
    EXPECT_EQ(device.reportBuffer(HidReportType::Input), std::vector<uint8_t>(64, 0));
    EXPECT_EQ(device.reportBuffer(HidReportType::Output).size(), 64u);
    EXPECT_TRUE(device.openForReading());
    EXPECT_TRUE(device.openForWriting());
    EXPECT_TRUE(device.overlapped());
    EXPECT_FALSE(device.exclusive());
    EXPECT_EQ(device.lastError(), 0);
    EXPECT_EQ(backend->openCount("/dev/fake0"), 1);

    device.close();
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.caps().usagePage, 0);
    EXPECT_TRUE(device.reportBuffer(HidReportType::Input).empty());
    device.close();  // again: harmless
    EXPECT_FALSE(device.isOpen());
}

TEST_F(HidDeviceTest, OpenOfAVanishedPathFailsAndKeepsNoHandle) {
    backend->addNode(test::configNode("/dev/fake0", 1, 2));
    backend->addNode(test::configNode("/dev/fake1", 1, 2));
    HidDevice device(backend);
    ASSERT_TRUE(device.enumerate());
    ASSERT_TRUE(device.open("/dev/fake1", true, true, true, false));
    backend->removeNode("/dev/fake0");

    // Still in this object's path list, gone from the bus.
    EXPECT_FALSE(device.open("/dev/fake0", true, false, true, true));
    EXPECT_FALSE(device.isOpen());  // the previous open was closed first
    EXPECT_EQ(device.lastError(), ENOENT);
    EXPECT_EQ(device.devicePath(), "/dev/fake0");
    EXPECT_TRUE(device.openForReading());
    EXPECT_FALSE(device.openForWriting());
    EXPECT_TRUE(device.exclusive());
    uint8_t buffer[64];
    EXPECT_FALSE(device.read(sizeof buffer, buffer, 10));

    EXPECT_FALSE(device.open("/dev/never", true, true, true, false));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(device.lastError(), ENOENT);
}

TEST_F(HidDeviceTest, OverlongPathIsRefused) {
    const std::string path = "/dev/" + std::string(300, 'x');
    backend->addNode(test::configNode(path, 1, 2));
    HidDevice device(backend);
    EXPECT_FALSE(device.open(path, true, true, true, false));
    EXPECT_FALSE(device.isOpen());
    EXPECT_EQ(backend->openCount(path), 0);
}

TEST_F(HidDeviceTest, NullBackendUsesTheProcessDefault) {
    backend->addNode(test::configNode("/dev/default0", 7, 8));
    setDefaultHidBackend(backend);
    HidDevice device;
    const bool enumerated = device.enumerate();
    const size_t count = device.pathList().count();
    const bool opened = device.open("/dev/default0", true, true, true, false);
    device.close();
    setDefaultHidBackend(nullptr);
    EXPECT_TRUE(enumerated);
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(opened);
}

// ---- transfers --------------------------------------------------------------

class HidTransferTest : public HidDeviceTest {
  protected:
    void SetUp() override {
        backend->addNode(test::configNode("/dev/fake0", 0x320F, 0x2002));
        ASSERT_TRUE(device.open("/dev/fake0", true, true, true, false));
        deviceEnd = ends.at(0);
        ASSERT_GE(deviceEnd, 0);
    }

    DeviceEnds ends{*backend};
    HidDevice device{backend};
    int deviceEnd = -1;
};

TEST_F(HidTransferTest, OneReportEachWay) {
    const std::vector<uint8_t> request = configReport(0x11);
    size_t count = 99;
    ASSERT_TRUE(device.write(request.size(), request.data(), 1000, &count));
    EXPECT_EQ(count, 64u);
    uint8_t received[128];
    ASSERT_EQ(::recv(deviceEnd, received, sizeof received, 0), 64);
    EXPECT_EQ(std::vector<uint8_t>(received, received + 64), request);

    sendPacket(deviceEnd, configReport(0x22));
    sendPacket(deviceEnd, configReport(0x33));
    uint8_t reply[64] = {};
    ASSERT_TRUE(device.read(sizeof reply, reply, 1000, &count));
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(reply[1], 0x22);  // one report per read, in order
    ASSERT_TRUE(device.read(sizeof reply, reply, 1000, &count));
    EXPECT_EQ(reply[1], 0x33);
}

TEST_F(HidTransferTest, ReadTimesOutNotEarlierThanAskedAndStaysOpen) {
    uint8_t reply[64];
    size_t count = 99;
    const auto start = Clock::now();
    EXPECT_FALSE(device.read(sizeof reply, reply, 150, &count));
    EXPECT_GE(msSince(start), 150);
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(device.isOpen());

    // A report arriving later is read on the same handle.
    sendPacket(deviceEnd, configReport(0x44));
    ASSERT_TRUE(device.read(sizeof reply, reply, 1000, &count));
    EXPECT_EQ(reply[1], 0x44);
}

TEST_F(HidTransferTest, CloseFromAnotherThreadCutsAReadShort) {
    uint8_t reply[64];
    auto start = Clock::now();
    auto reader = std::async(std::launch::async, [&] {
        size_t count = 99;
        const bool ok = device.read(sizeof reply, reply, 5000, &count);
        return std::make_pair(ok, count);
    });
    std::this_thread::sleep_for(50ms);
    device.close();
    const auto [ok, count] = reader.get();
    EXPECT_FALSE(ok);
    EXPECT_EQ(count, 0u);
    EXPECT_LT(msSince(start), 2000);
    EXPECT_FALSE(device.isOpen());

    // The cancel is spent: the next open's read waits and reads normally.
    ASSERT_TRUE(device.open("/dev/fake0", true, true, true, false));
    const int second = ends.at(1);
    start = Clock::now();
    EXPECT_FALSE(device.read(sizeof reply, reply, 100));
    EXPECT_GE(msSince(start), 100);
    sendPacket(second, configReport(0x55));
    ASSERT_TRUE(device.read(sizeof reply, reply, 1000));
    EXPECT_EQ(reply[1], 0x55);
}

TEST_F(HidTransferTest, CloseFromAnotherThreadCutsABlockedWriteShort) {
    const std::vector<uint8_t> request = configReport(0x66);
    // Nobody reads the device side: the socket fills up.
    int accepted = 0;
    while (device.write(request.size(), request.data(), 20) && accepted < 100000) {
        ++accepted;
    }
    ASSERT_GT(accepted, 0);
    ASSERT_TRUE(device.isOpen());

    const auto start = Clock::now();
    auto writer = std::async(std::launch::async, [&] {
        size_t count = 99;
        const bool ok = device.write(request.size(), request.data(), 5000, &count);
        return std::make_pair(ok, count);
    });
    std::this_thread::sleep_for(50ms);
    device.close();
    const auto [ok, count] = writer.get();
    EXPECT_FALSE(ok);
    EXPECT_EQ(count, 0u);
    EXPECT_LT(msSince(start), 2000);
}

TEST_F(HidTransferTest, HangUpFailsAtOnce) {
    ends.closeEnd(0);
    uint8_t reply[64];
    const auto start = Clock::now();
    EXPECT_FALSE(device.read(sizeof reply, reply, 5000));
    const std::vector<uint8_t> request = configReport(1);
    EXPECT_FALSE(device.write(request.size(), request.data(), 5000));  // and no SIGPIPE
    EXPECT_LT(msSince(start), 2000);
}

TEST_F(HidTransferTest, ReportsSentBeforeTheHangUpAreStillRead) {
    sendPacket(deviceEnd, configReport(0x77));
    ends.closeEnd(0);
    uint8_t reply[64];
    ASSERT_TRUE(device.read(sizeof reply, reply, 1000));
    EXPECT_EQ(reply[1], 0x77);
    EXPECT_FALSE(device.read(sizeof reply, reply, 1000));
}

TEST_F(HidTransferTest, TransfersOnAClosedDeviceFail) {
    device.close();
    uint8_t buffer[64] = {4};
    size_t count = 99;
    EXPECT_FALSE(device.write(sizeof buffer, buffer, 100, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(device.read(sizeof buffer, buffer, 100, &count));
    EXPECT_EQ(count, 0u);
}

// ---- several collections on one node ----------------------------------------

class SharedNodeTest : public HidDeviceTest {
  protected:
    void SetUp() override {
        HidNodeInfo node = test::configNode("/dev/kb", 0x0C45, 0x6553, 1);
        node.descriptor = test::configAndConsumerDescriptor();
        backend->addNode(node);
        ASSERT_TRUE(config.enumerate());
        ASSERT_TRUE(config.open("/dev/kb&col01", true, true, true, false));
        ASSERT_TRUE(consumer.open("/dev/kb&col02", true, false, true, false));
        configEnd = ends.at(0);
        consumerEnd = ends.at(1);
    }
    // Like a hidraw node: every opener receives each input report.
    void broadcast(const std::vector<uint8_t>& report) {
        sendPacket(configEnd, report);
        sendPacket(consumerEnd, report);
    }

    DeviceEnds ends{*backend};
    HidDevice config{backend};
    HidDevice consumer{backend};
    int configEnd = -1;
    int consumerEnd = -1;
};

TEST_F(SharedNodeTest, EachCollectionReadsOnlyItsOwnReports) {
    const std::vector<uint8_t> request = configReport(0x10);
    ASSERT_TRUE(config.write(request.size(), request.data(), 1000));

    // A notification lands in the middle of the command exchange.
    const std::vector<uint8_t> notification = {3, 0x01, 0x04};  // usage 1025
    broadcast(notification);
    broadcast(configReport(0x99));

    uint8_t reply[64] = {};
    size_t count = 0;
    ASSERT_TRUE(config.read(sizeof reply, reply, 1000, &count));
    EXPECT_EQ(count, 64u);
    EXPECT_EQ(reply[0], 4);
    EXPECT_EQ(reply[1], 0x99);
    // Nothing else is waiting for the configuration collection.
    EXPECT_FALSE(config.read(sizeof reply, reply, 50));

    uint8_t note[3] = {};
    ASSERT_TRUE(consumer.read(sizeof note, note, 1000, &count));
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(std::vector<uint8_t>(note, note + 3), notification);
    EXPECT_FALSE(consumer.read(sizeof note, note, 50));
}

TEST_F(SharedNodeTest, ForeignReportsDoNotExtendTheTimeOut) {
    uint8_t reply[64];
    const auto start = Clock::now();
    auto reader =
        std::async(std::launch::async, [&] { return config.read(sizeof reply, reply, 300); });
    for (int i = 0; i < 5; ++i) {
        broadcast({3, 0x02, 0x04});
        std::this_thread::sleep_for(40ms);
    }
    EXPECT_FALSE(reader.get());
    const long elapsed = msSince(start);
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 3000);
}

TEST_F(SharedNodeTest, AReaderRestingAfterForeignReportsStillGetsItsOwnInOrder) {
    consumer.setForeignReportPause(20);
    uint8_t note[3] = {};
    size_t count = 0;
    // Replies to someone else's commands, then a notification among them.
    for (int i = 0; i < 10; ++i) {
        broadcast(configReport(static_cast<uint8_t>(i)));
    }
    broadcast({3, 0x01, 0x04});
    broadcast(configReport(0x50));
    broadcast({3, 0x02, 0x04});
    const auto start = Clock::now();
    ASSERT_TRUE(consumer.read(sizeof note, note, 1000, &count));
    EXPECT_EQ(note[1], 0x01);
    ASSERT_TRUE(consumer.read(sizeof note, note, 1000, &count));
    EXPECT_EQ(note[1], 0x02);
    EXPECT_LT(msSince(start), 500);

    // With only foreign reports the time-out holds, rests included...
    broadcast(configReport(0x60));
    auto began = Clock::now();
    EXPECT_FALSE(consumer.read(sizeof note, note, 100));
    EXPECT_GE(msSince(began), 100);
    EXPECT_LT(msSince(began), 2000);

    // ...and a close ends a rest at once.
    auto reader = std::async(std::launch::async, [&] {
        return consumer.read(sizeof note, note, 5000);
    });
    for (int i = 0; i < 20; ++i) {
        broadcast(configReport(0x70));
        std::this_thread::sleep_for(5ms);
    }
    began = Clock::now();
    consumer.close();
    EXPECT_FALSE(reader.get());
    EXPECT_LT(msSince(began), 1000);
}

// A node that always has another collection's report ready, faster than
// any reader takes them (report id 0 belongs to neither collection).
class FloodingBackend : public FakeHidBackend {
  public:
    int openNode(const std::string& path, bool read, bool write, bool exclusive) override {
        const int fd = FakeHidBackend::openNode(path, read, write, exclusive);
        if (fd < 0) {
            return fd;
        }
        ::close(fd);
        return ::open("/dev/zero", O_RDONLY | O_CLOEXEC);
    }
};

TEST(SharedNodeFlood, ForeignReportsArrivingNonStopDoNotHoldAReadPastItsTimeOut) {
    auto backend = std::make_shared<FloodingBackend>();
    HidNodeInfo node = test::configNode("/dev/kb", 0x0C45, 0x6553, 1);
    node.descriptor = test::configAndConsumerDescriptor();
    backend->addNode(node);
    HidDevice config(backend);
    ASSERT_TRUE(config.open("/dev/kb&col01", true, true, true, false));

    for (int timeoutMs : {0, 200, -200}) {
        // Negative: the same time-out for a reader resting after foreign reports.
        config.setForeignReportPause(timeoutMs < 0 ? 5 : 0);
        timeoutMs = std::abs(timeoutMs);
        uint8_t reply[64];
        auto reader = std::async(std::launch::async,
                                 [&] { return config.read(sizeof reply, reply, timeoutMs); });
        const bool ended = reader.wait_for(3s) == std::future_status::ready;
        if (!ended) {
            config.close();  // releases the reader so that the test can end
        }
        EXPECT_TRUE(ended) << "time-out " << timeoutMs;
        EXPECT_FALSE(reader.get());
    }
}

TEST_F(SharedNodeTest, UnpackReportDecodesTheConsumerUsage) {
    std::vector<HidDataItem>& items = consumer.items(HidReportType::Input);
    ASSERT_EQ(items.size(), 1u);
    const uint8_t report[3] = {3, 0x02, 0x04};  // usage 0x0402 = 1026
    ASSERT_TRUE(consumer.unpackReport(items, HidReportType::Input, report, sizeof report));
    ASSERT_TRUE(items[0].isButton);
    ASSERT_FALSE(items[0].usages.empty());
    EXPECT_EQ(items[0].usages[0], 1026);
}

}  // namespace
}  // namespace rxt

namespace rxt {
namespace {

TEST_F(HidDeviceTest, UnnumberedReportsAreReadBehindAZeroIdByte) {
    // Consumer control without report ids: one 16-bit array slot.
    const std::vector<uint8_t> descriptor = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                             0x26, 0xFF, 0x0F, 0x19, 0x00, 0x2A, 0xFF, 0x0F,
                                             0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};
    HidNodeInfo node{"/dev/fake-consumer", 0x320F, 0x2002, 0, 2, descriptor};
    backend->addNode(node);
    DeviceEnds ends{*backend};
    HidDevice device{backend};
    ASSERT_TRUE(device.open(node.path, true, false, true, false));
    EXPECT_EQ(device.caps().inputLength, 3);

    sendPacket(ends.at(0), {0x02, 0x04});  // the node delivers the data alone
    uint8_t report[3] = {0xAA, 0xAA, 0xAA};
    size_t count = 0;
    ASSERT_TRUE(device.read(sizeof report, report, 1000, &count));
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(report[0], 0);
    std::vector<HidDataItem>& items = device.items(HidReportType::Input);
    ASSERT_TRUE(device.unpackReport(items, HidReportType::Input, report, count));
    ASSERT_FALSE(items.empty());
    ASSERT_FALSE(items[0].usages.empty());
    EXPECT_EQ(items[0].usages[0], 1026);
}

}  // namespace
}  // namespace rxt
