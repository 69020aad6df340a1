#pragma once
// Client of the simulated HID bus: a simulator process serving virtual HID
// interfaces on a SOCK_SEQPACKET Unix socket.

#include <string>

#include "device/hid_backend.h"

namespace rxt {

class SimBusBackend : public HidBackend {
  public:
    // Connecting and the first answer of each connection wait at most this
    // long, so a dead or silent simulator never stalls the program.
    static constexpr int kHandshakeTimeoutMs = 1000;

    explicit SimBusBackend(std::string socketPath);

    bool enumerate(std::vector<HidNodeInfo>& nodes) override;
    // The device connection after OK; -1 with errno ENODEV and the
    // simulator's reason in lastOpenFailure() after ERR.
    int openNode(const std::string& path, bool read, bool write, bool exclusive) override;
    std::string lastOpenFailure() const override;
    bool present(const std::string& path) override;
    // A WATCH connection. Should the simulator close it (no watch offered, or
    // gone), drainWatch turns it into a descriptor that never fires.
    int openWatch() override;
    void drainWatch(int watchFd) override;
    std::string describe() const override { return "sim:" + socketPath_; }

    const std::string& socketPath() const { return socketPath_; }

  private:
    // A connection that has sent its first message; -1 with errno set.
    int connectAndSend(std::string_view message) const;

    std::string socketPath_;
};

}  // namespace rxt
