// The profile pages in the main window built from the project's skin: every
// profile control is there, and the user's clicks, choices and the device
// threads' reactions reach their operations.

#include <gmock/gmock.h>

#include <thread>

#include "app/pages/profile/profile_operations.h"
#include "app/pages/profile/profile_page_names.h"
#include "app/pages/profile/profile_pages.h"
#include "platform/system_pointer.h"
#include "profile/default_profiles.h"
#include "profile/profile_file.h"
#include "support/shell_fixture.h"

namespace rxt::test {
namespace {

using namespace std::chrono_literals;

class ProfilePagesTest : public ShellWindowTest {
  protected:
    void start() {
        ProfilePagesOptions options;
        options.foreground = [] { return makeUnavailableForegroundApp("test"); };
        options.timing.switchingPause = 50ms;
        options.timing.readingPause = 50ms;
        feature = std::make_unique<ProfilePages>(options);
        shell::MainWndOptions window;
        window.features = feature.get();
        open(window, false);
        std::string error;
        ASSERT_TRUE(writeDefaultProfileFiles(defaults(), error)) << error;
        pointer = makeFileSystemPointer(home.path() / "pointer.ini");
        ProfilePageContext ctx;
        ctx.ui = ui.get();
        ctx.links = &this->window->links();
        ctx.images = &this->window->images();
        ctx.writeBack = &this->window->writeBack();
        ctx.system = pointer.get();
        ctx.defaultsFolder = defaults();
        feature->attach(ctx);
        ui->showWindow(ui::SkinUi::Show::Show);
        ui->processEvents();
        for (const char* panel : {"ms_tab_panel", "kb_tab_panel", "mp_tab_panel"}) {
            ui->setVisible(panel, true);
        }
    }

    std::filesystem::path defaults() const { return home.path() / "defaults"; }

