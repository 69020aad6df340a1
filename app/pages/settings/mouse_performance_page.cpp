#include "app/pages/settings/mouse_performance_page.h"

#include <string>

#include "app/pages/settings/settings_page_names.h"
#include "settings/mouse_performance.h"
#include "settings/performance_edit.h"

namespace rxt {
namespace {

namespace notify = ui::notify;

std::string number(int n) {
    return std::to_string(n);
}

}  // namespace

MousePerformancePage::MousePerformancePage(const MousePerformanceContext& ctx)
    : ctx_(ctx), workers_(*ctx.system) {}

void MousePerformancePage::saveProfiles(bool lightingToo) {
    if (!ctx_.report) {
        return;
    }
    ctx_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Device});
    if (lightingToo) {
        ctx_.report(event::ProfileSave{DeviceKind::Mouse, ProfileKind::Lighting});
    }
}

void MousePerformancePage::changed(bool lightingToo) {
    if (ctx_.writeBack != nullptr) {
        ctx_.writeBack->markPending(DeviceKind::Mouse);
    }
    saveProfiles(lightingToo);
}

void MousePerformancePage::addRoutes(shell::NotifyRouter& router) {
    for (const DpiLevelControls& c : kDpiLevelControls) {
        const int level = c.level;
        router.on(notify::kValueChanged, c.slider, [this, level](const ui::Notification& n, int) {
            setDpi(level, static_cast<int>(n.value));
        });
        router.on(notify::kMoveValueChanged, c.slider,
                  [this, level](const ui::Notification& n, int) {
                      dragDpi(level, static_cast<int>(n.value));
                  });
        router.on(notify::kClick, c.colourButton,
                  [this, level](const ui::Notification&, int) { chooseColour(level); });
        router.on(notify::kSelectChanged, c.activeCheck,
                  [this, level](const ui::Notification& n, int) {
                      // The radio button left behind notifies too.
                      if (n.value != 0 && ctx_.writeBack != nullptr) {
                          ctx_.writeBack->setActiveDpiLevel(level);
                      }
                  });
    }
    router.on(notify::kItemSelect, kReportRateCombo, [this](const ui::Notification& n, int) {
        if (n.value >= 0 && n.value <= 0xFF) {
            setReportRate(static_cast<int>(n.value));
        }
    });
    router.on(notify::kValueChanged, kDebounceSlider,
              [this](const ui::Notification& n, int) { setDebounce(static_cast<int>(n.value)); });
    router.on(notify::kMoveValueChanged, kDebounceSlider, [this](const ui::Notification& n, int) {
        ctx_.ui->setText(kDebounceLabel, number(perf::debounceShown(static_cast<int>(n.value))));
    });
    router.on(notify::kSelectChanged, kLiftOffCheck, [this](const ui::Notification& n, int) {
        mouse().current.set(rec::kLiftOffOn, n.value != 0 ? 1 : 0);
        changed(true);
    });
    router.on(notify::kSelectChanged, kHeight2mmOption, [this](const ui::Notification& n, int) {
        if (n.value != 0) {
            setHeight(perf::kHeight2mm);
        }
    });
    router.on(notify::kSelectChanged, kHeight3mmOption, [this](const ui::Notification& n, int) {
        if (n.value != 0) {
            setHeight(perf::kHeight3mm);
        }
    });
    router.on(notify::kItemSelect, kHeightCombo, [this](const ui::Notification& n, int) {
        if (n.value >= 0 && n.value <= 0xFF) {
            setHeight(static_cast<uint8_t>(n.value));
        }
    });
    router.on(notify::kValueChanged, kPointerSpeedSlider, [this](const ui::Notification& n, int) {
        setPointerSlider(static_cast<int>(n.value));
    });
    router.on(notify::kClick, kWheelUpButton, [this](const ui::Notification&, int) {
        setWheelLines(perf::wheelUp(perf::wheelEditValue(ctx_.ui->text(kWheelLinesEdit))));
    });
    router.on(notify::kClick, kWheelDownButton, [this](const ui::Notification&, int) {
        setWheelLines(perf::wheelDown(perf::wheelEditValue(ctx_.ui->text(kWheelLinesEdit))));
    });
    router.on(notify::kKillFocus, kWheelLinesEdit, [this](const ui::Notification&, int) {
        const std::string text = ctx_.ui->text(kWheelLinesEdit);
        const int typed = perf::wheelEditValue(text);
        // Text that is no number gives the lines back as they were.
        const bool numeric = text.find_first_of("0123456789") != std::string::npos;
        const int lines = numeric ? clampWheelLines(typed) : ctx_.host->wheelLines.load();
        if (lines == ctx_.host->wheelLines.load()) {
            ctx_.ui->setText(kWheelLinesEdit, number(lines));
            return;
        }
        setWheelLines(lines);
    });
    router.on(notify::kClick, kMouseRestoreButton, [this](const ui::Notification&, int) {
        ctx_.host->pointerSpeed.store(kMouseDefaultPointerSpeed);
        workers_.setPointerSpeed(kMouseDefaultPointerSpeed, ctx_.host->pointerSpeed);
        ctx_.host->wheelLines.store(kMouseDefaultWheelLines);
        workers_.setWheelLines(kMouseDefaultWheelLines);
        // Shows slider and lines through the window's events, then resets.
        if (ctx_.writeBack != nullptr) {
            ctx_.writeBack->restoreDefaults(DeviceKind::Mouse);
        }
    });
}

