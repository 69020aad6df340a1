#pragma once
// What the main window does with the device messages and timers: the
// re-reads the listeners and timers ask for, each followed by the refresh of
// the pages that show the images, and the periodic write-back. Runs on the
// UI thread.

#include <functional>

#include "state/device_images.h"
#include "state/device_links.h"
#include "state/ui_reactions.h"
#include "state/write_back.h"

namespace rxt {

class DeviceEvents {
  public:
    DeviceEvents(DeviceLinks& links, DeviceImageSet& images, UiReactions& ui, WriteBack& writeBack);

    // 2305, 2306, 2561, 2562, 2817, 2818, 2819; false for any other message.
    bool onMessage(int message);
    // Timers 2, 8, 11, 12; false for any other. The caller stops the one-shot
    // timers (8, 11, 12) before or after, as it keeps its timers.
    bool onTimer(int id);

    // Told before each read (kind, true for a read all, false for a refresh
    // of the current record).
    void setOnRead(std::function<void(DeviceKind, bool)> observer) {
        onRead_ = std::move(observer);
    }

  private:
    void readAllAndRefresh(DeviceKind kind, std::initializer_list<Page> pages);
    void refreshAndShow(DeviceKind kind, Page page);

    DeviceLinks& links_;
    DeviceImageSet& images_;
    UiReactions& ui_;
    WriteBack& writeBack_;
    std::function<void(DeviceKind, bool)> onRead_;
};

}  // namespace rxt
