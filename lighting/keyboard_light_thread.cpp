#include "lighting/keyboard_light_thread.h"

#include <algorithm>

namespace rxt::lighting {
namespace {

using std::chrono::milliseconds;

bool pause(StopEvent& stop, milliseconds ms) {
    return stop.waitFor(ms);
}

Rgb wheel(unsigned position) {
    return kColourWheel[position % kColourWheel.size()];
}

void putKey(std::array<uint8_t, kFullColourFrameBytes>& frame, size_t at, Rgb c) {
    frame[3 * at] = c.r;
    frame[3 * at + 1] = c.g;
    frame[3 * at + 2] = c.b;
}

// Every LED of every member the one colour; the keyboard by key index.
void fillAll(SyncFrames& f, SyncMembers m, Rgb c) {
    if (m.keyboard) {
        for (size_t k = 0; k < kKeyCount; ++k) {
            putKey(f.keyboard, k, c);
        }
    }
    if (m.mouse) {
        for (size_t i = 0; i < kMouseControls; ++i) {
            f.mouse.set(i, c, 255);
        }
    }
    if (m.mousepad) {
        for (size_t i = 0; i < kMousepadLeds; ++i) {
            f.mousepad.set(i, c);
        }
    }
}

void syncWave(SyncState& s, const LightSettings& set, SyncMembers m, SyncFrames& f) {
    const unsigned factor = set.factor();
    const uint8_t p = step(s.position, set.up, set.colourful ? 192 : 96);
    for (size_t c = 0; c < kMatrixColumns; ++c) {
        const Rgb colour = set.colourful
                               ? scale(wheel(p + 7 * c), factor)
                               : scale(scale(set.colour, factor), kBreathCurve[(p + 10 * c) % 96]);
        if (m.keyboard) {
            for (size_t r = 0; r < kMatrixRows; ++r) {
                const uint8_t key = matrixKey(c, r);
                if (key < kKeyCount && kFullColourKeyMap[key] != kNoKey) {
                    putKey(f.keyboard, kFullColourKeyMap[key], colour);
                }
            }
        }
        if (m.mouse && c < 7) {
            for (uint8_t i : kMouseLedGroups[c]) {
                f.mouse.set(i, colour, 255);
            }
        }
        if (m.mousepad && c < kMousepadLeds) {
            f.mousepad.set(c, colour);
        }
    }
}

// What the key controls show of a sync frame: its colours at full level.
KeyDisplay displayOfSync(const std::array<uint8_t, kFullColourFrameBytes>& frame) {
    KeyLights lights{};
    for (size_t k = 0; k < kKeyCount; ++k) {
        const uint8_t at = kFullColourKeyMap[k];
        if (at != kNoKey) {
            lights[k] = {{frame[3u * at], frame[3u * at + 1], frame[3u * at + 2]}, 255};
        }
    }
    return keyDisplayOf(KeyboardKind::FullColour, lights);
}

}  // namespace

milliseconds keyboardDelay(uint8_t mode, uint8_t speed) {
    const size_t row = std::min<size_t>(mode, kKeyboardDelays.size() - 1);
    return milliseconds(kKeyboardDelays[row][std::min<size_t>(speed, kDelayRowLength - 1)]);
}

void keyboardLightFrame(const KeyboardLightContext& ctx, KeyboardEffectState& state) {
    const KeyboardKind kind = ctx.kind ? ctx.kind() : KeyboardKind::FullColour;
    const LightSettings settings = LightSettings::of(*ctx.images);
    if (ctx.requests != nullptr && ctx.requests->take().reset) {
        keyboardReset(kind, settings.mode, state);
    }
    if (ctx.handOffs != nullptr) {
        ctx.handOffs->take([&](uint8_t key) { handOffKey(state, key); });
    }
    std::array<uint8_t, kFullColourFrameBytes> layout{};
    if (ctx.readLayout) {
        ctx.readLayout(layout);
    }
    const KeyboardFrameResult result = keyboardFrame(kind, state, settings, layout);
    if (result.cycleAdvanced) {
        ctx.images->current.set(rec::kPreviewCycle, result.cycle);
    }
    // A failed frame is not sent again; the next one goes on.
    if (ctx.stream) {
        if (kind == KeyboardKind::FullColour) {
            const auto frame = fullColourFrame(state.lights);
            ctx.stream(frame);
        } else {
            const auto frame = singleColourFrame(state.lights);
            ctx.stream(frame);
        }
    }
    if (ctx.display != nullptr) {
        ctx.display->showKeys(keyDisplayOf(kind, state.lights));
    }
    ++state.frameCounter;
}

void runKeyboardLight(const KeyboardLightContext& ctx, StopEvent& stop) {
    if (pause(stop, ctx.timing.startDelay)) {
        return;
    }
    KeyboardEffectState state;
    PassPacer pacer;
    for (;;) {
        const uint8_t mode = ctx.images->current.get(rec::kLightMode);
        const uint8_t speed = ctx.images->current.get(rec::kSpeed);
        // The pass's wait for the stop event is its pace.
        if (pacer.sleep(stop, keyboardDelay(mode, speed))) {
            return;
        }
        if (!ctx.link->connected()) {
            if (sleepWhileAbsent(*ctx.link, stop, ctx.timing.absentSleep)) {
                return;
            }
            continue;
        }
        if (ctx.link->inLightSync()) {
            continue;
        }
        const KeyboardKind kind = ctx.kind ? ctx.kind() : KeyboardKind::FullColour;
        if (pause(stop, keyboardExtraPause(kind, mode))) {
            return;
        }
        keyboardLightFrame(ctx, state);
    }
}

LightSettings syncSettings(const ByteImage<kLightingHeadSize>& record) {
    LightSettings s;
    s.mode = record.get(0);
    s.brightness = record.get(1);
    s.speed = record.get(2);
    s.up = record.get(3) != 0;
    s.colourful = record.get(4) != 0;
    s.colour = {record.get(5), record.get(6), record.get(7)};
    return s;
}

SyncFrames syncFrame(SyncState& state, const LightSettings& set, SyncMembers members) {
    SyncFrames f;
    const unsigned factor = set.factor();
    switch (set.mode) {
        case 0:
            syncWave(state, set, members, f);
            break;
        case 1:
            fillAll(f, members, scale(wheel(step(state.position, set.up, 192)), factor));
            break;
        case 2: {
            const uint8_t p = step(state.position, set.up, 128);
            const Rgb c = set.colourful ? wheel(p) : set.colour;
            fillAll(f, members, scale(c, factor * kFadeCurve[p] / 256));
            break;
        }
        case 3:
            fillAll(f, members, scale(set.colour, factor));
            break;
        default:
            break;
    }
    f.mousepad.sendSize = members.mousepad ? kMousepadColourBytes : 0;
    return f;
}

bool lightSyncPass(const SyncContext& ctx, SyncState& state, StopEvent& stop) {
    const LightSettings settings = syncSettings(*ctx.record);
    if (settings.mode > 3) {
        return false;
    }
    const SyncMembers m{ctx.keyboard->inLightSync(), ctx.mouse->inLightSync(),
                        ctx.mousepad->inLightSync()};
    const SyncFrames f = syncFrame(state, settings, m);
    if (m.mouse) {
        if (ctx.mousePreview != nullptr) {
            // As the mouse's own routines: only the controls on screen.
            PreviewFrame shown = f.mouse;
            shown.touched &= ctx.mousePreview->visibleControls();
            ctx.mousePreview->show(shown);
        }
    } else if (pause(stop, milliseconds(1))) {
        return true;
    }
    if (m.keyboard) {
        if (ctx.streamKeyboard) {
            ctx.streamKeyboard(f.keyboard);
        }
        if (ctx.keys != nullptr) {
            ctx.keys->showKeys(displayOfSync(f.keyboard));
        }
    } else {
        constexpr std::array<uint8_t, 4> idle{6, 9, 8, 6};
        if (pause(stop, milliseconds(idle[settings.mode]))) {
            return true;
        }
    }
    if (m.mousepad) {
        const auto bytes = f.mousepad.bytes();
        if (ctx.streamMousepad) {
            ctx.streamMousepad(std::span<const uint8_t>(bytes).first(kMousepadColourBytes));
        }
        if (ctx.mousepadPreview != nullptr) {
            ctx.mousepadPreview->show(f.mousepad.preview());
        }
    } else if (pause(stop, milliseconds(1))) {
        return true;
    }
    const unsigned tail = settings.mode == 1 ? 6 : settings.mode == 3 ? 5 : 0;
    return pause(stop, milliseconds(tail));
}

void runLightSync(const SyncContext& ctx, StopEvent& stop) {
    SyncState state;
    for (;;) {
        if (pause(stop, milliseconds(4 * std::min<unsigned>(ctx.record->get(2), 255)))) {
            return;
        }
        if (pause(stop, milliseconds(1))) {
            return;
        }
        if (!ctx.mouse->connected() && !ctx.mousepad->connected() && !ctx.keyboard->connected()) {
            if (pause(stop, ctx.idleSleep)) {
                return;
            }
            continue;
        }
        auto inSync = [&ctx] {
            return ctx.mouse->inLightSync() || ctx.mousepad->inLightSync() ||
                   ctx.keyboard->inLightSync();
        };
        // Outside the sync the thread sleeps until a device enters it: its
        // 1 ms pace alone cost 2% of a core with nothing to stream.
        if (!inSync()) {
            if (sleepUntil(stop, {ctx.mouse, ctx.mousepad, ctx.keyboard}, inSync, ctx.idleSleep)) {
                return;
            }
            continue;
        }
        if (lightSyncPass(ctx, state, stop)) {
            return;
        }
    }
}

}  // namespace rxt::lighting
