#include "app/shell/feature_set.h"

namespace rxt::shell {

void FeatureSet::attach(const PageHost& host) {
    for (PageFeature* f : features_) {
        f->attach(host);
    }
}

void FeatureSet::addRoutes(NotifyRouter& router) {
    for (PageFeature* f : features_) {
        f->addRoutes(router);
    }
}

void FeatureSet::addControlRoutes(ControlRouter& router) {
    for (PageFeature* f : features_) {
        f->addControlRoutes(router);
    }
}

void FeatureSet::claimWorkers(WorkerClaims& claims) {
    for (PageFeature* f : features_) {
        f->claimWorkers(claims);
    }
}

void FeatureSet::onEvent(const WindowEvent& event) {
    for (PageFeature* f : features_) {
        f->onEvent(event);
    }
}

}  // namespace rxt::shell
