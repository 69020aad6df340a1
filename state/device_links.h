#pragma once
// The three device links, one per kind, as the main window owns them.

#include <array>
#include <memory>

#include "device/device_kind.h"
#include "device/device_link.h"

namespace rxt {

class DeviceLinks {
  public:
    // A null backend means the process-wide one, looked up at each open.
    explicit DeviceLinks(std::shared_ptr<HidBackend> backend = nullptr);
    DeviceLinks(const DeviceLinks&) = delete;
    DeviceLinks& operator=(const DeviceLinks&) = delete;

    DeviceLink& operator[](DeviceKind kind) { return *links_[static_cast<size_t>(kind)]; }
    const DeviceLink& operator[](DeviceKind kind) const {
        return *links_[static_cast<size_t>(kind)];
    }

    // Gives every link its kind's identity (and clears connected).
    void assignIdentities();

    bool connected(DeviceKind kind) const { return (*this)[kind].connected(); }
    bool anyConnected() const;
    // True when a kind other than this one is connected.
    bool anyOtherConnected(DeviceKind kind) const;

    // The backend the links were made with; the process-wide one when none was given.
    std::shared_ptr<HidBackend> backend() const;

  private:
    std::shared_ptr<HidBackend> backend_;
    std::array<std::unique_ptr<DeviceLink>, 3> links_;
};

}  // namespace rxt
