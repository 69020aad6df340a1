// The macro pages in the window built from the project's skin, on the
// in-memory UI: the name table against the skin, the editing rules, and
// recording through a hook fed by the test.

#include <gtest/gtest.h>

#include "app/pages/macro/macro_page_names.h"
#include "app/pages/macro/macro_pages.h"
#include "macro/macro_catalogue.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

const MacroPageControls& ms = kMouseMacroControls;
const MacroPageControls& kb = kKeyboardMacroControls;

class MacroPagesTest : public ShellWindowTest {
  protected:
    void start() {
        shell::MainWndOptions options;
        options.features = &pages;
        options.inputHook = hook.get();
        open(options);
        show(ms);
    }
    // The device's tab and panel show once the device is there.
    void show(const MacroPageControls& c) {
        const std::string p(kindPrefix(c.device));
        ui->setVisible(p + "_tab", true);
        ui->setVisible(p + "_tab_panel", true);
        ASSERT_TRUE(ui->userCheck(p + "_tab", true)) << ui->lastError();
        ASSERT_TRUE(ui->userCheck(c.optionTab, true)) << ui->lastError();
    }
    std::vector<MacroAction> steps(const MacroPageControls& c = ms) {
        return pages.page(c.device)->steps();
    }
    // The step rows' records.
    std::vector<std::string> records(const MacroPageControls& c = ms) {
        std::vector<std::string> out;
        for (const ui::Item& i : ui->items(c.stepList))
            out.push_back(i.userData);
        return out;
    }
    void key(uint16_t vk, bool down, uint32_t time) {
        HookEvent e;
        e.hookMessage = down ? kWmKeyDown : kWmKeyUp;
        e.virtualKey = vk;
        e.time = time;
        hook->feedWindowEvent(e);
        ui->processEvents();
    }
    void click(uint16_t message, uint32_t time) {
        HookEvent e;
        e.hookMessage = message;
        e.time = time;
        hook->feedWindowEvent(e);
        ui->processEvents();
    }
    // Opens the left button's insert panel and inserts n presses.
    void insertLeftPresses(int n) {
        if (!ui->visible(ms.inserts[0].panel)) {
            ASSERT_TRUE(ui->userClick(ms.inserts[0].button));
        }
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(ui->userClick(ms.inserts[0].press));
    }
    // Adds a macro and gives it `n` left-button presses, saved.
    void macroWithSteps(int n) {
        ASSERT_TRUE(ui->userClick(ms.addButton));
        for (int i = 0; i < n; ++i)
            insertLeftPresses(1);
        ASSERT_TRUE(ui->userClick(ms.saveButton));
    }

    MacroPages pages;
    // Events go to the window as the real hook's do.
    std::unique_ptr<InputHook> hook = makeWindowInputHook([this](const HookEvent& e) {
        ui->postMessage(e.message, e.hookMessage, packHookRecord(e));
    });
};

TEST_F(MacroPagesTest, TheSkinHoldsEveryControlOfBothPages) {
    start();
    for (const MacroPageControls* c : kMacroPages) {
        for (std::string_view name :
             {c->nameList,        c->stepList,       c->nameEdit,          c->saveOrCancel,
              c->stepEditor,      c->keyCombo,       c->directionCombo,    c->keyDelayEdit,
              c->mouseCombo,      c->mouseDelayEdit, c->distancePanel,     c->distanceEdit,
              c->fixedDelayCheck, c->keyboardCheck,  c->clickCheck,        c->wheelCheck,
              c->moveCheck,       c->addButton,      c->deleteMacroButton, c->renameButton,
              c->saveButton,      c->cancelButton,   c->upButton,          c->downButton,
              c->topButton,       c->bottomButton,   c->deleteStepButton,  c->deleteAllButton,
              c->recordButton,    c->importButton,   c->exportButton,      c->savedLabel,
              c->unsavedLabel,    c->windowOnlyNote, c->optionTab}) {
            EXPECT_TRUE(ui->hasControl(name)) << name;
        }
        for (const auto& i : c->inserts) {
            for (std::string_view name : {i.button, i.panel, i.press, i.release})
                EXPECT_TRUE(ui->hasControl(name)) << name;
        }
        for (const auto& m : c->moves) {
            EXPECT_TRUE(ui->hasControl(m.button)) << m.button;
            EXPECT_TRUE(ui->hasControl(m.distanceEdit)) << m.distanceEdit;
        }
        EXPECT_EQ(ui->itemCount(c->keyCombo), 104);
        EXPECT_EQ(ui->itemCount(c->mouseCombo), 14);
        EXPECT_EQ(ui->pageCount(c->stepEditor), 3);
    }
    // No macros yet: the editing buttons start disabled; here only the
    // window's own window is watched, and the page says so.
    EXPECT_FALSE(ui->enabled(ms.recordButton));
    EXPECT_EQ(ui->attribute(ms.topButton, kTopButtonImageAttribute), kTopButtonDisabledImage);
    EXPECT_TRUE(ui->visible(kb.windowOnlyNote));
}

