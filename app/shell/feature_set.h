#pragma once
// Several page features as one: the window takes one PageFeatures, the
// program has a feature per subsystem (profiles, lighting, macros ...).
// Every call goes to each feature in the order added; a worker slot goes to
// the first feature that has a body for it.

#include <vector>

#include "app/shell/page_features.h"

namespace rxt::shell {

class FeatureSet : public PageFeatures {
  public:
    void add(PageFeatures& feature) { features_.push_back(&feature); }
    size_t size() const { return features_.size(); }

    void addRoutes(NotifyRouter& router) override;
    void initPages() override;
    std::optional<WorkerThreads::Body> workerBody(WorkerSlot slot) override;
    void refreshPage(Page page) override;
    void loadKeyboardDeviceProfile(int index) override;
    void saveSelectedProfile(DeviceKind kind, ProfileKind profile) override;
    void writeKeyboardDefaultFile(int variant, std::span<const uint8_t> keyTable) override;
    void triggerLightEffects() override;
    void hookMessage(int message, intptr_t wParam, intptr_t lParam) override;

  private:
    std::vector<PageFeatures*> features_;
};

}  // namespace rxt::shell