void MousePerformancePage::setDpi(int level, int position) {
    position = perf::clampDpiPosition(position);
    perf::storePerformanceEdit(mouse(), {perf::PerformanceField::Dpi, level, position});
    ctx_.ui->setText(kDpiLevelControls[static_cast<size_t>(level - 1)].valueLabel,
                     number(perf::dpiOfPosition(position)));
    changed(true);
}

void MousePerformancePage::applyEdit(const perf::PerformanceEdit& edit) {
    ui::SkinUi& ui = *ctx_.ui;
    switch (edit.field) {
        case perf::PerformanceField::Dpi:
            if (edit.level >= 1 && edit.level <= perf::kDpiLevels) {
                ui.setValue(kDpiLevelControls[static_cast<size_t>(edit.level - 1)].slider,
                            edit.position);
                setDpi(edit.level, edit.position);
            }
            break;
        case perf::PerformanceField::ActiveDpi:
            for (const DpiLevelControls& c : kDpiLevelControls) {
                ui.setChecked(c.activeCheck, c.level == edit.level);
            }
            if (ctx_.writeBack != nullptr) {
                ctx_.writeBack->setActiveDpiLevel(edit.level);
            }
            break;
        case perf::PerformanceField::ReportRate:
            ui.setCurrentIndex(kReportRateCombo, edit.position);
            setReportRate(edit.position);
            break;
        case perf::PerformanceField::Debounce:
            ui.setValue(kDebounceSlider, edit.position);
            setDebounce(edit.position);
            break;
    }
}

void MousePerformancePage::setReportRate(int index) {
    perf::storePerformanceEdit(mouse(), {perf::PerformanceField::ReportRate, 0, index});
    changed(true);
}

void MousePerformancePage::setDebounce(int position) {
    position = perf::clampDebouncePosition(position);
    perf::storePerformanceEdit(mouse(), {perf::PerformanceField::Debounce, 0, position});
    ctx_.ui->setText(kDebounceLabel, number(perf::debounceShown(position)));
    changed(true);
}

void MousePerformancePage::dragDpi(int level, int position) {
    ctx_.ui->setText(kDpiLevelControls[static_cast<size_t>(level - 1)].valueLabel,
                     number(perf::dragDpi(mouse(), position)));
}

void MousePerformancePage::chooseColour(int level) {
    const DpiLevelControls& c = kDpiLevelControls[static_cast<size_t>(level - 1)];
    const ui::PaletteResult chosen = ctx_.ui->paletteDialog(perf::dpiColour(mouse(), level));
    if (chosen.code != 1) {
        return;
    }
    const uint32_t opaque = 0xFF000000u | chosen.color;
    ctx_.ui->setBackgroundColor(c.colourButton, opaque);
    perf::setDpiColour(mouse(), level, opaque);
    changed(false);
}

void MousePerformancePage::showHeight(uint8_t height) {
    // The two options and the combo show the one byte.
    ctx_.ui->setChecked(kHeight2mmOption, height == perf::kHeight2mm);
    ctx_.ui->setChecked(kHeight3mmOption, height == perf::kHeight3mm);
    ctx_.ui->setCurrentIndex(kHeightCombo, height < ctx_.ui->itemCount(kHeightCombo) ? height : -1);
}

void MousePerformancePage::setHeight(uint8_t height) {
    mouse().current.set(rec::kLiftOffHeight, height);
    showHeight(height);
    changed(true);
}

void MousePerformancePage::setPointerSlider(int position) {
    const int speed = clampPointerSpeed(perf::pointerSpeedOfSlider(position));
    // Stored before the save, so the profile carries this speed, not the
    // one the worker has yet to replace.
    ctx_.host->pointerSpeed.store(speed);
    workers_.setPointerSpeed(speed, ctx_.host->pointerSpeed);
    saveProfiles(true);
}

void MousePerformancePage::setWheelLines(int lines) {
    lines = clampWheelLines(lines);
    ctx_.ui->setText(kWheelLinesEdit, number(lines));
    // Kept for the profiles as well: they carry it in byte 53.
    ctx_.host->wheelLines.store(lines);
    workers_.setWheelLines(lines);
    saveProfiles(true);
}

void MousePerformancePage::showWheelNote() {
    ctx_.ui->setVisible(kWheelLinesNote, !ctx_.system->appliesWheelLines());
}

void MousePerformancePage::refresh() {
    ui::SkinUi& ui = *ctx_.ui;
    DeviceImages& m = mouse();
    const std::optional<perf::SensorLimits> limits = perf::applySensorLimits(m);
    const perf::PerformanceView view = perf::performanceView(m);
    ui.setCurrentIndex(kReportRateCombo, view.reportRateIndex);
    for (const DpiLevelControls& c : kDpiLevelControls) {
        if (limits) {
            ui.setText(c.minLabel, limits->minLabel);
            ui.setText(c.maxLabel, limits->maxLabel);
        }
        const perf::PerformanceView::Level& level = view.levels[static_cast<size_t>(c.level - 1)];
        ui.setRange(c.slider, 0, perf::kDpiMaxPosition);
        ui.setValue(c.slider, level.position);
        ui.setText(c.valueLabel, number(level.dpi));
        ui.setBackgroundColor(c.colourButton, level.colour);
    }
    ui.setValue(kDebounceSlider, perf::debouncePosition(m.current.get(rec::kDebounce)));
    ui.setText(kDebounceLabel, number(view.debounceMs));
    if (view.activeLevel != 0) {
        for (const DpiLevelControls& c : kDpiLevelControls) {
            ui.setChecked(c.activeCheck, c.level == view.activeLevel);
        }
    }
    ui.setChecked(kLiftOffCheck, view.liftOff);
    showHeight(static_cast<uint8_t>(view.liftOffHeight));
}

}  // namespace rxt
