#pragma once
// A HID bus in memory: nodes are added and removed by the test, and every
// open hands the test the device side of a fresh SOCK_SEQPACKET pair, so
// that one packet is one report in each direction, as on a hidraw node.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "support/test_descriptors.h"

namespace rxt::test {

class FakeHidBackend : public rxt::HidBackend {
  public:
    FakeHidBackend() = default;
    ~FakeHidBackend() override;
    FakeHidBackend(const FakeHidBackend&) = delete;
    FakeHidBackend& operator=(const FakeHidBackend&) = delete;

    // Appears in enumerate() (after the nodes already added); a node with the
    // same path is replaced in place.
    void addNode(rxt::HidNodeInfo node);
    // Disappears; openNode then fails. Does not touch fds already handed out.
    void removeNode(const std::string& path);

    // Called for each successful openNode with the device side of a new
    // AF_UNIX SOCK_SEQPACKET socket pair; the callee owns deviceFd. When
    // unset, the device side is kept and closed by the backend's destructor.
    // It runs inside the opener's HidDevice::open, so it must not call back
    // into that HidDevice.
    std::function<void(const std::string& path, int deviceFd)> onOpen;
    std::atomic<bool> failEnumerate{false};
    int openCount(const std::string& path) const;

    bool enumerate(std::vector<rxt::HidNodeInfo>& nodes) override;
    int openNode(const std::string& path, bool read, bool write, bool exclusive) override;
    bool present(const std::string& path) override;
    // Each watch is a socket that gets one packet per addNode/removeNode.
    int openWatch() override;
    void drainWatch(int watchFd) override;
    std::string describe() const override { return "fake"; }

  private:
    void notifyWatchers();

    mutable std::mutex mutex_;
    std::vector<rxt::HidNodeInfo> nodes_;
    std::map<std::string, int> opens_;
    std::vector<int> keptDeviceFds_;
    std::vector<int> watchers_;  // our ends of the watch pairs
};

}  // namespace rxt::test