TEST_F(MacroPagesTest, CatalogueFillsTheListAtStart) {
    MacroCatalogue catalogue(DeviceKind::Keyboard);
    std::vector<std::string> names;
    AddMacroName(catalogue, names);
    AddMacroName(catalogue, names);
    SaveMacro(catalogue, names, 0, {{100, 0x8A, 4, 1, "keyboard_key_A"}});
    start();
    ASSERT_EQ(ui->itemCount(kb.nameList), 2);
    EXPECT_EQ(ui->currentIndex(kb.nameList), 0);
    EXPECT_EQ(ui->text(kb.nameEdit), "name_1");
    ASSERT_EQ(ui->itemCount(kb.stepList), 1);
    EXPECT_EQ(ui->item(kb.stepList, 0)->userData, "100,0,138,4,1,keyboard_key_A");
    EXPECT_EQ(ui->item(kb.stepList, 0)->text, "A\t▼\t100");
    EXPECT_TRUE(ui->enabled(kb.recordButton));
}

TEST_F(MacroPagesTest, DelayAndDistanceEditsAreClamped) {
    start();
    ASSERT_TRUE(ui->userClick(ms.addButton)) << ui->lastError();
    ASSERT_TRUE(ui->userClick(ms.moves[2].button));  // up by the edit's 10
    ASSERT_TRUE(ui->userSelect(ms.stepList, 0));
    EXPECT_EQ(ui->currentPage(ms.stepEditor), 2);
    EXPECT_TRUE(ui->visible(ms.distancePanel));
    ASSERT_TRUE(ui->userType(ms.mouseDelayEdit, "70000"));
    EXPECT_EQ(ui->text(ms.mouseDelayEdit), "65535");
    ASSERT_TRUE(ui->userType(ms.distanceEdit, "300"));
    EXPECT_EQ(ui->text(ms.distanceEdit), "255");
    EXPECT_EQ(records(), (std::vector<std::string>{"255,255,133,255,1,mouse_move_to_up_text"}));
}

TEST_F(MacroPagesTest, InsertDistancesAreClampedNotWrapped) {
    start();
    ASSERT_TRUE(ui->userClick(ms.addButton));
    ASSERT_TRUE(ui->userType(ms.moves[0].distanceEdit, "300"));
    EXPECT_EQ(ui->text(ms.moves[0].distanceEdit), "255");
    // Set by hand past the edit's check: still 255, never 300 - 256.
    ui->setText(ms.moves[1].distanceEdit, "300");
    ASSERT_TRUE(ui->userClick(ms.moves[0].button));
    ASSERT_TRUE(ui->userClick(ms.moves[1].button));
    ASSERT_EQ(steps().size(), 2u);
    EXPECT_EQ(steps()[0].value, 255);
    EXPECT_EQ(steps()[1].value, 255);
}

TEST_F(MacroPagesTest, MoveRowsKeepOrZeroTheDistance) {
    start();
    ASSERT_TRUE(ui->userClick(ms.addButton));
    ui->setText(ms.moves[2].distanceEdit, "12");
    ASSERT_TRUE(ui->userClick(ms.moves[2].button));
    insertLeftPresses(1);  // left press, first
    ASSERT_TRUE(ui->userSelect(ms.stepList, 0));
    EXPECT_EQ(ui->currentIndex(ms.mouseCombo), 0);
    ASSERT_TRUE(ui->userSelect(ms.mouseCombo, 12));  // upward move
    EXPECT_EQ(steps()[0].value, 0);
    EXPECT_EQ(steps()[0].code, 0x85);
    ASSERT_TRUE(ui->userSelect(ms.stepList, 1));
    EXPECT_EQ(ui->currentIndex(ms.mouseCombo), 12);
    ASSERT_TRUE(ui->userSelect(ms.mouseCombo, 10));  // leftward keeps 12
    EXPECT_EQ(steps()[1].value, 12);
    EXPECT_EQ(steps()[1].code, 0x84);
    ASSERT_TRUE(ui->userSelect(ms.mouseCombo, 3));  // a right release
    EXPECT_FALSE(ui->visible(ms.distancePanel));
    EXPECT_EQ(steps()[1].code, 0x01);
    EXPECT_EQ(steps()[1].value, 0x02);
    EXPECT_EQ(steps()[1].pressed, 0);
}

