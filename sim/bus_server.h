#pragma once
// Serves a Simulator on the simulated HID bus: a SOCK_SEQPACKET Unix socket
// speaking ENUM, WATCH and OPEN, and beside it a stream socket taking control
// lines. One thread runs a poll() loop over every connection; all sockets are
// non-blocking, so a client that stops reading never holds up the others.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "sim/simulator.h"

namespace rxt::sim {

class BusServer {
  public:
    explicit BusServer(Simulator& sim);
    ~BusServer();
    BusServer(const BusServer&) = delete;
    BusServer& operator=(const BusServer&) = delete;

    // Listens on busPath and, unless controlPath is empty, on controlPath,
    // then starts serving. A stale socket file left at either path is
    // replaced; a path in use or any other file there is refused.
    bool start(const std::string& busPath, const std::string& controlPath,
               std::string* error = nullptr);
    // Closes every connection, stops the thread and removes the socket files.
    void stop();
    bool running() const { return thread_.joinable(); }

    const std::string& busPath() const { return busPath_; }
    const std::string& controlPath() const { return controlPath_; }

  private:
    void loop();

    Simulator& sim_;
    std::string busPath_;
    std::string controlPath_;
    int busFd_ = -1;
    int controlFd_ = -1;
    int wakeFd_ = -1;
    uint64_t busInode_ = 0;  // to remove only the socket files we made
    uint64_t controlInode_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// Control path the executable and the in-process bus use by default.
inline std::string defaultControlPath(const std::string& busPath) {
    return busPath + ".ctl";
}

}  // namespace rxt::sim
