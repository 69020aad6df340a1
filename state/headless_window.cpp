#include "state/headless_window.h"

#include "state/window_messages.h"

namespace rxt {

HeadlessWindow::HeadlessWindow(std::shared_ptr<HidBackend> backend, DeviceImageSet& images,
                               UiReactions& view)
    : images_(images),
      view_(view),
      links_(std::move(backend)),
      writeBack_(links_, images_, *this),
      events_(links_, images_, *this, writeBack_),
      context_{links_, images_, *this, waker_, {}, {}},
      workers_(context_) {
    loop_.setTimerHandler([this](int id) { onTimer(id); });
}

HeadlessWindow::~HeadlessWindow() {
    stop(std::chrono::milliseconds(10000));
}

void HeadlessWindow::start(bool watchBus) {
    links_.assignIdentities();
    loop_.start();
    startTimer(kTimerWriteBack, kWriteBackPeriodMs);
    startTimer(kTimerKeyboardRead, kStartReadDelayMs);
    startTimer(kTimerMousepadRead, kStartReadDelayMs);
    workers_.start(watchBus);
}

bool HeadlessWindow::stop(std::chrono::milliseconds bound) {
    workers_.requestStop();
    // The loop goes first: a listener waiting for a sent message is released
    // by it rather than held until the message's re-read is done.
    loop_.stop();
    return workers_.join(bound);
}

void HeadlessWindow::onTimer(int id) {
    if (id != kTimerWriteBack) {
        loop_.stopTimer(id);  // every other timer of the window is one-shot
    }
    events_.onTimer(id);
}

void HeadlessWindow::report(const WindowEvent& event) {
    view_.report(event);
}
void HeadlessWindow::showWindow(bool visible) {
    view_.showWindow(visible);
}

void HeadlessWindow::startTimer(int id, int periodMs) {
    view_.startTimer(id, periodMs);
    loop_.startTimer(id, std::chrono::milliseconds(periodMs));
}

void HeadlessWindow::postMessage(int message) {
    view_.postMessage(message);
    loop_.post([this, message] { events_.onMessage(message); });
}

void HeadlessWindow::sendMessage(int message) {
    view_.sendMessage(message);
    loop_.send([this, message] { events_.onMessage(message); });
}

void HeadlessWindow::postActivation() {
    view_.postActivation();
}
void HeadlessWindow::showMessageBox(std::string_view textKey) {
    view_.showMessageBox(textKey);
}
}  // namespace rxt
