#include "app/pages/lighting/lighting_pages.h"

#include <string>
#include "platform/debug_log.h"

namespace rxt {
namespace {

namespace notify = ui::notify;

}  // namespace

void LightingPages::attach(const shell::PageHost& host) {
    ui_ = &host.ui;
    links_ = &host.links;
    images_ = &host.images;
    writeBack_ = &host.writeBack;
    auto context = [&](DeviceKind kind) {
        LightingPageContext ctx;
        ctx.ui = &host.ui;
        ctx.images = &host.images.of(kind);
        ctx.link = &host.links[kind];
        ctx.writeBack = &host.writeBack;
        ctx.requests = &requests(kind);
        ctx.report = host.report;
        return ctx;
    };
    mouse_ = std::make_unique<LightingPage>(kMouseLightingNames, context(DeviceKind::Mouse));
    mousepad_ =
        std::make_unique<LightingPage>(kMousepadLightingNames, context(DeviceKind::Mousepad));
    KeyboardLightingContext kb;
    kb.ui = &host.ui;
    kb.images = &host.images.keyboard;
    kb.links = &host.links;
    kb.writeBack = &host.writeBack;
    kb.requests = &keyboardRequests_;
    kb.handOffs = &handOffs_;
    kb.layouts = &keyboardCustomLayouts();
    kb.kind = [this] { return keyboardKind(); };
    kb.report = host.report;
    keyboard_ = std::make_unique<KeyboardLightingPage>(kb);
    keyPainter_ = std::make_unique<KeyLightPainter>(host.ui, kKeyboardLightingNames.keyPrefix,
                                                    kKeyboardLightingNames.keyOption);
    mousePreview_ = std::make_unique<PreviewPainter>(host.ui, kMouseLightingNames.previewPrefix,
                                                     kMouseLightingNames.previewControls, false);
    mousepadPreview_ =
        std::make_unique<PreviewPainter>(host.ui, kMousepadLightingNames.previewPrefix,
                                         kMousepadLightingNames.previewControls, true);
}

void LightingPages::addControlRoutes(shell::ControlRouter& router) {
    if (!mouse_) {
        return;
    }
    for (DeviceKind kind : kAllDeviceKinds) {
        router.on(
            "set " + std::string(kindName(kind)) + " lighting",
            [this, kind](std::span<const std::string> rest) { return setLighting(kind, rest); });
    }
}

ControlAnswer LightingPages::setLighting(DeviceKind kind, std::span<const std::string> rest) {
    const bool attached = links_ != nullptr && links_->connected(kind);
    // The keyboard's modes and colour follow its kind, known once it is attached.
    lighting::LightDevice device{kind};
    if (kind == DeviceKind::Keyboard && attached) {
        device.keyboard = keyboardKind();
    }
    std::string error;
    const std::optional<lighting::LightEdit> edit = lighting::parseLightEdit(device, rest, error);
    if (!edit) {
        return ControlAnswer::usage(error);
    }
    if (!attached) {
        return ControlAnswer::failed("no " + std::string(kindName(kind)) +
                                     " is attached to rxt-config");
    }
    switch (kind) {
        case DeviceKind::Mouse:
            mouse_->applyEdit(*edit);
            break;
        case DeviceKind::Mousepad:
            mousepad_->applyEdit(*edit);
            break;
        case DeviceKind::Keyboard:
            keyboard_->applyEdit(*edit);
            break;
    }
    return ControlAnswer::done();
}

void LightingPages::addRoutes(shell::NotifyRouter& router) {
    if (!mouse_) {
        return;
    }
    mouse_->addRoutes(router);
    mousepad_->addRoutes(router);
    keyboard_->addRoutes(router);
    // Each page's same-mode button makes its device the sync's source.
    const std::pair<std::string_view, DeviceKind> sameModes[] = {
        {kMouseLightingNames.sameMode, DeviceKind::Mouse},
        {kMousepadLightingNames.sameMode, DeviceKind::Mousepad},
        {kKeyboardLightingNames.sameMode, DeviceKind::Keyboard},
    };
    for (const auto& [name, kind] : sameModes) {
        router.on(notify::kClick, name,
                  [this, kind](const ui::Notification&, int) { writeBack_->sameMode(kind); });
    }
    // The on-board profile buttons are checkable in the skin ("selectchanged")
    // but may be plain buttons ("click"): both switch.
    auto mouseSwitch = [this](const ui::Notification& n, int index) {
        if (n.type == notify::kClick || n.value != 0) {
            switchOnboard(DeviceKind::Mouse, index);
        }
    };
    router.onIndexed(notify::kClick, kMouseOnboardPrefix, mouseSwitch);
    router.onIndexed(notify::kSelectChanged, kMouseOnboardPrefix, mouseSwitch);
    router.on(notify::kItemSelect, kMousepadOnboardCombo, [this](const ui::Notification& n, int) {
        switchOnboard(DeviceKind::Mousepad, static_cast<int>(n.value));
    });
    router.on(notify::kClick, kMousepadRestoreButton, [this](const ui::Notification&, int) {
        // ResetDevice, then the whole mousepad read again a second later.
        writeBack_->restoreDefaults(DeviceKind::Mousepad);
    });
}

void LightingPages::switchOnboard(DeviceKind kind, int n) {
    writeBack_->switchOnDeviceProfile(kind, n);
    // Whatever the device answered, the controls show its current profile:
    // a refused or unanswered switch puts the old one back.
    showOnboardProfile(kind);
}

void LightingPages::showOnboardProfile(DeviceKind kind) {
    const int index = images_->of(kind).currentIndex();
    const bool valid = index < static_cast<int>(kRecordCount);
    if (kind == DeviceKind::Mousepad) {
        ui_->setCurrentIndex(kMousepadOnboardCombo, valid ? index : -1);
        return;
    }
    for (int i = 0; i < static_cast<int>(kRecordCount); ++i) {
        ui_->setChecked(std::string(kMouseOnboardPrefix) + std::to_string(i), valid && i == index);
    }
}

lighting::LightThreadContext LightingPages::threadContext(DeviceKind kind) {
    lighting::LightThreadContext ctx;
    ctx.link = &(*links_)[kind];
    ctx.images = &images_->of(kind);
    ctx.requests = &requests(kind);
    ctx.timing = options_.timing;
    if (kind == DeviceKind::Mouse) {
        ctx.preview = mousePreview_.get();
    } else {
        ctx.preview = mousepadPreview_.get();
        WriteBack* writeBack = writeBack_;
        ctx.stream = [writeBack](std::span<const uint8_t> frame) {
            return writeBack->streamFrame(DeviceKind::Mousepad, frame);
        };
    }
    return ctx;
}

KeyboardKind LightingPages::keyboardKind() const {
    return keyboardKindOf(images_->keyboardVariant());
}

lighting::KeyboardLightContext LightingPages::keyboardContext() {
    lighting::KeyboardLightContext ctx;
    ctx.link = &(*links_)[DeviceKind::Keyboard];
    ctx.images = &images_->keyboard;
    ctx.requests = &keyboardRequests_;
    ctx.handOffs = &handOffs_;
    DeviceImageSet* images = images_;
    ctx.kind = [images] { return keyboardKindOf(images->keyboardVariant()); };
    ctx.readLayout = [](std::span<uint8_t> out) { keyboardCustomLayouts().copyCurrent(out); };
    WriteBack* writeBack = writeBack_;
    ctx.stream = [writeBack](std::span<const uint8_t> frame) {
        return writeBack->streamFrame(DeviceKind::Keyboard, frame);
    };
    ctx.display = keyPainter_.get();
    ctx.timing = {options_.keyboardStart, options_.timing.absentSleep};
    return ctx;
}

lighting::SyncContext LightingPages::syncContext() {
    lighting::SyncContext ctx;
    ctx.mouse = &(*links_)[DeviceKind::Mouse];
    ctx.mousepad = &(*links_)[DeviceKind::Mousepad];
    ctx.keyboard = &(*links_)[DeviceKind::Keyboard];
    ctx.record = &images_->sharedLightingHead;
    WriteBack* writeBack = writeBack_;
    ctx.streamKeyboard = [writeBack](std::span<const uint8_t> frame) {
        return writeBack->streamFrame(DeviceKind::Keyboard, frame);
    };
    ctx.streamMousepad = [writeBack](std::span<const uint8_t> frame) {
        return writeBack->streamFrame(DeviceKind::Mousepad, frame);
    };
    ctx.mousePreview = mousePreview_.get();
    ctx.mousepadPreview = mousepadPreview_.get();
    ctx.keys = keyPainter_.get();
    return ctx;
}

void LightingPages::claimWorkers(shell::WorkerClaims& claims) {
    if (!mouse_) {
        return;
    }
    mousePreview_->updateVisible();
    mousepadPreview_->updateVisible();
    claims.claim(shell::WorkerSlot::MouseLight,
                 [ctx = threadContext(DeviceKind::Mouse)](StopEvent& stop) {
                     lighting::runMouseLight(ctx, stop);
                     debugLog(shell::workerExitText(shell::WorkerSlot::MouseLight));
                 });
    claims.claim(shell::WorkerSlot::MousepadLight,
                 [ctx = threadContext(DeviceKind::Mousepad)](StopEvent& stop) {
                     lighting::runMousepadLight(ctx, stop);
                     debugLog(shell::workerExitText(shell::WorkerSlot::MousepadLight));
                 });
    claims.claim(shell::WorkerSlot::KeyboardLight, [ctx = keyboardContext()](StopEvent& stop) {
        lighting::runKeyboardLight(ctx, stop);
        debugLog(shell::workerExitText(shell::WorkerSlot::KeyboardLight));
    });
    claims.claim(shell::WorkerSlot::LightSync, [ctx = syncContext()](StopEvent& stop) {
        lighting::runLightSync(ctx, stop);
        debugLog(shell::workerExitText(shell::WorkerSlot::LightSync));
    });
}

void LightingPages::onEvent(const WindowEvent& event) {
    if (!mouse_) {
        return;
    }
    if (std::holds_alternative<event::PagesInit>(event)) {
        mouse_->fillModes();
        mousepad_->fillModes();
        keyboard_->fillModes();
        return;
    }
    if (const auto* click = std::get_if<event::KeyClicked>(&event)) {
        if (click->device == DeviceKind::Keyboard) {
            keyboard_->clickKey(click->control);
        }
        return;
    }
    if (const auto* trigger = std::get_if<event::LightTrigger>(&event)) {
        // The mouse's notification sets off the flash of both devices.
        if (trigger->device == DeviceKind::Mouse) {
            const lighting::Clock::time_point now = lighting::Clock::now();
            mouseRequests_.trigger(now);
            mousepadRequests_.trigger(now);
        }
        return;
    }
    if (const auto* refresh = std::get_if<event::PageRefresh>(&event)) {
        if (refresh->page == Page::MouseMain) {
            mouse_->refresh();
            showOnboardProfile(DeviceKind::Mouse);
            mousePreview_->updateVisible();
        } else if (refresh->page == Page::MousepadLighting) {
            mousepad_->refresh();
            showOnboardProfile(DeviceKind::Mousepad);
            mousepadPreview_->updateVisible();
        } else if (refresh->page == Page::KeyboardLighting) {
            keyboard_->refresh();
        }
    }
}

}  // namespace rxt
