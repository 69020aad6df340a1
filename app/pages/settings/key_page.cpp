#include "app/pages/settings/key_page.h"

#include <string>

#include "macro/cursor_schemes.h"
#include "platform/debug_log.h"
#include "settings/assignment_labels.h"
#include "settings/macro_deletion.h"

namespace rxt {
namespace {

namespace notify = ui::notify;

// The widget property that holds a control's tooltip.
constexpr std::string_view kToolTipAttribute = "toolTip";

std::string indexed(std::string_view prefix, int n) {
    return std::string(prefix) + std::to_string(n);
}

template <class Rows>
void fillRows(ui::SkinUi& ui, std::string_view combo, const Rows& rows) {
    ui.clearItems(combo);
    for (const FunctionRow& r : rows) {
        ui.addItem(combo, {ui.translate(r.name), std::string(r.name)});
    }
}

template <class Texts>
void fillTexts(ui::SkinUi& ui, std::string_view combo, const Texts& texts) {
    ui.clearItems(combo);
    for (std::string_view t : texts) {
        ui.addItem(combo, {ui.translate(t), std::string(t)});
    }
}

int editNumber(ui::SkinUi& ui, std::string_view name, PanelEdit edit) {
    return clampPanelEdit(edit, ui.text(name));
}

}  // namespace

KeyPage::KeyPage(const KeyPageNames& names, const KeyPageContext& ctx) : names_(names), ctx_(ctx) {}

int KeyPage::entryOf(int control) const {
    if (device() == DeviceKind::Mouse) {
        return control >= 0 && control < kMouseButtons ? control : -1;
    }
    if (!ctx_.keyPosition) {
        return -1;
    }
    const int position = ctx_.keyPosition(control);
    return position >= 0 && position < static_cast<int>(kMaxKeyboardKeys) ? position : -1;
}

std::vector<int> KeyPage::controls() const {
    std::vector<int> out;
    const int count = device() == DeviceKind::Mouse ? kMouseButtons : 126;
    for (int c = 0; c < count; ++c) {
        if (entryOf(c) >= 0 && ctx_.ui->hasControl(indexed(names_.keyPrefix, c))) {
            out.push_back(c);
        }
    }
    return out;
}

void KeyPage::addRoutes(shell::NotifyRouter& router) {
    ui::SkinUi& ui = *ctx_.ui;
    if (device() == DeviceKind::Mouse) {
        router.onIndexed(notify::kSelectChanged, names_.keyPrefix,
                         [this](const ui::Notification& n, int index) {
                             if (n.value != 0) {
                                 select(index);
                             }
                         });
        for (const ButtonPicture& pic : kMouseButtonPictures) {
            router.on(ui::notify::kMouseEnter, pic.control,
                      [&ui, &pic](const ui::Notification&, int) {
                          ui.setBackgroundImage(pic.control, pic.hover);
                      });
            router.on(ui::notify::kMouseLeave, pic.control,
                      [&ui, &pic](const ui::Notification&, int) {
                          ui.setBackgroundImage(pic.control, pic.normal);
                      });
        }
    } else {
        // On the key page a key opens its function; on the lighting page the
        // same click paints it: that page takes it from the event.
        router.onIndexed(notify::kClick, names_.keyPrefix,
                         [this, &ui](const ui::Notification&, int index) {
                             if (!ui.checked(names_.optionTab)) {
                                 if (ctx_.report) {
                                     ctx_.report(event::KeyClicked{device(), index});
                                 }
                                 return;
                             }
                             ui.setVisible(names_.panel, true);
                             ui.setEnabled(names_.panel, true);
                             select(index);
                         });
    }
    router.on(notify::kItemSelect, names_.chooser,
              [this](const ui::Notification& n, int) { chooseRow(static_cast<int>(n.value)); });
    for (std::string_view combo :
         {names_.buttonCombo, names_.horizontalCombo, names_.verticalCombo, names_.dpiCombo,
          names_.mediaCombo, names_.systemCombo, names_.macroCombo, names_.playModeCombo,
          names_.gunCombo, names_.shortcutCombo}) {
        if (combo.empty()) {
            continue;
        }
        router.on(notify::kItemSelect, combo, [this](const ui::Notification&, int) { apply(); });
    }
    const std::pair<std::string_view, PanelEdit> edits[] = {
        {names_.fireFirstEdit, PanelEdit::FireFirst},
        {names_.fireSecondEdit, PanelEdit::FireSecond},
        {names_.horizontalDistanceEdit, PanelEdit::HorizontalDistance},
        {names_.verticalDistanceEdit, PanelEdit::VerticalDistance},
        {names_.horizontalHighEdit, PanelEdit::HorizontalHigh},
        {names_.verticalHighEdit, PanelEdit::VerticalHigh},
        {names_.verticalLowEdit, PanelEdit::VerticalLow},
        {names_.horizontalLowEdit, PanelEdit::HorizontalLow},
        {names_.countEdit, PanelEdit::MacroCount},
    };
    for (const auto& [name, edit] : edits) {
        router.on(notify::kTextChanged, name,
                  [this, name = name, edit = edit](const ui::Notification&, int) {
                      editChanged(edit, name);
                  });
    }
    router.on(notify::kClick, names_.saveButton, [this](const ui::Notification&, int) { apply(); });
    router.on(notify::kClick, names_.defaultButton,
              [this](const ui::Notification&, int) { setDefault(); });
    router.on(notify::kClick, names_.applyButton,
              [this](const ui::Notification&, int) { applyUpload(); });
}

void KeyPage::applyUpload() {
    installCapture(false);
    if (ctx_.writeBack != nullptr) {
        ctx_.writeBack->uploadSequence(device());
    }
}

void KeyPage::fillChoosers() {
    ui::SkinUi& ui = *ctx_.ui;
    ui.clearItems(names_.chooser);
    for (PanelFunction f : chooserRows(device())) {
        const std::string_view key = kFunctionRowTexts[static_cast<size_t>(f)];
        ui.addItem(names_.chooser, {ui.translate(key), std::string(key)});
    }
    fillRows(ui, names_.buttonCombo, kButtonFunctionRows);
    fillTexts(ui, names_.horizontalCombo, kHorizontalDirectionTexts);
    fillTexts(ui, names_.verticalCombo, kVerticalDirectionTexts);
    fillRows(ui, names_.dpiCombo, kDpiStepRows);
    fillRows(ui, names_.mediaCombo, kMultimediaRows);
    fillRows(ui, names_.systemCombo, kSystemRows);
    fillTexts(ui, names_.playModeCombo, kPlayModeTexts);
    if (!names_.gunCombo.empty()) {
        fillRows(ui, names_.gunCombo, kGunSchemeRows);
    }
    fillRows(ui, names_.shortcutCombo, kShortcutRows);
    if (device() == DeviceKind::Mouse) {
        for (const ButtonPicture& pic : kMouseButtonPictures) {
            ui.setBackgroundImage(pic.control, pic.normal);
        }
        ensureCursorSchemes(catalogue(), ctx_.defaultsFolder);
    }
    refreshMacros();
}

void KeyPage::refreshMacros() {
    ui::SkinUi& ui = *ctx_.ui;
    const int kept = ui.currentIndex(names_.macroCombo);
    ui.clearItems(names_.macroCombo);
    for (const std::string& name : catalogue().LoadCatalogue()) {
        ui.addItem(names_.macroCombo, {name, name});
    }
    ui.setCurrentIndex(names_.macroCombo, kept < ui.itemCount(names_.macroCombo) ? kept : -1);
    refreshLabels();
}

std::string KeyPage::labelText(const std::optional<AssignmentLabel>& label) const {
    if (!label) {
        return {};
    }
    if (label->verbatim) {
        return *label->verbatim;
    }
    std::string text;
    for (const std::string& k : label->keys) {
        text += (text.empty() ? "" : "+") + ctx_.ui->translate(k);
    }
    return text;
}

void KeyPage::refreshLabels() {
    ui::SkinUi& ui = *ctx_.ui;
    const std::vector<int> shown = controls();
    std::vector<size_t> entries;
    for (int c : shown) {
        entries.push_back(static_cast<size_t>(entryOf(c)));
    }
    const std::vector<ButtonLabel> labels =
        rxt::refreshLabels(images(), entries, catalogue().LoadCatalogue());
    for (size_t i = 0; i < shown.size(); ++i) {
        const std::string control = indexed(names_.keyPrefix, shown[i]);
        const ButtonLabel& l = labels[i];
        if (!l.label) {
            continue;  // left as it is
        }
        const std::string text = labelText(l.label);
        std::string tip = text;
        if (l.defaultLabel) {
            tip = labelText(l.defaultLabel) + " " + ui.translate(kKeySetText) + " " + text;
        }
        if (device() == DeviceKind::Mouse) {
            ui.setText(control, text);
        }
        ui.setAttribute(control, kToolTipAttribute, tip);
    }
}

void KeyPage::select(int control) {
    const int entry = entryOf(control);
    if (entry < 0) {
        return;
    }
    selected_ = control;
    // The macro pages may have changed the catalogue.
    refreshMacros();
    const SelectOutcome outcome =
        selectButton(images(), static_cast<size_t>(entry), catalogue().ReadCount(), panel_);
    show();
    ctx_.ui->setEnabled(names_.panel, panel_.enabled);
    if (outcome == SelectOutcome::OnlyLeftClick) {
        installCapture(false);
        ctx_.ui->messageBox("", kMessageOnlyLeftClick, true);
        return;
    }
    installCapture(panel_.captureHook);
}

void KeyPage::showRowPanel() {
    const int rows = static_cast<int>(chooserRows(device()).size());
    for (int r = 0; r < rows; ++r) {
        ctx_.ui->setVisible(indexed(names_.rowPanelPrefix, r), r == panel_.chooser);
    }
}

void KeyPage::show() {
    ui::SkinUi& ui = *ctx_.ui;
    showing_ = true;
    const FunctionPanelState& p = panel_;
    ui.setCurrentIndex(names_.chooser, p.chooser);
    showRowPanel();
    ui.setCurrentIndex(names_.buttonCombo, p.buttonRow);
    ui.setCurrentIndex(names_.horizontalCombo, p.horizontal.direction);
    ui.setText(names_.horizontalHighEdit, std::to_string(p.horizontal.high));
    ui.setText(names_.horizontalLowEdit, std::to_string(p.horizontal.low));
    ui.setText(names_.horizontalDistanceEdit, std::to_string(p.horizontal.distance));
    ui.setCurrentIndex(names_.verticalCombo, p.vertical.direction);
    ui.setText(names_.verticalHighEdit, std::to_string(p.vertical.high));
    ui.setText(names_.verticalLowEdit, std::to_string(p.vertical.low));
    ui.setText(names_.verticalDistanceEdit, std::to_string(p.vertical.distance));
    ui.setCurrentIndex(names_.dpiCombo, p.dpiRow);
    ui.setText(names_.fireFirstEdit, std::to_string(p.fireFirst));
    ui.setText(names_.fireSecondEdit, std::to_string(p.fireSecond));
    ui.setText(names_.captureEdit, p.captureName.empty() ? "" : ui.translate(p.captureName));
    ui.setCurrentIndex(names_.mediaCombo, p.multimediaRow);
    ui.setCurrentIndex(names_.systemCombo, p.systemRow);
    ui.setCurrentIndex(names_.macroCombo,
                       p.macroRow < ui.itemCount(names_.macroCombo) ? p.macroRow : -1);
    ui.setCurrentIndex(names_.playModeCombo, p.playMode);
    ui.setText(names_.countEdit, std::to_string(p.count));
    if (!names_.gunCombo.empty()) {
        ui.setCurrentIndex(names_.gunCombo, p.gunRow);
    }
    ui.setCurrentIndex(names_.shortcutCombo, p.shortcutRow);
    showing_ = false;
}

void KeyPage::read() {
    ui::SkinUi& ui = *ctx_.ui;
    FunctionPanelState& p = panel_;
    p.chooser = ui.currentIndex(names_.chooser);
    p.buttonRow = ui.currentIndex(names_.buttonCombo);
    p.horizontal = {editNumber(ui, names_.horizontalHighEdit, PanelEdit::HorizontalHigh),
                    editNumber(ui, names_.horizontalLowEdit, PanelEdit::HorizontalLow),
                    editNumber(ui, names_.horizontalDistanceEdit, PanelEdit::HorizontalDistance),
                    ui.currentIndex(names_.horizontalCombo)};
    p.vertical = {editNumber(ui, names_.verticalHighEdit, PanelEdit::VerticalHigh),
                  editNumber(ui, names_.verticalLowEdit, PanelEdit::VerticalLow),
                  editNumber(ui, names_.verticalDistanceEdit, PanelEdit::VerticalDistance),
                  ui.currentIndex(names_.verticalCombo)};
    p.dpiRow = ui.currentIndex(names_.dpiCombo);
    p.fireFirst = editNumber(ui, names_.fireFirstEdit, PanelEdit::FireFirst);
    p.fireSecond = editNumber(ui, names_.fireSecondEdit, PanelEdit::FireSecond);
    p.multimediaRow = ui.currentIndex(names_.mediaCombo);
    p.systemRow = ui.currentIndex(names_.systemCombo);
    p.macroRow = ui.currentIndex(names_.macroCombo);
    p.playMode = ui.currentIndex(names_.playModeCombo);
    p.count = editNumber(ui, names_.countEdit, PanelEdit::MacroCount);
    p.gunRow = names_.gunCombo.empty() ? -1 : ui.currentIndex(names_.gunCombo);
    p.shortcutRow = ui.currentIndex(names_.shortcutCombo);
}

void KeyPage::apply() {
    if (showing_ || selected_ < 0) {
        return;
    }
    read();
    if (applyFunction(images(), static_cast<size_t>(entryOf(selected_)), panel_)) {
        saveKeyProfile();
    }
    refreshLabels();
}

void KeyPage::chooseRow(int row) {
    if (showing_) {
        return;
    }
    installCapture(false);
    panel_.chooser = row;
    showRowPanel();
    if (chooserFunction(device(), row) == PanelFunction::SingleKey) {
        installCapture(true);
    }
    apply();
}

void KeyPage::installCapture(bool on) {
    if (ctx_.hook == nullptr) {
        return;
    }
    const int mode =
        device() == DeviceKind::Mouse ? kHookModeMouseSingleKey : kHookModeKeyboardSingleKey;
    if (on) {
        if (!ctx_.hook->Install(mode, true, false)) {
            debugLog("key capture hook could not be installed");
        }
    } else if (ctx_.hook->installed() && ctx_.hook->mode() == mode) {
        ctx_.hook->Remove();
    }
}

void KeyPage::onHookEvent(const HookEvent& event) {
    const int wanted = device() == DeviceKind::Mouse ? kMsgHookMouSingleKey : kMsgHookKeySingleKey;
    if (event.message != wanted || !event.isKey() || selected_ < 0) {
        return;
    }
    if (chooserFunction(device(), panel_.chooser) != PanelFunction::SingleKey) {
        return;
    }
    const std::optional<CapturedKey> key = captureKey(event.virtualKey, event.flags);
    if (!key) {
        return;
    }
    read();
    takeCapturedKey(panel_, *key);
    showing_ = true;
    ctx_.ui->setText(names_.captureEdit, ctx_.ui->translate(key->name));
    showing_ = false;
    if (applyFunction(images(), static_cast<size_t>(entryOf(selected_)), panel_)) {
        saveKeyProfile();
    }
    refreshLabels();
}

void KeyPage::editChanged(PanelEdit edit, std::string_view name) {
    if (showing_) {
        return;
    }
    ui::SkinUi& ui = *ctx_.ui;
    const std::string typed = ui.text(name);
    const std::string kept = std::to_string(clampPanelEdit(edit, typed));
    if (kept != typed) {
        showing_ = true;
        ui.setText(name, kept);
        showing_ = false;
    }
    apply();
}

void KeyPage::setDefault() {
    if (selected_ < 0) {
        return;
    }
    const int entry = entryOf(selected_);
    FunctionPanelState p = panel_;
    p.chooser = 0;
    if (!panel_.enabled || !applyFunction(images(), static_cast<size_t>(entry), p)) {
        return;
    }
    saveKeyProfile();
    select(selected_);
    refreshLabels();
}

bool KeyPage::prepareMacroDeletion(int position, const std::function<bool()>& confirmDelete) {
    if (MacroInUse(images(), position) && ctx_.ui->messageBox("", kMessageMacroInUse, true) != 1) {
        return false;
    }
    if (confirmDelete && !confirmDelete()) {
        return false;
    }
    if (PrepareMacroDeletion(images(), position, [] { return true; }).changed()) {
        saveKeyProfile();
    }
    return true;
}

void KeyPage::saveKeyProfile() {
    if (!ctx_.report) {
        return;
    }
    ctx_.report(event::ProfileSave{device(), ProfileKind::Key});
    ctx_.report(event::ProfileSave{device(), ProfileKind::Device});
}

bool KeyPage::tell(const UploadResult& r) {
    if (r.done()) {
        return true;
    }
    ui::SkinUi& ui = *ctx_.ui;
    std::string text = ui.translate(r.message());
    if (r.outcome == UploadOutcome::TooLarge) {
        if (const size_t at = text.find("%d"); at != std::string::npos) {
            text.replace(at, 2, std::to_string(r.excessSteps));
        }
    }
    debugLog(std::string(kindName(device())) + " upload not done: " + std::string(r.message()) +
             (r.command.empty() ? "" : " at " + r.command));
    if (quiet_) {
        problem_ = text;
        return false;
    }
    ui.messageBox("", text, false);
    return false;
}

bool KeyPage::uploadCursorSchemes() {
    return tell(UploadCursorSchemes(link(), catalogue()));
}

bool KeyPage::uploadMacros() {
    DeviceImages& im = images();
    AssignmentBank bank = currentBank(im);
    const size_t bytes = device() == DeviceKind::Mouse ? kMouseBankSize : bank.byteCount();
    std::vector<uint8_t> data(bytes, 0);
    im.banks[currentBankNumber(im)].copyOut(0, data);
    const UploadResult r = UploadMacros(link(), catalogue(), im.info.get(info::kMacroMemory),
                                        static_cast<int>(currentBankNumber(im)), data);
    if (!tell(r)) {
        return false;
    }
    // Only a complete upload saves the profiles.
    if (ctx_.report) {
        if (device() == DeviceKind::Keyboard) {
            ctx_.report(event::ProfileSave{device(), ProfileKind::Key});
        }
        ctx_.report(event::ProfileSave{device(), ProfileKind::Device});
    }
    return true;
}

}  // namespace rxt
