#pragma once
// What both SkinUi implementations do alike, without the toolkit: the skin
// folder and its resource index, the language table behind translate(), the
// messages and calls marshalled to the UI thread through one dispatcher, the
// first show's "windowinit", and the queue of scripted dialog answers.

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/skin_resources.h"
#include "app/ui/skin_ui.h"
#include "app/ui/ui_dispatcher.h"

namespace rxt::ui {

class SkinUiBase : public SkinUi {
  public:
    explicit SkinUiBase(std::string skinFolder);

    const std::string& skinFolder() const override { return folder_; }
    bool loadIndex(std::string_view file) override;
    std::string resolve(std::string_view resourceOrFile) const override;
    std::string lastError() const override { return error_; }

    bool loadLanguage(std::string_view file) override;
    void setLanguage(std::string_view name) override;
    std::string language() const override { return language_; }
    std::string translate(std::string_view key) const override;
    // Rows of lists and combos whose user data is a key of the language
    // table show its text, refreshed with the other texts on a language switch.
    bool isLanguageKey(std::string_view key) const {
        return languageTable_.texts.find(key) != languageTable_.texts.end();
    }

    void postMessage(int message, intptr_t wParam, intptr_t lParam) override;
    bool sendMessage(int message, intptr_t wParam, intptr_t lParam) override;
    void post(std::function<void()> fn) override;
    bool send(std::function<void()> fn) override;
    bool onUiThread() const override { return dispatcher_.onUiThread(); }
    void closeMessages() override;

    void setMenuChecked(std::string_view item, bool checked) override;
    std::optional<bool> menuChecked(std::string_view item) const override;
    void startHidden() override { postWindowInitOnce(); }

    void answer(const DialogAnswer& answer) override;
    std::vector<std::string> takeShownMessages() override;

  protected:
    // Sets lastError(); returns false, for `return fail(...)`.
    bool fail(std::string reason) const;
    const SkinIndex& skinIndex() const { return index_; }
    // Posts "windowinit" the first time only.
    void postWindowInitOnce();
    // After the message loop: queued work is dropped, the handler is told.
    void finishLoop();

    // The first queued answer of that kind, taken off the queue.
    std::optional<DialogAnswer> takeAnswer(DialogAnswer::Kind kind);
    // Counts the message as shown; its scripted result (1 or 0), if queued.
    std::optional<int> scriptedMessageBox(std::string_view message);
    std::optional<PaletteResult> scriptedPalette(uint32_t initial);

    WindowHandler* handler_ = nullptr;
    UiDispatcher dispatcher_;

  private:
    std::string folder_;
    mutable std::string error_;
    SkinIndex index_;
    LanguageTable languageTable_;
    std::string language_;
    bool initSent_ = false;
    std::deque<DialogAnswer> answers_;
    std::vector<std::string> shownMessages_;
    std::map<std::string, bool, std::less<>> menuChecks_;
};

}  // namespace rxt::ui
