#pragma once
// The worker slots the page features run. The discovery and listener slots
// are the window's own; a slot claimed twice, or one of the window's, is a
// fault of the program and is refused loudly (std::logic_error).

#include <array>
#include <optional>

#include "app/shell/worker_threads.h"

namespace rxt::shell {

class WorkerClaims {
  public:
    void claim(WorkerSlot slot, WorkerThreads::Body body);
    // The body claimed for the slot, once; nullopt when none was.
    std::optional<WorkerThreads::Body> take(WorkerSlot slot);
    bool claimed(WorkerSlot slot) const;

  private:
    std::array<std::optional<WorkerThreads::Body>, kWorkerSlots> bodies_;
};

// The first slot a page feature may claim: the ones before belong to the
// discovery and listener threads.
inline constexpr size_t kFirstPageSlot = static_cast<size_t>(WorkerSlot::KeyboardLight);

}  // namespace rxt::shell
