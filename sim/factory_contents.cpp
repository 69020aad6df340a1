#include "sim/factory_contents.h"

namespace rxt::sim {

DeviceMemory factoryMemory(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Mouse:
            return mouseFactoryMemory();
        case DeviceKind::Mousepad:
            return mousepadFactoryMemory();
        case DeviceKind::Keyboard:
            break;
    }
    return keyboardFactoryMemory();
}

}  // namespace rxt::sim
