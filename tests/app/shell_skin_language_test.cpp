#include <gtest/gtest.h>

#include "app/shell/skin_change.h"
#include "app/shell/skin_settings.h"
#include "app/ui/skin_resources.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/language_registry.h"
#include "support/shell_fixture.h"

namespace rxt::shell {
namespace {

using test::ShellWindowTest;

std::string skinValue(const std::filesystem::path& ini, std::string_view key) {
    return iniRead(ini, "SKINIMAGE", key, "<missing>");
}

// ---- language ---------------------------------------------------------------

TEST_F(ShellWindowTest, ChineseFromTheMenuIsRememberedAndMirrored) {
    open();
    ASSERT_TRUE(ui->userTray(false));
    ASSERT_TRUE(ui->userMenu("lan_cn"));
    EXPECT_EQ(ui->language(), "cn_zh");
    EXPECT_EQ(ui->text("ms_tab"), "鼠标");
    EXPECT_EQ(skinValue(home.mainIni(), "LANGUAGE"), "1");
    EXPECT_EQ(readLanguageValue(home.registry()), "2020");

    // The next start comes up in Chinese, exit item included.
    close();
    open();
    EXPECT_EQ(ui->language(), "cn_zh");
    EXPECT_EQ(ui->text("kb_tab"), "键盘");
    ASSERT_TRUE(ui->userTray(false));
    EXPECT_EQ(ui->openMenuEntries().front().text, "关闭");
    // The language shown is the one checked.
    EXPECT_EQ(ui->menuChecked("lan_cn"), true);
    EXPECT_EQ(ui->menuChecked("lan_en"), false);

    ASSERT_TRUE(ui->userMenu("lan_en"));
    EXPECT_EQ(ui->language(), "en");
    EXPECT_EQ(ui->text("kb_tab"), "KEYBOARD");
    EXPECT_EQ(skinValue(home.mainIni(), "LANGUAGE"), "0");
    EXPECT_EQ(readLanguageValue(home.registry()), "1010");
}

TEST_F(ShellWindowTest, StoredValueTwoStartsInTraditionalChinese) {
    ASSERT_TRUE(iniWrite(home.mainIni(), "SKINIMAGE", "LANGUAGE", "2"));
    open();  // no registry value: main.ini keeps its 2
    EXPECT_EQ(ui->language(), "cn_tw");
    EXPECT_EQ(ui->text("ms_tab"), "滑鼠");
    EXPECT_EQ(skinValue(home.mainIni(), "LANGUAGE"), "2");
    // The exit item in traditional Chinese; neither language item is the
    // one shown, so neither is checked.
    ASSERT_TRUE(ui->userTray(false));
    EXPECT_EQ(ui->openMenuEntries().front().name, "exit");
    EXPECT_EQ(ui->openMenuEntries().front().text, "關閉");
    EXPECT_EQ(ui->menuChecked("lan_cn"), false);
    EXPECT_EQ(ui->menuChecked("lan_en"), false);
    // The title reads in traditional Chinese too.
    EXPECT_EQ(ui->text("titletext_label"), "RX-T7100 遊戲滑鼠");
}

TEST_F(ShellWindowTest, RegistryValueDecidesTheStartLanguage) {
    ASSERT_TRUE(iniWrite(home.mainIni(), "SKINIMAGE", "LANGUAGE", "1"));
    ASSERT_TRUE(writeLanguageValue(home.registry(), "1010"));
    open();
    EXPECT_EQ(ui->language(), "en");
    EXPECT_EQ(skinValue(home.mainIni(), "LANGUAGE"), "0");
    close();

    ASSERT_TRUE(writeLanguageValue(home.registry(), "2020"));
    open();
    EXPECT_EQ(ui->language(), "cn_zh");
    close();

    // Any other readable value means English.
    ASSERT_TRUE(writeLanguageValue(home.registry(), "hello"));
    open();
    EXPECT_EQ(ui->language(), "en");
}

TEST(LanguageMirror, UnreadableRegistryLeavesMainIniAlone) {
    test::TempFolder dir;
    const auto ini = dir / "main.ini";
    ASSERT_TRUE(iniWrite(ini, "SKINIMAGE", "LANGUAGE", "1"));
    EXPECT_FALSE(mirrorRegistryLanguage(ini, dir / "no" / "registry.ini"));
    EXPECT_EQ(skinValue(ini, "LANGUAGE"), "1");
    EXPECT_EQ(storedLanguage(ini), Language::SimplifiedChinese);
}

TEST(LanguageMirror, StoredValuesMapToTheThreeLanguages) {
    test::TempFolder dir;
    const auto ini = dir / "main.ini";
    EXPECT_EQ(storedLanguage(ini), Language::English);  // missing file
    for (auto [value, language] :
         {std::pair{"0", Language::English}, std::pair{"1", Language::SimplifiedChinese},
          std::pair{"2", Language::TraditionalChinese},
          std::pair{"7", Language::TraditionalChinese}}) {
        ASSERT_TRUE(iniWrite(ini, "SKINIMAGE", "LANGUAGE", value));
        EXPECT_EQ(storedLanguage(ini), language) << value;
    }
    EXPECT_EQ(languageFiles(Language::TraditionalChinese).file, "lan_sn.xml");
    EXPECT_EQ(languageFiles(Language::SimplifiedChinese).name, "cn_zh");
}

// Every language file holds every key, and no text is left empty.
TEST(LanguageFiles, EveryKeyHasATextInEveryLanguage) {
    const std::string folder = test::projectSkinFolder();
    const ui::LanguageTable en = ui::readLanguageFile(folder + "/lan_en.xml");
    const ui::LanguageTable cn = ui::readLanguageFile(folder + "/lan_cn.xml");
    const ui::LanguageTable tw = ui::readLanguageFile(folder + "/lan_sn.xml");
    ASSERT_TRUE(en.error.empty()) << en.error;
    ASSERT_TRUE(cn.error.empty()) << cn.error;
    ASSERT_TRUE(tw.error.empty()) << tw.error;
    EXPECT_EQ(en.texts.size(), cn.texts.size());
    EXPECT_EQ(en.texts.size(), tw.texts.size());
    for (const auto& [key, text] : en.texts) {
        EXPECT_FALSE(text.empty()) << key;
        EXPECT_TRUE(cn.texts.count(key)) << key;
        EXPECT_TRUE(tw.texts.count(key)) << key;
    }
    // The messages the program shows.
    for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18}) {
        const std::string key = "message_text_" + std::to_string(n);
        EXPECT_TRUE(en.texts.count(key)) << key;
    }
    // Numbered messages keep their number slot in every language.
    for (const auto* table : {&en, &cn, &tw}) {
        EXPECT_NE(table->texts.at("message_text_16").find("%d"), std::string::npos);
        EXPECT_NE(table->texts.at("message_text_17").find("%d"), std::string::npos);
    }
    EXPECT_EQ(en.texts.at("keyboard_key_A"), "A");
    EXPECT_TRUE(en.texts.count("keyboard_key_Launch Media Select"));
    EXPECT_TRUE(en.texts.count("mouse_key_left"));
    EXPECT_TRUE(en.texts.count("Deng_FXL_text"));
}

