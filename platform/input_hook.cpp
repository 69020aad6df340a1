#include "platform/input_hook.h"

#include <cstdlib>
#include <mutex>
#include <string_view>

#include "platform/debug_log.h"

namespace rxt {

int hookKeyboardMessage(int mode) {
    switch (mode) {
        case kHookModeKeyboardSingleKey:
            return kMsgHookKeySingleKey;
        case kHookModeKeyboardMacro:
            return kMsgHookKeyMacro;
        case kHookModeMouseSingleKey:
            return kMsgHookMouSingleKey;
        case kHookModeMouseMacro:
            return kMsgHookMouMacro;
        default:
            return 0;
    }
}

int hookMouseMessage(int mode) {
    switch (mode) {
        case kHookModeKeyboardMacro:
            return kMsgHookKeyMacroMouse;
        case kHookModeMouseMacro:
            return kMsgHookMouMacroMouse;
        default:
            return 0;
    }
}

intptr_t packHookRecord(const HookEvent& e) {
    const uint64_t packed = uint64_t{e.time} | (uint64_t{e.virtualKey} << 32) |
                            (uint64_t{e.flags & 0xFFu} << 48) |
                            (static_cast<uint64_t>(e.xButton & 0xFFu) << 56);
    return static_cast<intptr_t>(packed);
}

HookEvent unpackHookEvent(int message, intptr_t wParam, intptr_t lParam) {
    const auto packed = static_cast<uint64_t>(lParam);
    HookEvent e;
    e.message = message;
    e.hookMessage = static_cast<uint16_t>(wParam);
    e.time = static_cast<uint32_t>(packed);
    e.virtualKey = static_cast<uint16_t>(packed >> 32);
    e.flags = static_cast<uint32_t>((packed >> 48) & 0xFF);
    e.xButton = static_cast<uint16_t>(packed >> 56);
    return e;
}

namespace {

// Sees what the program's own window is given.
class WindowInputHook : public InputHook {
  public:
    explicit WindowInputHook(Sink sink) : sink_(std::move(sink)) {}

    bool Install(int mode, bool keyboard, bool mouse) override {
        std::lock_guard lock(mutex_);
        mode_ = mode;
        keyboard_ = keyboard;
        mouse_ = mouse;
        return true;
    }
    void Remove() override {
        std::lock_guard lock(mutex_);
        keyboard_ = mouse_ = false;
    }
    bool installed() const override {
        std::lock_guard lock(mutex_);
        return keyboard_ || mouse_;
    }
    int mode() const override {
        std::lock_guard lock(mutex_);
        return mode_;
    }
    bool desktopWide() const override { return false; }
    void feedWindowEvent(const HookEvent& event) override {
        HookEvent e = event;
        {
            std::lock_guard lock(mutex_);
            const bool key = e.isKey();
            if ((key && !keyboard_) || (!key && !mouse_)) {
                return;
            }
            e.message = key ? hookKeyboardMessage(mode_) : hookMouseMessage(mode_);
        }
        if (e.message != 0) {
            sink_(e);
        }
    }

  private:
    Sink sink_;
    mutable std::mutex mutex_;
    int mode_ = 0;
    bool keyboard_ = false;
    bool mouse_ = false;
};

}  // namespace

std::unique_ptr<InputHook> makeWindowInputHook(InputHook::Sink sink) {
    return std::make_unique<WindowInputHook>(std::move(sink));
}

std::unique_ptr<InputHook> makeInputHook(InputHook::Sink sink) {
    const char* forced = std::getenv("RXT_INPUT_HOOK");
    if (forced == nullptr || std::string_view(forced) != "window") {
        std::string error;
        if (auto hook = makeX11InputHook(sink, &error)) {
            return hook;
        }
        debugLogf("input hook: %s; only the program's own window is watched", error.c_str());
    }
    return makeWindowInputHook(std::move(sink));
}

}  // namespace rxt
