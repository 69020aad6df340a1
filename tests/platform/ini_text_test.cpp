#include "platform/ini_text.h"

#include <gtest/gtest.h>

namespace rxt {
namespace {

std::string valueOr(std::string_view text, std::string_view section, std::string_view key,
                    std::string_view fallback = "<missing>") {
    const auto v = findIniValue(text, section, key);
    return std::string(v ? *v : fallback);
}

std::string set(std::string_view text, std::string_view section, std::string_view key,
                std::string_view value) {
    return applyIniEdit(text, IniEdit{section, key, value});
}

TEST(IniTextRead, NamesCompareWithoutCaseAndValuesAreTrimmedAndUnquoted) {
    const std::string text =
        "[ProfileName]\n"
        "  Count =  3  \n"
        "a=\"quoted value\"\n"
        "b='single'\n"
        "c=\"mismatched'\n"
        "d=\"\"\n"
        "e=\"\n"
        "f=\"  keeps blanks  \"\n";
    EXPECT_EQ(valueOr(text, "PROFILENAME", "count"), "3");
    EXPECT_EQ(valueOr(text, "profilename", "COUNT"), "3");
    EXPECT_EQ(valueOr(text, "profilename", "a"), "quoted value");
    EXPECT_EQ(valueOr(text, "profilename", "b"), "single");
    EXPECT_EQ(valueOr(text, "profilename", "c"), "\"mismatched'");
    EXPECT_EQ(valueOr(text, "profilename", "d"), "");
    EXPECT_EQ(valueOr(text, "profilename", "e"), "\"");
    EXPECT_EQ(valueOr(text, "profilename", "f"), "  keeps blanks  ");
}

TEST(IniTextRead, ValueIsEverythingAfterTheFirstEquals) {
    const std::string text = "[S]\nk = a=b=c ; not a comment\n";
    EXPECT_EQ(valueOr(text, "S", "k"), "a=b=c ; not a comment");
}

TEST(IniTextRead, MissingSectionOrKeyIsReportedAsMissing) {
    const std::string text = "[A]\nx=1\n[B]\ny=2\n";
    EXPECT_EQ(valueOr(text, "C", "x"), "<missing>");
    EXPECT_EQ(valueOr(text, "A", "y"), "<missing>");  // y belongs to B only
    EXPECT_EQ(valueOr(text, "B", "y"), "2");
    EXPECT_EQ(valueOr("", "A", "x"), "<missing>");
}

TEST(IniTextRead, CommentsAndLinesBeforeAnySectionAreIgnored) {
    const std::string text =
        "x=before\n"
        "[S]\n"
        "; x=commented\n"
        "   ;y=also commented\n"
        "x=real\n";
    EXPECT_EQ(valueOr(text, "S", "x"), "real");
    EXPECT_EQ(valueOr(text, "S", "y"), "<missing>");
    EXPECT_EQ(valueOr(text, "", "x"), "<missing>");
}

TEST(IniTextRead, FirstOfDuplicateKeysAndSectionsWins) {
    const std::string text = "[S]\nk=first\nK=second\n[s]\nk=third\nonly=here\n";
    EXPECT_EQ(valueOr(text, "S", "k"), "first");
    // Only the first section of a name is read.
    EXPECT_EQ(valueOr(text, "S", "only"), "<missing>");
}

TEST(IniTextRead, CrLfLineBreaksAndBareKeys) {
    const std::string text = "[S]\r\nk=v\r\nbare\r\nlast=end";
    EXPECT_EQ(valueOr(text, "S", "k"), "v");
    EXPECT_EQ(valueOr(text, "S", "bare"), "");
    EXPECT_EQ(valueOr(text, "S", "last"), "end");
}

TEST(IniTextRead, SectionHeaderNameRunsToTheLastBracketAndIsTrimmed) {
    const std::string text = "[ a]b ]\nk=1\n[open\nk=2\n";
    EXPECT_EQ(valueOr(text, "a]b", "k"), "1");
    EXPECT_EQ(valueOr(text, "open", "k"), "2");
}

TEST(IniTextRead, NonAsciiNamesCompareWithoutCase) {
    const std::string text = "[ÄÖÜ Профиль]\nÉté=1\n[配置]\n名字=游戏\n";
    EXPECT_EQ(valueOr(text, "äöü профиль", "été"), "1");
    EXPECT_EQ(valueOr(text, "配置", "名字"), "游戏");
}

TEST(IniTextList, SectionsAndKeysInOrderEachOnce) {
    const std::string text = "k=0\n[B]\nz=1\nA=2\nz=3\n;c=4\nbare\n[a]\n[b]\nq=5\n";
    EXPECT_EQ(listIniSections(text), (std::vector<std::string>{"B", "a"}));
    EXPECT_EQ(listIniKeys(text, "b"), (std::vector<std::string>{"z", "A", "bare"}));
    EXPECT_TRUE(listIniKeys(text, "missing").empty());
}

TEST(IniTextWrite, ReplacesInPlaceKeepingEveryOtherLine) {
    const std::string text =
        "; catalogue\n"
        "[PROFILECOUNT]\n"
        "count=2\n"
        "\n"
        "; names follow\n"
        "[PROFILENAME]\n"
        "0=first\n"
        "1=second\n";
    EXPECT_EQ(set(text, "profilecount", "COUNT", "3"),
              "; catalogue\n"
              "[PROFILECOUNT]\n"
              "count=3\n"
              "\n"
              "; names follow\n"
              "[PROFILENAME]\n"
              "0=first\n"
              "1=second\n");
}

TEST(IniTextWrite, KeepsTheKeySpellingAndBlanksAroundEquals) {
    EXPECT_EQ(set("[S]\n  Key = old \n", "s", "key", "new"), "[S]\n  Key = new\n");
    EXPECT_EQ(set("[S]\nKey=\n", "S", "key", "v"), "[S]\nKey=v\n");
    EXPECT_EQ(set("[S]\nbare\n", "S", "BARE", "v"), "[S]\nbare=v\n");
}

TEST(IniTextWrite, NewKeyGoesAfterTheLastEntryOfItsSection) {
    const std::string text = "[A]\nx=1\n\n[B]\ny=2\n";
    EXPECT_EQ(set(text, "A", "z", "3"), "[A]\nx=1\nz=3\n\n[B]\ny=2\n");
    EXPECT_EQ(set(text, "B", "z", "3"), "[A]\nx=1\n\n[B]\ny=2\nz=3\n");
    EXPECT_EQ(set("[A]\n\n[B]\n", "A", "k", "v"), "[A]\nk=v\n\n[B]\n");
}

TEST(IniTextWrite, NewSectionIsAppended) {
    EXPECT_EQ(set("", "S", "k", "v"), "[S]\nk=v\n");
    EXPECT_EQ(set("[A]\nx=1\n", "S", "k", "v"), "[A]\nx=1\n[S]\nk=v\n");
    // A last line without a break gets one first.
    EXPECT_EQ(set("[A]\nx=1", "S", "k", "v"), "[A]\nx=1\n[S]\nk=v\n");
    EXPECT_EQ(set("[A]\nx=1", "A", "k", "v"), "[A]\nx=1\nk=v\n");
    EXPECT_EQ(set("[A]", "A", "k", "v"), "[A]\nk=v\n");
}

TEST(IniTextWrite, DuplicateSectionsAndKeysChangeTheFirstOnly) {
    EXPECT_EQ(set("[S]\nk=1\n[T]\n[S]\nk=2\n", "S", "k", "9"), "[S]\nk=9\n[T]\n[S]\nk=2\n");
    EXPECT_EQ(set("[S]\na=1\n[S]\nk=2\n", "S", "k", "9"), "[S]\na=1\nk=9\n[S]\nk=2\n");
    EXPECT_EQ(set("[S]\nk=1\nk=2\n", "S", "K", "9"), "[S]\nk=9\nk=2\n");
}

TEST(IniTextWrite, KeepsCrLfBreaksOfTheText) {
    EXPECT_EQ(set("[S]\r\nk=1\r\n", "S", "k", "2"), "[S]\r\nk=2\r\n");
    EXPECT_EQ(set("[S]\r\nk=1\r\n", "S", "n", "2"), "[S]\r\nk=1\r\nn=2\r\n");
}

TEST(IniTextWrite, ValuesThatWouldNotReadBackAreQuoted) {
    for (std::string_view value : {" lead", "trail ", "\"quoted\"", "'single'", "\t", "\"", "'",
                                   "a\"b", "", "plain", "x=y", "游戏 "}) {
        const std::string text = set("[S]\nk=old\n", "S", "k", value);
        EXPECT_EQ(valueOr(text, "S", "k"), value) << "value [" << value << "] as " << text;
    }
    EXPECT_EQ(set("", "S", "k", " x"), "[S]\nk=\" x\"\n");
    EXPECT_EQ(set("", "S", "k", "plain"), "[S]\nk=plain\n");
}

TEST(IniTextDelete, KeyRemovesEveryCopyInTheFirstSectionOnly) {
    const std::string text = "[S]\nk=1\nother=2\nK=3\n[T]\nk=4\n";
    EXPECT_EQ(applyIniEdit(text, IniEdit{"s", "k", std::nullopt}), "[S]\nother=2\n[T]\nk=4\n");
    EXPECT_EQ(applyIniEdit(text, IniEdit{"missing", "k", std::nullopt}), text);
}

TEST(IniTextDelete, SectionRemovesItsLinesAndEveryCopy) {
    const std::string text = "top\n[S]\nk=1\n; note\n[T]\nt=2\n[s]\nk=3\n";
    EXPECT_EQ(applyIniEdit(text, IniEdit{"S", std::nullopt, std::nullopt}), "top\n[T]\nt=2\n");
}

TEST(IniTextWrite, EditsThatWouldBreakTheLayoutAreRefused) {
    EXPECT_TRUE(isWritableIniEdit({"S", "k", "v"}));
    EXPECT_TRUE(isWritableIniEdit({"S", "k", std::nullopt}));
    EXPECT_TRUE(isWritableIniEdit({"S", std::nullopt, std::nullopt}));
    EXPECT_FALSE(isWritableIniEdit({"S", std::nullopt, "v"}));
    EXPECT_FALSE(isWritableIniEdit({"S", "k", "two\nlines"}));
    EXPECT_FALSE(isWritableIniEdit({"S", "k", "cr\r"}));
    EXPECT_FALSE(isWritableIniEdit({"S", "k", std::string_view("nul\0", 4)}));
    EXPECT_FALSE(isWritableIniEdit({"S\n[T]", "k", "v"}));
    EXPECT_FALSE(isWritableIniEdit({"S", "a=b", "v"}));
    EXPECT_FALSE(isWritableIniEdit({"S", "", "v"}));
    EXPECT_FALSE(isWritableIniEdit({"S", "  ", "v"}));
    EXPECT_FALSE(isWritableIniEdit({"S", "[k", "v"}));
    EXPECT_FALSE(isWritableIniEdit({"S", ";k", "v"}));
}

TEST(IniTextWrite, WrittenNamesReadBack) {
    std::string text;
    text = set(text, "HKEY_CURRENT_USER\\SOFTWARE\\Tarnvek", "LANGUAGE", "1010");
    text = set(text, "a]b", "k", "1");
    text = set(text, "  padded  ", "  key  ", "2");
    EXPECT_EQ(valueOr(text, "hkey_current_user\\software\\tarnvek", "language"), "1010");
    EXPECT_EQ(valueOr(text, "a]b", "k"), "1");
    EXPECT_EQ(valueOr(text, "padded", "key"), "2");
    // Writing again through differently spelt names changes, not duplicates.
    text = set(text, "PADDED", "KEY", "3");
    EXPECT_EQ(listIniKeys(text, "padded").size(), 1u);
    EXPECT_EQ(valueOr(text, "padded", "key"), "3");
}

}  // namespace
}  // namespace rxt