TEST_F(ShellWindowTest, EveryTextKeyOfTheSkinIsTranslated) {
    open();
    const std::string folder = test::projectSkinFolder();
    for (const char* file : {"/lan_en.xml", "/lan_cn.xml", "/lan_sn.xml"}) {
        const ui::LanguageTable table = ui::readLanguageFile(folder + file);
        for (const std::string& name : ui->controlNames()) {
            const std::string key = ui->textKey(name);
            if (key.empty()) {
                continue;
            }
            const bool answered = window->queryControlText(key).has_value();
            EXPECT_TRUE(table.texts.count(key) || answered) << file << ": " << key;
        }
    }
}

TEST_F(ShellWindowTest, TitleTextFollowsTheLanguage) {
    open();
    EXPECT_EQ(window->queryControlText("titletext"), "RX-T7100 GamingMouse");
    EXPECT_EQ(window->queryControlText("hometext"), "{a}Home Page{/a}");
    ASSERT_TRUE(ui->userTray(false));
    ASSERT_TRUE(ui->userMenu("lan_cn"));
    EXPECT_EQ(window->queryControlText("titletext"), "mouse");
    EXPECT_EQ(window->queryControlText("hometext"), "{a}演示官网{/a}");
    EXPECT_FALSE(window->queryControlText("message_text_1").has_value());
}

// ---- skin ----------------------------------------------------------------------

TEST_F(ShellWindowTest, ChosenPictureIsStoredAndBackAfterARestart) {
    open();
    EXPECT_EQ(ui->backgroundImage("root"), "common/background.png");
    ASSERT_TRUE(ui->userClick("skinbtn"));
    ASSERT_TRUE(ui->visible("skin_frame"));
    ASSERT_TRUE(ui->userClick("skin_image_btn_2"));
    EXPECT_EQ(ui->backgroundImage("root"), "common/bg_3.png");
    EXPECT_EQ(ui->backgroundColor("root"), 0u);
    EXPECT_EQ(skinValue(home.mainIni(), "FLAGS"), "1");
    EXPECT_EQ(skinValue(home.mainIni(), "IMAGE"), "common/bg_3.png");

    close();
    open();
    EXPECT_EQ(ui->backgroundImage("root"), "common/bg_3.png");
}

