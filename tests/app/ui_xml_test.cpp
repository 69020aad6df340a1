// The skin folder's XML: the reader itself, and the index, language, menu
// and skin file readers built on it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/ui/skin_file.h"
#include "app/ui/skin_resources.h"
#include "app/ui/xml_reader.h"

using namespace rxt::ui;

namespace {

const std::string kSkin = std::string(RXT_TESTDATA_DIR) + "/skin-basic";

XmlElement parsed(std::string_view text) {
    XmlResult r = parseXml(text);
    EXPECT_TRUE(r.root) << r.error;
    return r.root ? *r.root : XmlElement{};
}

std::string errorOf(std::string_view text) {
    XmlResult r = parseXml(text);
    EXPECT_FALSE(r.root) << text;
    return r.error;
}

TEST(XmlReader, ElementsAttributesAndText) {
    const XmlElement root = parsed(
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!DOCTYPE x [<!ELEMENT a ANY>]>\n"
        "<!-- lead -->\n<a one='1' two=\"t&amp;w&lt;o\">x<b/>y<!-- c --><c k = \"v\">z</c>"
        "<![CDATA[<raw>&amp;]]></a>\n<!-- trail -->\n");
    EXPECT_EQ(root.name, "a");
    EXPECT_EQ(root.attributeOr("one", ""), "1");
    EXPECT_EQ(root.attributeOr("two", ""), "t&w<o");
    EXPECT_EQ(root.attributeOr("three", "none"), "none");
    EXPECT_EQ(root.text, "xy<raw>&amp;");
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].name, "b");
    ASSERT_NE(root.child("c"), nullptr);
    EXPECT_EQ(root.child("c")->attributeOr("k", ""), "v");
    EXPECT_EQ(root.child("c")->text, "z");
}

TEST(XmlReader, CharacterReferencesBecomeUtf8) {
    EXPECT_EQ(parsed("<a>&#65;&#x4e2d;&#x1F600;&quot;&apos;</a>").text,
              "A\xE4\xB8\xAD\xF0\x9F\x98\x80\"'");
    EXPECT_NE(errorOf("<a>&#xD800;</a>").find("out of range"), std::string::npos);
    EXPECT_NE(errorOf("<a>&#x110000;</a>").find("out of range"), std::string::npos);
    EXPECT_NE(errorOf("<a>&#0;</a>").find("out of range"), std::string::npos);
    EXPECT_NE(errorOf("<a>&nbsp;</a>").find("unknown entity"), std::string::npos);
    EXPECT_NE(errorOf("<a>&amp</a>").find("reference"), std::string::npos);
    EXPECT_NE(errorOf("<a>&#x;</a>").find("reference"), std::string::npos);
}

TEST(XmlReader, BadDocumentsNameTheirLine) {
    EXPECT_EQ(errorOf("<a>\n<b>\n</a>"), "line 3: </a> closes <b>");
    EXPECT_NE(errorOf("").find("no root"), std::string::npos);
    EXPECT_NE(errorOf("text").find("no root"), std::string::npos);
    EXPECT_NE(errorOf("<a></a><b/>").find("after the root"), std::string::npos);
    EXPECT_NE(errorOf("<a x=1/>").find("quoted value"), std::string::npos);
    EXPECT_NE(errorOf("<a x='1'y='2'/>").find("blank expected"), std::string::npos);
    EXPECT_NE(errorOf("<a x='<'/>").find("'<'"), std::string::npos);
    EXPECT_NE(errorOf("<a><!-- open").find("comment"), std::string::npos);
    EXPECT_NE(errorOf("<a><![CDATA[ open").find("CDATA"), std::string::npos);
    EXPECT_NE(errorOf("<a").find("unterminated"), std::string::npos);
    EXPECT_NE(errorOf("<a x='1").find("attribute x"), std::string::npos);
    EXPECT_NE(errorOf("<a>text").find("not closed"), std::string::npos);
    EXPECT_NE(errorOf("<>").find("name"), std::string::npos);
}

TEST(XmlReader, DeepNestingIsRefusedNotFollowed) {
    std::string deep;
    for (size_t i = 0; i < 100000; ++i) {
        deep += "<a>";
    }
    EXPECT_NE(errorOf(deep).find("too deeply"), std::string::npos);

    std::string fine;
    for (size_t i = 0; i < kMaxXmlDepth; ++i) {
        fine += "<a>";
    }
    for (size_t i = 0; i < kMaxXmlDepth; ++i) {
        fine += "</a>";
    }
    EXPECT_TRUE(parseXml(fine).root);
}