    std::unique_ptr<ProfilePages> feature;
    std::unique_ptr<SystemPointer> pointer;
};

TEST_F(ProfilePagesTest, TheSkinHoldsEveryProfileControlOfTheSevenCatalogues) {
    start();
    using K = ui::ControlKind;
    for (const ProfileCatalogue& cat : ProfileCatalogue::all()) {
        const ProfileControls& c = profileControls(cat);
        EXPECT_EQ(ui->controlKind(c.list), K::Combo) << c.list;
        EXPECT_EQ(ui->controlKind(c.nameEdit), K::Edit) << c.nameEdit;
        EXPECT_EQ(ui->controlKind(c.linkCheck), K::Option) << c.linkCheck;
        EXPECT_EQ(ui->controlKind(c.linkEdit), K::Edit) << c.linkEdit;
        EXPECT_TRUE(ui->hasControl(c.linkRow)) << c.linkRow;
        for (std::string_view button :
             {c.renameButton, c.renamePanelButton, c.addButton, c.deleteButton, c.importButton,
              c.exportButton, c.copyButton, c.resetButton, c.linkButton, c.cancelLinkButton}) {
            if (!button.empty()) {
                EXPECT_EQ(ui->controlKind(button), K::Button) << button;
            }
        }
        if (!c.renamePanel.empty()) {
            EXPECT_TRUE(ui->hasControl(c.renamePanel)) << c.renamePanel;
        }
    }
    for (const ProfileSpreadControls& spread : kProfileSpreadControls) {
        EXPECT_EQ(ui->controlKind(spread.button), K::Button) << spread.button;
        EXPECT_TRUE(ui->hasControl(spread.panel)) << spread.panel;
    }
    // Only the three named catalogues have a cancel button.
    EXPECT_FALSE(ui->hasControl("ms_deng_cancle_link_btn"));
    EXPECT_FALSE(ui->hasControl("mp_deng_cancle_link_btn"));
}

TEST_F(ProfilePagesTest, StartUpFillsTheListsWithoutSelectingTheUnwatchedOnes) {
    start();
    for (const ProfileCatalogue& cat : ProfileCatalogue::all()) {
        EXPECT_EQ(ui->items(profileControls(cat).list),
                  (std::vector<ui::Item>{{"profile1", "profile1"}}))
            << profileControls(cat).list;
    }
    for (const char* list : {"ms_deng_profile_combo", "ms_key_profile_combo",
                             "kb_deng_profile_combo", "kb_key_profile_combo"}) {
        EXPECT_EQ(ui->currentIndex(list), -1) << list;
    }
    // The switching watchers show the remembered entries at their first pass.
    EXPECT_TRUE(until([&] {
        return ui->currentIndex("ms_device_profile_combo") == 0 &&
               ui->currentIndex("mp_deng_profile_combo") == 0;
    }));
}

TEST_F(ProfilePagesTest, ClicksAndChoicesReachTheirOperations) {
    start();
    const auto cat = *ProfileCatalogue::find(DeviceKind::Mouse, ProfileKind::Lighting);
    const ProfileControls& c = profileControls(cat);
    EXPECT_FALSE(ui->visible("ms_profile_fun_spead_tab"));
    ui->setCurrentPage("tab_switch", 1);
    ASSERT_TRUE(ui->userClick("ms_profile_fun_spread_btn")) << ui->lastError();
    EXPECT_TRUE(ui->visible("ms_profile_fun_spead_tab"));

    ASSERT_TRUE(ui->userClick(c.addButton)) << ui->lastError();
    EXPECT_EQ(ui->itemCount(c.list), 2);
    EXPECT_EQ(ui->currentIndex(c.list), 1);
    EXPECT_EQ(cat.ReadName(1), "profile2");

    ASSERT_TRUE(ui->userClick(c.renamePanelButton));
    EXPECT_TRUE(ui->visible(c.renamePanel));
    ASSERT_TRUE(ui->userType(c.nameEdit, "Evening"));
    ASSERT_TRUE(ui->userClick(c.renameButton));
    EXPECT_EQ(cat.ReadName(1), "Evening");
    EXPECT_EQ(ui->item(c.list, 1)->text, "Evening");

    ASSERT_TRUE(ui->userSelect(c.list, 0));
    EXPECT_EQ(cat.ReadSelect(), 0);
    EXPECT_EQ(ui->text(c.nameEdit), "profile1");

    ui->answer(ui::DialogAnswer::open("/bin/sh"));
    ASSERT_TRUE(ui->userCheck(c.linkCheck, true));
    EXPECT_EQ(cat.ReadLinkFlag(0), 1);
    EXPECT_EQ(cat.ReadProgramPath(0), std::filesystem::canonical("/bin/sh").string());

    ui->answer(ui::DialogAnswer::message(true));
    ASSERT_TRUE(ui->userClick(c.deleteButton));
    EXPECT_EQ(cat.ReadCount(), 1);
    EXPECT_EQ(cat.ReadName(0), "Evening");

    ASSERT_TRUE(ui->userClick("ms_profile_fun_spread_btn"));
    EXPECT_FALSE(ui->visible("ms_profile_fun_spead_tab"));
}

TEST_F(ProfilePagesTest, ArrivalsSelectTheRememberedEntryAndTheKeyboardLoadsItsProfile) {
    start();
    const auto pad = *ProfileCatalogue::find(DeviceKind::Mousepad, ProfileKind::Lighting);
    const auto keyboard = *ProfileCatalogue::find(DeviceKind::Keyboard, ProfileKind::Device);
    ui->setCurrentPage("tab_switch", 2);
    ASSERT_TRUE(ui->userClick("mp_profile_fun_spread_btn")) << ui->lastError();
    ASSERT_TRUE(ui->userClick(profileControls(pad).addButton));
    ASSERT_EQ(ui->currentIndex(profileControls(pad).list), 1);
    pad.WriteSelect(0);

    // From a device thread, as discovery does, while the UI thread runs.
    std::atomic<bool> done{false};
    std::thread device([&] {
        window->report(event::ProfileEntrySelect{DeviceKind::Mousepad, ProfileKind::Lighting, 0});
        window->report(event::ProfileLoad{DeviceKind::Keyboard, ProfileKind::Device, 0});
        done = true;
    });
    ASSERT_TRUE(until([&] { return done.load(); }));
    device.join();
    EXPECT_EQ(ui->currentIndex(profileControls(pad).list), 0);

    std::vector<uint8_t> payload(keyboard.payloadSize(), 0);
    ASSERT_EQ(ReadProfileFile(*keyboard.dataFile("profile1"), payload), kProfileRead);
    const auto bank = window->images().keyboard.banks[0].snapshot();
    EXPECT_TRUE(std::equal(payload.begin(), payload.begin() + 512, bank.begin()));
}

}  // namespace
}  // namespace rxt::test
