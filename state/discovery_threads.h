#pragma once
// The five threads that watch the devices come and go: one detection thread
// per kind, which opens the configuration interface on the kind's link,
// notices its removal and switches the pages; and the mouse and keyboard
// listeners, which turn a device's own change notifications (on its
// consumer-control interface) into re-read messages.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "device/device_kind.h"
#include "device/hid_device.h"
#include "platform/stop_event.h"
#include "state/device_images.h"
#include "state/device_links.h"
#include "state/hotplug_waker.h"
#include "state/ui_reactions.h"

namespace rxt {

inline constexpr uint16_t kNotifyRefresh = 1025;  // re-read the current record
inline constexpr uint16_t kNotifyReadAll = 1026;  // re-read everything
inline constexpr uint16_t kNotifyEffect = 1027;   // set off the light effect (mouse)

inline constexpr int kListenerReadTimeoutMs = 500;

// What the threads share with the main window.
struct DiscoveryContext {
    DeviceLinks& links;
    DeviceImageSet& images;
    UiReactions& ui;
    HotplugWaker& waker;
    // Optional observers, called on the worker threads.
    std::function<void(DeviceKind, bool attached)> onPresence;
    std::function<void(DeviceKind, uint16_t usage)> onNotification;
};

// The block each worker thread gets: the shared context and its stop event.
struct WorkerParam {
    DiscoveryContext* context = nullptr;
    StopEvent* stop = nullptr;
};

// Keyboard variant from the product id by the model table of
// state/keyboard_kind.h.
int keyboardVariantFor(uint16_t product, int current);

// The message a listener sends for a notification usage; 0 for none.
int listenerMessage(DeviceKind kind, uint16_t usage);

std::string_view detectionExitText(DeviceKind kind);
std::string_view listenerExitText(DeviceKind kind);

// Thread bodies; they return when the stop event is set (or enumeration
// fails). The starter resets the stop event before starting the thread, so a
// stop requested at once is not lost.
void runDetection(DeviceKind kind, WorkerParam param);
void runListener(DeviceKind kind, WorkerParam param);

}  // namespace rxt