TEST(XmlReader, FilesInUtf16AndMissingFiles) {
    const auto dir = std::filesystem::temp_directory_path() / "rxt_ui_xml_test";
    std::filesystem::create_directories(dir);
    const std::string text = "<t key=\"k\">\xE4\xB8\xAD</t>";  // U+4E2D
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<t key=\"k\">")) {
        utf16 += c;
        utf16 += '\0';
    }
    utf16 += "\x2D\x4E";
    for (char c : std::string("</t>")) {
        utf16 += c;
        utf16 += '\0';
    }
    std::ofstream(dir / "u16.xml", std::ios::binary) << utf16;
    XmlResult r = readXmlFile((dir / "u16.xml").string());
    ASSERT_TRUE(r.root) << r.error;
    EXPECT_EQ(r.root->text, "\xE4\xB8\xAD");

    r = readXmlFile((dir / "none.xml").string());
    EXPECT_FALSE(r.root);
    EXPECT_NE(r.error.find("no such file"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(SkinResources, IndexLanguageAndMenuFiles) {
    const SkinIndex index = readSkinIndexFile(kSkin + "/res.xml");
    ASSERT_TRUE(index.error.empty()) << index.error;
    EXPECT_EQ(index.files.at("XML_MAIN"), "main.ui");
    EXPECT_EQ(index.files.at("XML_MSG"), "msgbox.ui");

    const LanguageTable en = readLanguageFile(kSkin + "/lan_en.xml");
    ASSERT_TRUE(en.error.empty()) << en.error;
    EXPECT_EQ(en.texts.at("message_text_1"), "Please connect a device & try again");
    const LanguageTable cn = readLanguageFile(kSkin + "/lan_cn.xml");
    EXPECT_EQ(cn.texts.at("dpi_color_text"), "颜色");  // from the text attribute
    EXPECT_EQ(cn.texts.at("skin_text"), "皮肤");

    EXPECT_FALSE(readLanguageFile(kSkin + "/lan_bad.xml").error.empty());
    EXPECT_FALSE(readLanguageFile(kSkin + "/lan_none.xml").error.empty());

    const MenuFile menu = readMenuFile(kSkin + "/menu1.xml");
    ASSERT_TRUE(menu.error.empty()) << menu.error;
    ASSERT_EQ(menu.entries.size(), 4u);
    EXPECT_EQ(menu.entries[0].name, "lan_en");
    EXPECT_EQ(menu.entries[0].textKey, "menu_lan_en");
    EXPECT_EQ(menu.entries[1].text, "中文");
    EXPECT_TRUE(menu.entries[2].separator);
    ASSERT_EQ(menu.entries[3].children.size(), 1u);
    EXPECT_EQ(menu.entries[3].children[0].name, "About_setting");
}

TEST(SkinResources, IndexAcceptsItsVariantsAndLaterEntriesWin) {
    const SkinIndex index = readSkinIndex(
        parsed("<res><group><file id='A' file='a.ui'/></group><file name='B'> b.ui </file>"
               "<file name='A' path='a2.ui'/><file name='' path='x.ui'/><file name='C'/></res>"));
    EXPECT_EQ(index.files.size(), 2u);
    EXPECT_EQ(index.files.at("A"), "a2.ui");
    EXPECT_EQ(index.files.at("B"), "b.ui");
}

TEST(SkinResources, SkinPathJoinsRelativeNamesOnly) {
    EXPECT_EQ(skinPath("/s", "main.ui"), "/s/main.ui");
    EXPECT_EQ(skinPath("/s/", "common/bg.png"), "/s/common/bg.png");
    EXPECT_EQ(skinPath("/s", "/home/u/pic.png"), "/home/u/pic.png");
}

TEST(SkinFile, ReadsWidgetsThroughLayoutsWithPropertiesAndItems) {
    const SkinFile skin = readSkinFile(kSkin + "/main.ui");
    ASSERT_TRUE(skin.error.empty()) << skin.error;
    EXPECT_EQ(skin.root.name, "root");
    EXPECT_EQ(skin.root.className, "QWidget");

    std::map<std::string, const SkinNode*> byName;
    std::function<void(const SkinNode&)> walk = [&](const SkinNode& n) {
        byName[n.name] = &n;
        for (const auto& c : n.children) {
            walk(c);
        }
    };
    walk(skin.root);
    ASSERT_TRUE(byName.count("ms_report_fct_combo"));
    const SkinNode& combo = *byName["ms_report_fct_combo"];
    ASSERT_EQ(combo.items.size(), 4u);
    EXPECT_EQ(combo.items[3].text, "1000Hz");
    EXPECT_EQ(*byName["skinbtn"]->property("textkey"), "skin_text");
    EXPECT_EQ(*byName["kb_tab"]->property("checkable"), "true");
    EXPECT_EQ(*byName["ms_DPI1_slider"]->property("maximum"), "100");
    EXPECT_EQ(*byName["ms_DPI1_slider"]->property("orientation"), "Qt::Horizontal");
    EXPECT_EQ(byName["ms_dpi_page"]->className, "MS_DPI_UI");
    // Pages of a stacked widget are its children, in order.
    const SkinNode& tabs = *byName["tab_switch"];
    ASSERT_EQ(tabs.children.size(), 2u);
    EXPECT_EQ(tabs.children[1].name, "page_ms");
    EXPECT_TRUE(byName.count("height3mm"));
}

TEST(SkinFile, ColoursAndBadFiles) {
    const SkinFile skin =
        readSkin(parsed("<ui><widget class='ColorPalette' name='p'><property name='color'>"
                        "<color alpha='128'><red>1</red><green>153</green><blue>203</blue></color>"
                        "</property></widget></ui>"));
    EXPECT_EQ(*skin.root.property("color"), "#800199CB");
    EXPECT_FALSE(readSkin(parsed("<ui><class>x</class></ui>")).error.empty());
    EXPECT_FALSE(readSkinFile(kSkin + "/none.ui").error.empty());
}

TEST(SkinFile, ClassKinds) {
    EXPECT_EQ(kindForClass("QPushButton", false), ControlKind::Button);
    EXPECT_EQ(kindForClass("QPushButton", true), ControlKind::Option);
    EXPECT_EQ(kindForClass("DeviceKeyButton", false), ControlKind::Button);
    EXPECT_EQ(kindForClass("QRadioButton", false), ControlKind::Option);
    EXPECT_EQ(kindForClass("QStackedWidget", false), ControlKind::Tabs);
    EXPECT_EQ(kindForClass("CircleProgress", false), ControlKind::Progress);
    EXPECT_EQ(kindForClass("ColorPalette", false), ControlKind::Palette);
    EXPECT_EQ(kindForClass("ChartView", false), ControlKind::Custom);
    EXPECT_EQ(kindForClass("MS_DPI_UI", false), ControlKind::Container);
}

}  // namespace
