#pragma once
// A DeviceLink opened and connected, through the real transport, on a
// configuration interface served by a FakeCommandDevice.

#include <memory>
#include <string>

#include "device/device_kind.h"
#include "device/device_link.h"
#include "support/fake_command_device.h"
#include "support/fake_hid_backend.h"
#include "support/test_descriptors.h"

namespace rxt::test {

struct FakeLinkRig {
    // Members in this order so that the link closes before the device goes.
    FakeCommandDevice device;
    std::shared_ptr<FakeHidBackend> backend = std::make_shared<FakeHidBackend>();
    std::unique_ptr<rxt::DeviceLink> link;
    std::string path;

    explicit FakeLinkRig(rxt::DeviceKind kind = rxt::DeviceKind::Mouse,
                         std::string nodePath = "fake/config0")
        : path(std::move(nodePath)) {
        const rxt::DeviceIdentity& id = rxt::identityOf(kind);
        backend->addNode(configNode(path, id.vendor, id.product));
        backend->onOpen = [this](const std::string&, int fd) { device.attach(fd); };
        link = std::make_unique<rxt::DeviceLink>(backend);
        link->setTargets(id.vendor, id.product, id.usage, id.usagePage);
    }

    ~FakeLinkRig() {
        link.reset();
        backend->onOpen = nullptr;
    }

    // Opens the interface as the detection thread does and sets connected.
    bool connect() {
        if (!link->device().open(path, true, true, true, false)) {
            return false;
        }
        link->setConnected(true);
        return true;
    }
};

}  // namespace rxt::test
