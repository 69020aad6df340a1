#pragma once
// The three devices on a fake bus, each served by a FakeCommandDevice, with
// the three links the main window would own. Plugging adds the node (and
// tells any bus watch); unplugging removes it and hangs up every connection.

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "device/device_kind.h"
#include "state/device_links.h"
#include "support/fake_command_device.h"
#include "support/fake_hid_backend.h"
#include "support/test_descriptors.h"

namespace rxt::test {

class FakeDeviceTrio {
  public:
    FakeDeviceTrio() {
        for (rxt::DeviceKind kind : rxt::kAllDeviceKinds) {
            route(pathOf(kind), &device(kind));
        }
        backend->onOpen = [this](const std::string& path, int fd) {
            std::lock_guard lock(mutex_);
            auto it = routes_.find(path);
            if (it != routes_.end()) {
                it->second->attach(fd);
            } else {
                spare_.attach(fd);
            }
        };
        links = std::make_unique<rxt::DeviceLinks>(backend);
        links->assignIdentities();
    }

    ~FakeDeviceTrio() {
        links.reset();
        backend->onOpen = nullptr;
    }

    FakeCommandDevice& device(rxt::DeviceKind kind) { return devices_[static_cast<size_t>(kind)]; }
    rxt::DeviceLink& link(rxt::DeviceKind kind) { return (*links)[kind]; }
    static std::string pathOf(rxt::DeviceKind kind) {
        return "fake/" + std::string(rxt::kindName(kind));
    }

    // Connections opened on path go to dev.
    void route(const std::string& path, FakeCommandDevice* dev) {
        std::lock_guard lock(mutex_);
        routes_[path] = dev;
    }

    // Adds the kind's configuration node; product 0 means the kind's own.
    void plug(rxt::DeviceKind kind, uint16_t product = 0) {
        const rxt::DeviceIdentity& id = rxt::identityOf(kind);
        backend->addNode(configNode(pathOf(kind), id.vendor, product == 0 ? id.product : product));
    }

    void unplug(rxt::DeviceKind kind) {
        backend->removeNode(pathOf(kind));
        device(kind).hangUp();
    }

    // Plugs and opens the device on its link as discovery does, and sets connected.
    bool connect(rxt::DeviceKind kind) {
        plug(kind);
        rxt::DeviceLink& l = link(kind);
        if (!l.device().open(pathOf(kind), true, true, true, false)) {
            return false;
        }
        l.setConnected(true);
        return true;
    }

    // Members in this order so that the links close before the devices go.
    std::shared_ptr<FakeHidBackend> backend = std::make_shared<FakeHidBackend>();

  private:
    std::array<FakeCommandDevice, 3> devices_;
    FakeCommandDevice spare_;
    std::mutex mutex_;
    std::map<std::string, FakeCommandDevice*> routes_;

  public:
    std::unique_ptr<rxt::DeviceLinks> links;
};

}  // namespace rxt::test
