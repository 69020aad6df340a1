#include <gtest/gtest.h>

#include "platform/text_case.h"
#include "platform/text_encoding.h"

namespace rxt {
namespace {

TEST(TextCase, AsciiAndCommonAlphabetsFold) {
    EXPECT_TRUE(equalsIgnoreCase("Profile1.CONFIG", "profile1.config"));
    EXPECT_TRUE(equalsIgnoreCase("ÄÖÜÉÀ", "äöüéà"));
    EXPECT_TRUE(equalsIgnoreCase("ŁÓDŹ Ő", "łódź ő"));
    EXPECT_TRUE(equalsIgnoreCase("ΑΒΓ", "αβγ"));
    EXPECT_TRUE(equalsIgnoreCase("ПРОФИЛЬ Ё", "профиль ё"));
    EXPECT_TRUE(equalsIgnoreCase("ＡＢＣ", "ａｂｃ"));
    EXPECT_TRUE(equalsIgnoreCase("配置", "配置"));
    EXPECT_FALSE(equalsIgnoreCase("配置", "配值"));
    EXPECT_FALSE(equalsIgnoreCase("abc", "abcd"));
    EXPECT_FALSE(equalsIgnoreCase("abc", "ab"));
    EXPECT_FALSE(equalsIgnoreCase("×", "÷"));  // not a letter pair
    EXPECT_TRUE(equalsIgnoreCase("", ""));
}

TEST(TextCase, InvalidBytesCompareRaw) {
    EXPECT_TRUE(
        equalsIgnoreCase("a\xFF"
                         "B",
                         "A\xFF"
                         "b"));
    EXPECT_FALSE(equalsIgnoreCase("a\xFF", "a\xFE"));
    EXPECT_FALSE(equalsIgnoreCase("\xC3", "\xC3\xA4"));  // truncated sequence
}

TEST(TextCase, FoldAgreesWithComparison) {
    const char* names[] = {"Profile", "PROFILE", "ÄÖÜ", "äöü", "Σ",   "σ",
                           "İ",       "i",       "Ÿ",   "ÿ",   "\xFF"};
    for (const char* a : names) {
        for (const char* b : names) {
            EXPECT_EQ(equalsIgnoreCase(a, b), foldCase(a) == foldCase(b)) << a << " / " << b;
        }
    }
}

TEST(TextEncoding, DetectsByteOrderMarks) {
    size_t bom = 9;
    EXPECT_EQ(detectEncoding("[S]", &bom), TextEncoding::Utf8);
    EXPECT_EQ(bom, 0u);
    EXPECT_EQ(detectEncoding("\xEF\xBB\xBF[S]", &bom), TextEncoding::Utf8Bom);
    EXPECT_EQ(bom, 3u);
    EXPECT_EQ(detectEncoding("\xFF\xFE[\0", &bom), TextEncoding::Utf16Le);
    EXPECT_EQ(bom, 2u);
    EXPECT_EQ(detectEncoding("\xFE\xFF\0[", &bom), TextEncoding::Utf16Be);
    EXPECT_EQ(detectEncoding("", &bom), TextEncoding::Utf8);
}

TEST(TextEncoding, Utf16ConvertsWithSurrogatePairs) {
    // "A", U+6E38, U+1F3AE as little- and big-endian units.
    EXPECT_EQ(decodeText(std::string("\xFF\xFE"
                                     "A\0\x38\x6E\x3C\xD8\xAE\xDF",
                                     10)),
              "A\xE6\xB8\xB8\xF0\x9F\x8E\xAE");
    EXPECT_EQ(decodeText(std::string("\xFE\xFF\0A\x6E\x38\xD8\x3C\xDF\xAE", 10)),
              "A\xE6\xB8\xB8\xF0\x9F\x8E\xAE");
    // A low surrogate alone, and a high one at the end.
    EXPECT_EQ(utf16ToUtf8(std::string("\x00\xDC"
                                      "a\0\x00\xD8",
                                      6),
                          false),
              "\xEF\xBF\xBD"
              "a\xEF\xBF\xBD");
    EXPECT_EQ(decodeText("\xEF\xBB\xBFplain"), "plain");
}

TEST(TextEncoding, Utf8DecodingRejectsMalformedSequences) {
    EXPECT_EQ(decodeUtf8("\xE6\xB8\xB8", 0).codePoint, 0x6E38u);
    EXPECT_EQ(decodeUtf8("\xE6\xB8\xB8", 0).length, 3u);
    EXPECT_EQ(decodeUtf8("\xC0\x80", 0).codePoint, kInvalidCodePoint);      // overlong
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80", 0).codePoint, kInvalidCodePoint);  // surrogate
    EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80", 0).codePoint, kInvalidCodePoint);
    EXPECT_EQ(decodeUtf8("\xE6\xB8", 0).codePoint, kInvalidCodePoint);  // truncated
    EXPECT_EQ(decodeUtf8("\xE6\xB8", 0).length, 1u);
}

TEST(TextEncoding, PrefixWithinUtf16UnitsNeverSplitsACharacter) {
    EXPECT_EQ(prefixWithinUtf16Units("abc", 2), 2u);
    EXPECT_EQ(prefixWithinUtf16Units("游戏", 1), 3u);
    EXPECT_EQ(prefixWithinUtf16Units("a\xF0\x9F\x8E\xAE", 2), 1u);
    EXPECT_EQ(prefixWithinUtf16Units("a\xF0\x9F\x8E\xAE", 3), 5u);
    EXPECT_EQ(prefixWithinUtf16Units("\xFF\xFE", 1), 1u);
}

}  // namespace
}  // namespace rxt