TEST_F(MacroPagesTest, InsertGoesBeforeTheSelectedStepWhichStaysSelected) {
    start();
    ASSERT_TRUE(ui->userClick(ms.addButton));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(ui->userClick(ms.moves[i].button));
    ASSERT_TRUE(ui->userSelect(ms.stepList, 1));
    ASSERT_TRUE(ui->userClick(ms.inserts[3].button));
    EXPECT_TRUE(ui->visible(ms.inserts[3].panel));
    ASSERT_TRUE(ui->userClick(ms.inserts[3].press));
    const auto s = steps();
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[1].code, 0x81);
    EXPECT_EQ(s[1].value, 0x10);
    EXPECT_EQ(s[1].name, "mouse_key_forward");
    EXPECT_EQ(s[1].delay, 50);
    EXPECT_EQ(s[2].code, 0x85);  // the old step 2
    EXPECT_EQ(ui->currentIndex(ms.stepList), 2);
    // Opening another insert panel closes the first; a second click closes it.
    ASSERT_TRUE(ui->userClick(ms.inserts[4].button));
    EXPECT_FALSE(ui->visible(ms.inserts[3].panel));
    ASSERT_TRUE(ui->userClick(ms.inserts[4].button));
    EXPECT_FALSE(ui->visible(ms.inserts[4].panel));
}

TEST_F(MacroPagesTest, MovingAndDeletingSteps) {
    start();
    ASSERT_TRUE(ui->userClick(ms.addButton));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ui->userClick(ms.moves[i].button));
    // Each went before the step the one before it left selected.
    auto codes = [&] {
        std::vector<int> out;
        for (const MacroAction& a : steps())
            out.push_back(a.code);
        return out;
    };
    EXPECT_EQ(codes(), (std::vector<int>{0x04, 0x85, 0x84}));
    ASSERT_TRUE(ui->userSelect(ms.stepList, 0));
    ASSERT_TRUE(ui->userClick(ms.bottomButton));
    EXPECT_EQ(codes(), (std::vector<int>{0x85, 0x84, 0x04}));
    EXPECT_EQ(ui->currentIndex(ms.stepList), 2);
    ASSERT_TRUE(ui->userClick(ms.downButton));  // already last
    ASSERT_TRUE(ui->userClick(ms.upButton));
    EXPECT_EQ(codes(), (std::vector<int>{0x85, 0x04, 0x84}));
    ASSERT_TRUE(ui->userClick(ms.topButton));
    EXPECT_EQ(codes(), (std::vector<int>{0x04, 0x85, 0x84}));
    EXPECT_EQ(ui->currentIndex(ms.stepList), 0);
    ASSERT_TRUE(ui->userClick(ms.deleteStepButton));
    EXPECT_EQ(steps().size(), 2u);
    ASSERT_TRUE(ui->userClick(ms.deleteAllButton));
    EXPECT_TRUE(steps().empty());
}

TEST_F(MacroPagesTest, CancelAfterAddKeepsTheMacroAndAnEmptyList) {
    start();
    macroWithSteps(2);
    ASSERT_TRUE(ui->userClick(ms.addButton));
    insertLeftPresses(1);
    EXPECT_TRUE(ui->visible(ms.saveOrCancel));
    EXPECT_FALSE(ui->enabled(ms.nameList));
    ASSERT_TRUE(ui->userClick(ms.cancelButton));
    EXPECT_FALSE(ui->visible(ms.saveOrCancel));
    EXPECT_EQ(ui->itemCount(ms.stepList), 0);
    EXPECT_EQ(MacroCatalogue(DeviceKind::Mouse).LoadCatalogue().size(), 2u);
    // Cancel on a saved macro brings its steps back.
    ASSERT_TRUE(ui->userSelect(ms.nameList, 0));
    ASSERT_TRUE(ui->userClick(ms.deleteAllButton));
    insertLeftPresses(1);
    ASSERT_TRUE(ui->userClick(ms.cancelButton));
    EXPECT_EQ(ui->itemCount(ms.stepList), 2);
}

