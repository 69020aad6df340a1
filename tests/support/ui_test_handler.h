#pragma once
// A WindowHandler for UI tests: records notifications, messages and timers,
// answers createControl from a table, and lets a test hook any step.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/ui/skin_ui.h"

namespace rxt::test {

class UiTestHandler : public rxt::ui::WindowHandler {
  public:
    struct Message {
        int id;
        intptr_t wParam;
        intptr_t lParam;
    };

    std::vector<rxt::ui::Notification> notes;
    std::vector<Message> messages;
    std::vector<int> timers;
    std::vector<std::string> offeredClasses;
    std::map<std::string, rxt::ui::ControlCreation> creations;  // class name -> answer
    std::map<std::string, std::string> queryTexts;
    int initCount = 0;
    int finalCount = 0;
    std::function<void(const rxt::ui::Notification&)> onNotify;
    std::function<void(int, intptr_t, intptr_t)> onMessage;

    void initWindow() override { ++initCount; }
    void notify(const rxt::ui::Notification& n) override {
        notes.push_back(n);
        if (onNotify) {
            onNotify(n);
        }
    }
    void handleMessage(int id, intptr_t w, intptr_t l) override {
        messages.push_back({id, w, l});
        if (onMessage) {
            onMessage(id, w, l);
        }
    }
    void onTimer(int id) override { timers.push_back(id); }
    rxt::ui::ControlCreation createControl(std::string_view className) override {
        offeredClasses.emplace_back(className);
        const auto it = creations.find(std::string(className));
        return it == creations.end() ? rxt::ui::ControlCreation::none() : it->second;
    }
    std::optional<std::string> queryControlText(std::string_view key) override {
        const auto it = queryTexts.find(std::string(key));
        if (it == queryTexts.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    void onFinalMessage() override { ++finalCount; }

    // Notifications as "type sender value" lines, for compact expectations.
    std::vector<std::string> noteLines() const {
        std::vector<std::string> out;
        for (const auto& n : notes) {
            out.push_back(n.type + " " + n.sender + " " + std::to_string(n.value));
        }
        return out;
    }

    // The page placeholder of the test skin (the custom controls are the
    // library's own classes).
    void useTestSkinClasses() {
        creations["MS_DPI_UI"] = rxt::ui::ControlCreation::page("XML_DPI");
    }
};

}  // namespace rxt::test
