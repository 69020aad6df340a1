#include "state/device_links.h"

namespace rxt {

DeviceLinks::DeviceLinks(std::shared_ptr<HidBackend> backend) : backend_(std::move(backend)) {
    for (auto& link : links_) {
        link = std::make_unique<DeviceLink>(backend_);
    }
}

void DeviceLinks::assignIdentities() {
    for (DeviceKind kind : kAllDeviceKinds) {
        const DeviceIdentity& id = identityOf(kind);
        (*this)[kind].setTargets(id.vendor, id.product, id.usage, id.usagePage);
    }
}

bool DeviceLinks::anyConnected() const {
    for (DeviceKind kind : kAllDeviceKinds) {
        if (connected(kind)) {
            return true;
        }
    }
    return false;
}

bool DeviceLinks::anyOtherConnected(DeviceKind kind) const {
    for (DeviceKind other : kAllDeviceKinds) {
        if (other != kind && connected(other)) {
            return true;
        }
    }
    return false;
}

std::shared_ptr<HidBackend> DeviceLinks::backend() const {
    return backend_ ? backend_ : defaultHidBackend();
}

}  // namespace rxt
