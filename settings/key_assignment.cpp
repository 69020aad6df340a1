#include "settings/key_assignment.h"

#include <algorithm>

namespace rxt {

KeyAssignment AssignmentBank::get(size_t n) const {
    if (n >= entries_) {
        return {};
    }
    const size_t at = n * kAssignmentSize;
    return {bytes_.get(at), bytes_.get(at + 1), bytes_.get(at + 2)};
}

bool AssignmentBank::set(size_t n, const KeyAssignment& entry) {
    if (n >= entries_) {
        return false;
    }
    const size_t at = n * kAssignmentSize;
    bytes_.set(at, entry.kind);
    bytes_.set(at + 1, entry.p1);
    bytes_.set(at + 2, entry.p2);
    return true;
}

size_t bankEntries(const DeviceImages& images) {
    if (images.kind() == DeviceKind::Mouse) {
        return kMouseBankEntries;
    }
    if (images.kind() == DeviceKind::Keyboard) {
        return std::min<size_t>(images.info.get(info::kKeyCount), kMaxKeyboardKeys);
    }
    return 0;
}

size_t currentBankNumber(const DeviceImages& images) {
    const size_t n = images.currentIndex();
    return n < kKeyBankCount ? n : 0;
}

AssignmentBank bank(DeviceImages& images, size_t number) {
    return {images.banks[number < kKeyBankCount ? number : 0], bankEntries(images)};
}

AssignmentBank currentBank(DeviceImages& images) {
    return bank(images, currentBankNumber(images));
}

KeyAssignment defaultEntry(const DeviceImages& images, size_t n) {
    if (n >= bankEntries(images)) {
        return {};
    }
    const size_t at = n * kAssignmentSize;
    return {images.defaultKeys.get(at), images.defaultKeys.get(at + 1),
            images.defaultKeys.get(at + 2)};
}

}  // namespace rxt
