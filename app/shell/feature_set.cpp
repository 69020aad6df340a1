#include "app/shell/feature_set.h"

namespace rxt::shell {

void FeatureSet::addRoutes(NotifyRouter& router) {
    for (PageFeatures* f : features_) {
        f->addRoutes(router);
    }
}

void FeatureSet::initPages() {
    for (PageFeatures* f : features_) {
        f->initPages();
    }
}

std::optional<WorkerThreads::Body> FeatureSet::workerBody(WorkerSlot slot) {
    for (PageFeatures* f : features_) {
        if (auto body = f->workerBody(slot)) {
            return body;
        }
    }
    return std::nullopt;
}

void FeatureSet::refreshPage(Page page) {
    for (PageFeatures* f : features_) {
        f->refreshPage(page);
    }
}

void FeatureSet::loadKeyboardDeviceProfile(int index) {
    for (PageFeatures* f : features_) {
        f->loadKeyboardDeviceProfile(index);
    }
}

void FeatureSet::saveSelectedProfile(DeviceKind kind, ProfileKind profile) {
    for (PageFeatures* f : features_) {
        f->saveSelectedProfile(kind, profile);
    }
}

void FeatureSet::writeKeyboardDefaultFile(int variant, std::span<const uint8_t> keyTable) {
    for (PageFeatures* f : features_) {
        f->writeKeyboardDefaultFile(variant, keyTable);
    }
}

void FeatureSet::triggerLightEffects() {
    for (PageFeatures* f : features_) {
        f->triggerLightEffects();
    }
}

void FeatureSet::hookMessage(int message, intptr_t wParam, intptr_t lParam) {
    for (PageFeatures* f : features_) {
        f->hookMessage(message, wParam, lParam);
    }
}

}  // namespace rxt::shell
