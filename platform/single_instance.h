#pragma once
// One running program per user: an exclusive lock on the file "TALVIXDRVER1"
// in the user's runtime folder, and beside it the local socket
// "ORMELANE_004" on which the running instance hears that a second start
// wants it to come to the front.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace rxt {

inline constexpr std::string_view kInstanceLockName = "TALVIXDRVER1";
inline constexpr std::string_view kActivationName = "ORMELANE_004";

// $XDG_RUNTIME_DIR when it is an absolute folder, else a folder of this user
// in the temporary folder ("rx-t7100-<uid>", mode 0700, created when missing
// and refused when someone else owns it). Empty when neither can be had.
std::filesystem::path runtimeFolder();

class InstanceLock {
  public:
    enum class Result {
        Acquired,       // this process is the one instance
        HeldElsewhere,  // another process holds the lock
        Unavailable,    // the lock file could not be made: start anyway
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result acquire(const std::filesystem::path& folder);
    void release();
    bool held() const { return fd_ >= 0; }
    // Why the last acquire did not give the lock.
    const std::string& error() const { return error_; }

  private:
    int fd_ = -1;
    std::string error_;
};

// Serves the activation socket: every connection of this user that sends
// the activation text calls the handler, on the listener's own thread.
class ActivationListener {
  public:
    ActivationListener() = default;
    ~ActivationListener();
    ActivationListener(const ActivationListener&) = delete;
    ActivationListener& operator=(const ActivationListener&) = delete;

    // Binds folder/"ORMELANE_004" (replacing a stale socket left by a crashed
    // instance: the caller holds the instance lock) and starts listening.
    bool start(const std::filesystem::path& folder, std::function<void()> onActivation);
    // Stops the thread and removes the socket. Safe to call twice.
    void stop();
    bool running() const { return thread_.joinable(); }
    const std::string& error() const { return error_; }
    const std::filesystem::path& socketPath() const { return path_; }

  private:
    void run();
    void serve(int client);

    std::function<void()> onActivation_;
    std::filesystem::path path_;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;
    std::string error_;
};

// The second instance's side: connects to the running one and sends the
// activation. Retries for up to `patience` while the first instance is still
// starting; false when nobody answered.
bool sendActivation(const std::filesystem::path& folder,
                    std::chrono::milliseconds patience = std::chrono::milliseconds(2000));

}  // namespace rxt
