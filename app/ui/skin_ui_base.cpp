#include "app/ui/skin_ui_base.h"

#include <utility>

namespace rxt::ui {

SkinUiBase::SkinUiBase(std::string skinFolder) : folder_(std::move(skinFolder)) {}

bool SkinUiBase::fail(std::string reason) const {
    error_ = std::move(reason);
    return false;
}

// ---- resources and language ---------------------------------------------------

bool SkinUiBase::loadIndex(std::string_view file) {
    SkinIndex index = readSkinIndexFile(skinPath(folder_, file));
    if (!index.error.empty()) {
        return fail(index.error);
    }
    index_ = std::move(index);
    return true;
}

std::string SkinUiBase::resolve(std::string_view resourceOrFile) const {
    const auto it = index_.files.find(resourceOrFile);
    return it == index_.files.end() ? std::string(resourceOrFile) : it->second;
}

bool SkinUiBase::loadLanguage(std::string_view file) {
    LanguageTable table = readLanguageFile(skinPath(folder_, file));
    if (!table.error.empty()) {
        return fail(table.error);
    }
    languageTable_ = std::move(table);
    return true;
}

void SkinUiBase::setLanguage(std::string_view name) {
    language_ = std::string(name);
}

std::string SkinUiBase::translate(std::string_view key) const {
    const auto it = languageTable_.texts.find(key);
    if (it != languageTable_.texts.end()) {
        return it->second;
    }
    if (handler_) {
        if (auto text = handler_->queryControlText(key)) {
            return *text;
        }
    }
    return std::string(key);
}

// ---- the loop, messages and posted calls -------------------------------------

void SkinUiBase::postWindowInitOnce() {
    if (!initSent_) {
        initSent_ = true;
        dispatcher_.post([this] { notify({std::string(notify::kWindowInit), "", 0}); });
    }
}

void SkinUiBase::finishLoop() {
    dispatcher_.close();
    if (handler_) {
        handler_->onFinalMessage();
    }
}

void SkinUiBase::postMessage(int message, intptr_t wParam, intptr_t lParam) {
    dispatcher_.postMessage(handler_, message, wParam, lParam);
}

bool SkinUiBase::sendMessage(int message, intptr_t wParam, intptr_t lParam) {
    return dispatcher_.sendMessage(handler_, message, wParam, lParam);
}

void SkinUiBase::post(std::function<void()> fn) {
    dispatcher_.post(std::move(fn));
}

bool SkinUiBase::send(std::function<void()> fn) {
    return dispatcher_.send(std::move(fn));
}

void SkinUiBase::closeMessages() {
    dispatcher_.close();
}

// ---- scripted dialog answers ----------------------------------------------------

void SkinUiBase::answer(const DialogAnswer& a) {
    answers_.push_back(a);
}

std::optional<DialogAnswer> SkinUiBase::takeAnswer(DialogAnswer::Kind kind) {
    for (auto it = answers_.begin(); it != answers_.end(); ++it) {
        if (it->kind == kind) {
            DialogAnswer a = *it;
            answers_.erase(it);
            return a;
        }
    }
    return std::nullopt;
}

std::optional<int> SkinUiBase::scriptedMessageBox(std::string_view message) {
    shownMessages_.emplace_back(message);
    if (auto a = takeAnswer(DialogAnswer::Kind::Message)) {
        return a->accept ? 1 : 0;
    }
    return std::nullopt;
}

std::optional<PaletteResult> SkinUiBase::scriptedPalette(uint32_t initial) {
    if (auto a = takeAnswer(DialogAnswer::Kind::Palette)) {
        return a->accept ? PaletteResult{1, a->color} : PaletteResult{2, initial};
    }
    return std::nullopt;
}

std::vector<std::string> SkinUiBase::takeShownMessages() {
    std::vector<std::string> out;
    out.swap(shownMessages_);
    return out;
}

void SkinUiBase::setMenuChecked(std::string_view item, bool checked) {
    menuChecks_.insert_or_assign(std::string(item), checked);
}

std::optional<bool> SkinUiBase::menuChecked(std::string_view item) const {
    const auto it = menuChecks_.find(item);
    if (it == menuChecks_.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace rxt::ui
