#include "app/shell/worker_claims.h"

#include <stdexcept>
#include <string>

namespace rxt::shell {

void WorkerClaims::claim(WorkerSlot slot, WorkerThreads::Body body) {
    const auto i = static_cast<size_t>(slot);
    if (i < kFirstPageSlot || i >= kWorkerSlots) {
        throw std::logic_error("worker slot " + std::to_string(i) + " is not a page's to claim");
    }
    if (bodies_[i]) {
        throw std::logic_error("worker slot " + std::to_string(i) + " claimed twice");
    }
    bodies_[i] = std::move(body);
}

std::optional<WorkerThreads::Body> WorkerClaims::take(WorkerSlot slot) {
    std::optional<WorkerThreads::Body> body;
    body.swap(bodies_[static_cast<size_t>(slot)]);
    return body;
}

bool WorkerClaims::claimed(WorkerSlot slot) const {
    return bodies_[static_cast<size_t>(slot)].has_value();
}

}  // namespace rxt::shell