TEST_F(MacroPagesTest, EditingRefusesAddDeleteAndAnotherMacro) {
    start();
    macroWithSteps(1);
    ASSERT_TRUE(ui->userClick(ms.addButton));
    ui->takeShownMessages();
    insertLeftPresses(1);
    ASSERT_TRUE(ui->userClick(ms.addButton));
    ASSERT_TRUE(ui->userClick(ms.deleteMacroButton));
    EXPECT_EQ(ui->takeShownMessages(),
              (std::vector<std::string>{"message_text_3", "message_text_3"}));
    EXPECT_EQ(ui->itemCount(ms.nameList), 2);
    // The option tabs keep the macro page while it is edited.
    ASSERT_TRUE(ui->userCheck("ms_deng_Op_tab", true));
    EXPECT_EQ(ui->takeShownMessages(), (std::vector<std::string>{"message_text_3"}));
    EXPECT_TRUE(ui->checked(ms.optionTab));
}

TEST_F(MacroPagesTest, DeletingTheLastMacroDisablesEditing) {
    start();
    macroWithSteps(1);
    ui->answer(ui::DialogAnswer::message(true));
    ASSERT_TRUE(ui->userClick(ms.deleteMacroButton));
    EXPECT_EQ(ui->itemCount(ms.nameList), 0);
    EXPECT_EQ(ui->itemCount(ms.stepList), 0);
    EXPECT_FALSE(ui->enabled(ms.recordButton));
    EXPECT_FALSE(ui->enabled(ms.inserts[0].button));
    EXPECT_EQ(ui->attribute(ms.topButton, kTopButtonImageAttribute), kTopButtonDisabledImage);
    EXPECT_TRUE(MacroCatalogue(DeviceKind::Mouse).LoadCatalogue().empty());
}

