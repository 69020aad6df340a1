#pragma once
// The profile operations on real files in a temporary user account, with the
// profile controls of the seven catalogues in an in-memory control tree.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/ui/memory_ui.h"
#include "platform/ini_file.h"
#include "profile/catalogue_population.h"
#include "profile/profile_catalogue.h"
#include "profile/profile_file.h"
#include "profile/profile_operations.h"
#include "profile/profile_operations_controls.h"
#include "profile/program_link.h"
#include "profile_test_env.h"

namespace rxt::test {

inline ProfileCatalogue catalogueOf(DeviceKind device, ProfileKind kind) {
    return *ProfileCatalogue::find(device, kind);
}

inline std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A payload of the catalogue's size whose bytes count up from `seed`.
inline std::vector<uint8_t> patternPayload(const ProfileCatalogue& catalogue, uint8_t seed) {
    std::vector<uint8_t> p(catalogue.payloadSize());
    for (size_t i = 0; i < p.size(); ++i) {
        p[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return p;
}

class OperationsTest : public ::testing::Test {
  protected:
    OperationsTest() {
        for (const ProfileCatalogue& catalogue : ProfileCatalogue::all()) {
            addControls(profileControls(catalogue));
        }
        for (DeviceKind device : kAllDeviceKinds) {
            ui.addControl(profileSpreadButton(device), ui::ControlKind::Button);
            ui.addControl(profileSpreadPanel(device), ui::ControlKind::Container);
        }
        ui.addControl("ms_point_speed_slider", ui::ControlKind::Slider);
        ui.setRange("ms_point_speed_slider", 0, 9);
        ui.addControl("ms_gunlun_speed_edit", ui::ControlKind::Edit);
        ctx = env.context();
        ctx.ui = &ui;
        ctx.refreshPage = [this](Page page) { refreshed.push_back(page); };
    }

    void addControls(const ProfileControls& c) {
        ui.addControl(c.list, ui::ControlKind::Combo);
        ui.addControl(c.nameEdit, ui::ControlKind::Edit);
        for (const std::string* button :
             {&c.renameButton, &c.renamePanelButton, &c.addButton, &c.deleteButton, &c.importButton,
              &c.exportButton, &c.copyButton, &c.resetButton, &c.linkButton, &c.cancelLinkButton}) {
            if (!button->empty()) {
                ui.addControl(*button, ui::ControlKind::Button);
            }
        }
        if (!c.renamePanel.empty()) {
            ui.addControl(c.renamePanel, ui::ControlKind::Container);
        }
        ui.addControl(c.linkCheck, ui::ControlKind::Option);
        ui.addControl(c.linkEdit, ui::ControlKind::Edit);
        ui.addControl(c.linkRow, ui::ControlKind::Container);
    }

    // The catalogue holds these entries (ini and data files), shown in its
    // list without a selection, as after start-up.
    void seed(const ProfileCatalogue& catalogue, const std::vector<std::string>& names) {
        catalogue.WriteCount(static_cast<int>(names.size()));
        uint8_t n = 0;
        for (size_t i = 0; i < names.size(); ++i) {
            catalogue.WriteName(static_cast<int>(i), names[i]);
            catalogue.WriteLinkFlag(static_cast<int>(i), false);
            ASSERT_TRUE(WriteProfileFile(*catalogue.dataFile(names[i]),
                                         patternPayload(catalogue, ++n), catalogue.kindCode()));
        }
        catalogue.WriteSelect(0);
        ASSERT_EQ(PopulateCatalogue(ctx, catalogue), PopulateResult::Listed);
        ui.setCurrentIndex(catalogue.listName(), -1);
    }

    // The user picks entry [index], and the list notifies as it does.
    void pick(const ProfileCatalogue& catalogue, int index) {
        ASSERT_TRUE(ui.setCurrentIndex(catalogue.listName(), index));
        SelectProfile(ctx, catalogue);
    }

    std::vector<std::string> listed(const ProfileCatalogue& catalogue) const {
        std::vector<std::string> names;
        for (const ui::Item& item : ui.items(catalogue.listName())) {
            EXPECT_EQ(item.text, item.userData);
            names.push_back(item.text);
        }
        return names;
    }

    std::vector<std::string> catalogued(const ProfileCatalogue& catalogue) const {
        std::vector<std::string> names;
        for (int i = 0; i < catalogue.ReadCount(); ++i) {
            names.push_back(catalogue.ReadName(i));
        }
        return names;
    }

    // The payload of a data file (header checked), empty when unreadable.
    std::vector<uint8_t> content(const ProfileCatalogue& catalogue, const std::string& name) {
        std::vector<uint8_t> p(catalogue.payloadSize(), 0);
        const auto file = catalogue.dataFile(name);
        if (!file || ReadProfileFile(*file, p) != kProfileRead) {
            return {};
        }
        return p;
    }

    std::vector<uint8_t> defaultContent(const ProfileCatalogue& catalogue) {
        std::vector<uint8_t> p(catalogue.payloadSize(), 0);
        EXPECT_EQ(ReadProfileFile(DefaultProfileFile(catalogue, 0, env.defaults()), p),
                  kProfileRead);
        return p;
    }

    std::string iniValue(const ProfileCatalogue& catalogue, std::string_view section, int key) {
        return iniRead(catalogue.path(), section, std::to_string(key), "(absent)");
    }

    ProfileTestEnv env;
    ui::MemoryUi ui;
    ProfileContext ctx;
    std::vector<Page> refreshed;
};

}  // namespace rxt::test