TEST_F(ShellWindowTest, ColourAndOwnPictureAreShownButNotStored) {
    open();
    ASSERT_TRUE(ui->userClick("skinbtn"));
    ASSERT_TRUE(ui->userCheck("skin_color", true));
    EXPECT_EQ(ui->currentPage("skin_tab"), 1);
    ASSERT_TRUE(ui->userClick("skin_color_btn_1"));
    EXPECT_EQ(ui->backgroundColor("root"), 0xFF13294Au);
    EXPECT_EQ(ui->backgroundImage("root"), "");
    // The swatch in use is marked, and only that one.
    EXPECT_NE(ui->borderColor("skin_color_btn_1"), 0u);
    ASSERT_TRUE(ui->userClick("skin_color_btn_4"));
    EXPECT_EQ(ui->borderColor("skin_color_btn_1"), 0u);
    EXPECT_NE(ui->borderColor("skin_color_btn_4"), 0u);

    ASSERT_TRUE(ui->userCheck("skin_image", true));
    ui->answer(ui::DialogAnswer::open("/pictures/mine.png"));
    ASSERT_TRUE(ui->userClick("skin_Custom"));
    EXPECT_EQ(ui->backgroundImage("root"), "/pictures/mine.png");
    ASSERT_TRUE(ui->lastFileDialog().has_value());
    // Described, in the pictures folder, with any file as the second choice.
    EXPECT_EQ(ui->lastFileDialog()->title, "dialog_background_title");
    EXPECT_EQ(ui->lastFileDialog()->folder, picturesFolder().string());
    ASSERT_EQ(ui->lastFileDialog()->filters.size(), 2u);
    EXPECT_EQ(ui->lastFileDialog()->filters[0].label, "filter_pictures");
    EXPECT_EQ(ui->lastFileDialog()->filters[0].pattern, "*.png;*.jpg;*.jpeg;*.bmp");
    EXPECT_EQ(ui->lastFileDialog()->filters[1].pattern, "*");

    // Cancelling the dialog changes nothing.
    ui->setVisible("skin_frame", true);
    ui->answer(ui::DialogAnswer::cancel(ui::DialogAnswer::Kind::Open));
    ASSERT_TRUE(ui->userClick("skin_Custom"));
    EXPECT_EQ(ui->backgroundImage("root"), "/pictures/mine.png");

    EXPECT_EQ(skinValue(home.mainIni(), "FLAGS"), "<missing>");
    close();
    open();
    EXPECT_EQ(ui->backgroundImage("root"), "common/background.png");
    EXPECT_EQ(ui->backgroundColor("root"), 0u);
}

TEST_F(ShellWindowTest, ResetGoesBackToTheDefaultPictureForGood) {
    ASSERT_TRUE(iniWrite(home.mainIni(), "SKINIMAGE", "FLAGS", "1"));
    ASSERT_TRUE(iniWrite(home.mainIni(), "SKINIMAGE", "IMAGE", "common/bg_1.png"));
    open();
    EXPECT_EQ(ui->backgroundImage("root"), "common/bg_1.png");
    ASSERT_TRUE(ui->userClick("skinbtn"));
    ASSERT_TRUE(ui->userClick("skin_reset"));
    EXPECT_EQ(ui->backgroundImage("root"), "common/background.png");
    EXPECT_EQ(skinValue(home.mainIni(), "FLAGS"), "0");
    EXPECT_EQ(skinValue(home.mainIni(), "IMAGE"), "common/background.png");
    close();
    open();
    EXPECT_EQ(ui->backgroundImage("root"), "common/background.png");
}

TEST_F(ShellWindowTest, SkinChooserClosesWhenTheUserTurnsElsewhere) {
    open();
    ui->setVisible("kb_tab", true);
    ASSERT_TRUE(ui->userClick("skinbtn"));
    EXPECT_TRUE(ui->visible("skin_frame"));
    ASSERT_TRUE(ui->userCheck("skin_color", true));
    EXPECT_TRUE(ui->visible("skin_frame"));
    ASSERT_TRUE(ui->userCheck("kb_tab", true));
    EXPECT_FALSE(ui->visible("skin_frame"));
    ASSERT_TRUE(ui->userClick("skinbtn"));
    ASSERT_TRUE(ui->userClick("skinbtn"));
    EXPECT_FALSE(ui->visible("skin_frame"));
}

class Recorder : public SkinChangeReceiver {
  public:
    explicit Recorder(std::vector<std::string>& log, std::string name)
        : log_(log), name_(std::move(name)) {}
    void receive(SkinChangedParam p) override {
        log_.push_back(name_ + ":" + (p.useColor ? std::to_string(p.color) : p.image));
    }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(SkinChange, ReceiversHearEachChangeInRegistrationOrderUntilTheyGo) {
    SkinChangeObserver observer;
    std::vector<std::string> log;
    Recorder a(log, "a");
    auto b = std::make_unique<Recorder>(log, "b");
    observer.add(*b);
    observer.add(a);
    observer.add(a);  // once only
    observer.broadcast({false, 0, "x.png"});
    EXPECT_EQ(log, (std::vector<std::string>{"b:x.png", "a:x.png"}));
    b.reset();  // leaves the observer itself
    log.clear();
    observer.broadcast({true, 5, {}});
    EXPECT_EQ(log, std::vector<std::string>{"a:5"});
    EXPECT_EQ(observer.receivers(), 1u);
}

TEST(SkinChange, ObserverGoingFirstLeavesNoDanglingReceiver) {
    std::vector<std::string> log;
    Recorder a(log, "a");
    {
        SkinChangeObserver observer;
        observer.add(a);
    }
    // a's destructor must not reach the gone observer (checked by the sanitizers).
}

}  // namespace
}  // namespace rxt::shell