TEST_F(MacroPagesTest, DeletingRunsTheKeyCheckWithThePositionAndItsConfirmation) {
    std::vector<int> checked;
    bool keysAgree = true;
    pages.setDeletionCheck(
        [&](DeviceKind device, int position, const std::function<bool()>& confirm) {
            EXPECT_EQ(device, DeviceKind::Mouse);
            checked.push_back(position);
            return keysAgree && confirm();
        });
    start();
    macroWithSteps(1);
    macroWithSteps(2);
    macroWithSteps(1);
    ASSERT_TRUE(ui->userSelect(ms.nameList, 1));
    ui->takeShownMessages();
    // The keys refuse (the user declined "message_text_2"): nothing asked
    // after it, nothing deleted.
    keysAgree = false;
    ASSERT_TRUE(ui->userClick(ms.deleteMacroButton));
    EXPECT_EQ(ui->itemCount(ms.nameList), 3);
    EXPECT_TRUE(ui->takeShownMessages().empty());
    // Agreed, but the confirmation declined: still nothing deleted.
    keysAgree = true;
    ui->answer(ui::DialogAnswer::message(false));
    ASSERT_TRUE(ui->userClick(ms.deleteMacroButton));
    EXPECT_EQ(MacroCatalogue(DeviceKind::Mouse).LoadCatalogue().size(), 3u);
    ui->answer(ui::DialogAnswer::message(true));
    ASSERT_TRUE(ui->userClick(ms.deleteMacroButton));
    EXPECT_EQ(checked, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(ui->takeShownMessages(),
              (std::vector<std::string>{"message_text_4", "message_text_4"}));
    EXPECT_EQ(MacroCatalogue(DeviceKind::Mouse).LoadCatalogue().size(), 2u);
    // While a macro is edited the check is not even run.
    insertLeftPresses(1);
    ASSERT_TRUE(ui->userClick(ms.deleteMacroButton));
    EXPECT_EQ(checked.size(), 3u);
}

TEST_F(MacroPagesTest, RenameRefusesTakenAndUnsafeNames) {
    start();
    macroWithSteps(1);
    macroWithSteps(1);
    ui->takeShownMessages();
    ASSERT_TRUE(ui->userType(ms.nameEdit, "NAME_1"));
    ASSERT_TRUE(ui->userClick(ms.renameButton));
    // Leaving the edit renames as the button does.
    ASSERT_TRUE(ui->userFocus(ms.nameEdit));
    ASSERT_TRUE(ui->userType(ms.nameEdit, "../up"));
    ASSERT_TRUE(ui->userBlur(ms.nameEdit));
    EXPECT_EQ(ui->takeShownMessages(),
              (std::vector<std::string>{"message_text_5", std::string(kMessageMacroNameInvalid)}));
    EXPECT_EQ(ui->text(ms.nameEdit), "name_2");
    ASSERT_TRUE(ui->userType(ms.nameEdit, "Burst"));
    ASSERT_TRUE(ui->userClick(ms.renameButton));
    EXPECT_EQ(ui->item(ms.nameList, 1)->text, "Burst");
    EXPECT_EQ(MacroCatalogue(DeviceKind::Mouse).ReadName(1), "Burst");
}

TEST_F(MacroPagesTest, ImportAndExportThroughTheFileDialogs) {
    start();
    macroWithSteps(2);
    const auto out = home.path() / "out.mac";
    ui->answer(ui::DialogAnswer::save(out.string()));
    ASSERT_TRUE(ui->userClick(ms.exportButton));
    ASSERT_TRUE(std::filesystem::exists(out));
    ui->answer(ui::DialogAnswer::open(out.string()));
    ASSERT_TRUE(ui->userClick(ms.importButton));
    ASSERT_EQ(ui->itemCount(ms.nameList), 2);
    EXPECT_EQ(ui->currentIndex(ms.nameList), 1);
    EXPECT_EQ(ui->itemCount(ms.stepList), 2);
}

TEST_F(MacroPagesTest, RecordingTakesPausesFromTheEventTimes) {
    start();
    show(kb);
    ASSERT_TRUE(ui->userClick(kb.addButton));
    ASSERT_TRUE(ui->userClick(kb.recordButton));
    EXPECT_TRUE(hook->installed());
    EXPECT_EQ(hook->mode(), kHookModeKeyboardMacro);
    EXPECT_EQ(ui->textKey(kb.recordButton), "macro_btn_stop_redio_text");
    EXPECT_FALSE(ui->enabled(kb.stepList));
    key(0x41, true, 1000);
    key(0x41, true, 1300);  // auto-repeat
    key(0x41, false, 1600);
    key(0xA2, true, 1700);
    key(0xA2, false, 1750);
    click(0x0201, 1800);  // the keyboard page records clicks too
    ASSERT_TRUE(ui->userClick(kb.recordButton));
    EXPECT_FALSE(hook->installed());
    EXPECT_EQ(records(kb), (std::vector<std::string>{
                               "88,2,138,4,1,keyboard_key_A", "100,0,10,4,0,keyboard_key_A",
                               "50,0,137,1,1,keyboard_key_LCtrl", "50,0,9,1,0,keyboard_key_LCtrl",
                               "0,0,129,1,1,mouse_key_left"}));
    EXPECT_TRUE(ui->visible(kb.saveOrCancel));
    EXPECT_TRUE(ui->enabled(kb.saveButton));
    // With the fixed delay every step but the last waits 50 ms.
    ASSERT_TRUE(ui->userClick(kb.deleteAllButton));
    ASSERT_TRUE(ui->userCheck(kb.fixedDelayCheck, true));
    ASSERT_TRUE(ui->userClick(kb.recordButton));
    key(0x42, true, 5000);
    key(0x42, false, 9000);
    key(0x43, true, 9100);
    ASSERT_TRUE(ui->userClick(kb.recordButton));
    const auto s = steps(kb);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].delay, 50);
    EXPECT_EQ(s[1].delay, 50);
    EXPECT_EQ(s[2].delay, 0);
}

TEST_F(MacroPagesTest, DeactivatingTheWindowRemovesTheHooks) {
    start();
    ASSERT_TRUE(ui->userClick(ms.addButton));
    ASSERT_TRUE(ui->userClick(ms.recordButton));
    EXPECT_EQ(hook->mode(), kHookModeMouseMacro);
    key(0x41, true, 10);
    window->onActivate(false);
    EXPECT_FALSE(hook->installed());
    key(0x42, true, 20);
    EXPECT_EQ(steps().size(), 1u);
    EXPECT_TRUE(pages.page(DeviceKind::Mouse)->recording());
}

}  // namespace
}  // namespace rxt::test
