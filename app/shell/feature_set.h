#pragma once
// Several page features as one: the window takes one PageFeature, the
// program has a feature per subsystem (profiles, settings, lighting, macros
// ...). Every call goes to each feature in the order added.

#include <vector>

#include "app/shell/page_feature.h"

namespace rxt::shell {

class FeatureSet : public PageFeature {
  public:
    void add(PageFeature& feature) { features_.push_back(&feature); }
    size_t size() const { return features_.size(); }

    void attach(const PageHost& host) override;
    void addRoutes(NotifyRouter& router) override;
    void addControlRoutes(ControlRouter& router) override;
    void claimWorkers(WorkerClaims& claims) override;
    void onEvent(const WindowEvent& event) override;

  private:
    std::vector<PageFeature*> features_;
};

}  // namespace rxt::shell
