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
#include "app/pages/profile/profile_lists.h"
#include "profile/profile_catalogue.h"
#include "profile/profile_file.h"
#include "app/pages/profile/profile_operations.h"
#include "app/pages/profile/profile_page_names.h"
#include "app/pages/profile/program_link.h"
#include "support/profile_test_env.h"

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
        for (const ProfileControls& c : kProfileControls) {
            addControls(c);
        }
        for (const ProfileSpreadControls& spread : kProfileSpreadControls) {
            ui.addControl(spread.button, ui::ControlKind::Button);
            ui.addControl(spread.panel, ui::ControlKind::Container);
        }
        static_cast<ProfileContext&>(ctx) = env.context();
        ctx.ui = &ui;
        ctx.report = [this](const WindowEvent& e) {
            if (const auto* refresh = std::get_if<event::PageRefresh>(&e)) {
                refreshed.push_back(refresh->page);
            } else {
                reported.push_back(describe(e));
            }
        };
    }

    void addControls(const ProfileControls& c) {
        ui.addControl(c.list, ui::ControlKind::Combo);
        ui.addControl(c.nameEdit, ui::ControlKind::Edit);
        for (std::string_view button :
             {c.renameButton, c.renamePanelButton, c.addButton, c.deleteButton, c.importButton,
              c.exportButton, c.copyButton, c.resetButton, c.linkButton, c.cancelLinkButton}) {
            if (!button.empty()) {
                ui.addControl(button, ui::ControlKind::Button);
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
        ui.setCurrentIndex(profileControls(catalogue).list, -1);
    }

    // The user picks entry [index], and the list notifies as it does.
    void pick(const ProfileCatalogue& catalogue, int index) {
        ASSERT_TRUE(ui.setCurrentIndex(profileControls(catalogue).list, index));
        SelectProfile(ctx, catalogue);
    }

    std::vector<std::string> listed(const ProfileCatalogue& catalogue) const {
        std::vector<std::string> names;
        for (const ui::Item& item : ui.items(profileControls(catalogue).list)) {
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
    ProfilePageContext ctx;
    std::vector<Page> refreshed;
    // What else the operations reported for the pages to show.
    std::vector<std::string> reported;
};

}  // namespace rxt::test
