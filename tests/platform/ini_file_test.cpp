#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <thread>
#include <vector>

#include "support/test_folder.h"

namespace rxt {
namespace {

using test::readRaw;
using test::TempFolder;
using test::utf16le;
using test::writeRaw;

class IniFileTest : public ::testing::Test {
  protected:
    TempFolder dir;
    std::filesystem::path file = dir / "kbProfile.ini";
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(iniRead(file, "PROFILECOUNT", "count", "0"), "0");
    EXPECT_FALSE(iniFind(file, "PROFILECOUNT", "count"));
    writeRaw(file, "[PROFILECOUNT]\ncount=2\n");
    EXPECT_EQ(iniRead(file, "PROFILECOUNT", "count", "0"), "2");
    EXPECT_EQ(iniRead(file, "PROFILESELECT", "select", "0"), "0");
    EXPECT_EQ(iniRead(file, "PROFILECOUNT", "other", "dflt"), "dflt");
    EXPECT_EQ(iniRead(dir.path(), "PROFILECOUNT", "count", "x"), "x");  // a folder, not a file
}

TEST_F(IniFileTest, ReadsAreCappedAt259Characters) {
    const std::string longValue(400, 'a');
    writeRaw(file, "[S]\nk=" + longValue + "\n");
    EXPECT_EQ(iniRead(file, "S", "k", "0"), std::string(259, 'a'));
    EXPECT_EQ(iniRead(file, "S", "missing", longValue), std::string(259, 'a'));
    // Cut counts characters, never splitting one.
    std::string chinese;
    for (int i = 0; i < 300; ++i) {
        chinese += "游";
    }
    writeRaw(file, "[S]\nk=" + chinese + "\n");
    EXPECT_EQ(iniRead(file, "S", "k", "0"), chinese.substr(0, 259 * 3));
    // Characters outside the basic plane take two units of the buffer.
    std::string emoji = std::string(258, 'x') + "\xF0\x9F\x98\x80";
    writeRaw(file, "[S]\nk=" + emoji + "\n");
    EXPECT_EQ(iniRead(file, "S", "k", "0"), std::string(258, 'x'));
}

TEST_F(IniFileTest, ReadIntTakesLeadingDigits) {
    writeRaw(file, "[S]\na=42\nb= 7abc\nc=abc\nd=\ne=-5\nf=99999999999\n");
    EXPECT_EQ(iniReadInt(file, "S", "a", -1), 42);
    EXPECT_EQ(iniReadInt(file, "S", "b", -1), 7);
    EXPECT_EQ(iniReadInt(file, "S", "c", -1), 0);
    EXPECT_EQ(iniReadInt(file, "S", "d", -1), -1);
    EXPECT_EQ(iniReadInt(file, "S", "e", -1), 0);
    EXPECT_EQ(iniReadInt(file, "S", "f", -1), INT_MAX);
    EXPECT_EQ(iniReadInt(file, "S", "missing", -1), -1);
    EXPECT_EQ(iniReadInt(dir / "none.ini", "S", "a", 5), 5);
}

TEST_F(IniFileTest, WriteCreatesFileSectionAndKeyThenEditsInPlace) {
    ASSERT_TRUE(iniWrite(file, "PROFILECOUNT", "count", "1"));
    ASSERT_TRUE(iniWrite(file, "PROFILENAME", "0", "profile1"));
    ASSERT_TRUE(iniWrite(file, "PROFILESELECT", "select", "0"));
    ASSERT_TRUE(iniWrite(file, "profilecount", "COUNT", "2"));
    ASSERT_TRUE(iniWrite(file, "PROFILENAME", "1", "second"));
    EXPECT_EQ(readRaw(file),
              "[PROFILECOUNT]\ncount=2\n[PROFILENAME]\n0=profile1\n1=second\n"
              "[PROFILESELECT]\nselect=0\n");
    EXPECT_EQ(iniKeyNames(file, "profilename"), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(iniSectionNames(file),
              (std::vector<std::string>{"PROFILECOUNT", "PROFILENAME", "PROFILESELECT"}));
}

TEST_F(IniFileTest, WriteIntoMissingFolderFailsQuietly) {
    EXPECT_FALSE(iniWrite(dir / "no" / "such.ini", "S", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST_F(IniFileTest, RefusedWriteLeavesTheFileAlone) {
    writeRaw(file, "[S]\nk=v\n");
    EXPECT_FALSE(iniWrite(file, "S", "k", "evil\n[S]\nk=injected"));
    EXPECT_FALSE(iniWrite(file, "S", "a=b", "v"));
    EXPECT_EQ(readRaw(file), "[S]\nk=v\n");
}

TEST_F(IniFileTest, DeleteKeyAndSection) {
    writeRaw(file, "[A]\nx=1\ny=2\n[B]\nz=3\n");
    ASSERT_TRUE(iniDeleteKey(file, "a", "X"));
    EXPECT_EQ(readRaw(file), "[A]\ny=2\n[B]\nz=3\n");
    ASSERT_TRUE(iniDeleteSection(file, "b"));
    EXPECT_EQ(readRaw(file), "[A]\ny=2\n");
    // Deleting from a missing file creates nothing.
    EXPECT_TRUE(iniDeleteKey(dir / "none.ini", "A", "x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "none.ini"));
}

TEST_F(IniFileTest, ApplyWritesSeveralEditsAtOnceOrNone) {
    const std::vector<IniEdit> edits{{"S", "a", "1"}, {"S", "b", "2"}, {"T", std::nullopt, {}}};
    writeRaw(file, "[T]\nt=0\n");
    ASSERT_TRUE(iniApply(file, edits));
    EXPECT_EQ(readRaw(file), "[S]\na=1\nb=2\n");
    const std::vector<IniEdit> bad{{"S", "a", "9"}, {"S", "b", "x\ny"}};
    EXPECT_FALSE(iniApply(file, bad));
    EXPECT_EQ(iniRead(file, "S", "a", "0"), "1");
}

TEST_F(IniFileTest, WindowsCrLfFileIsReadAndRewrittenWithLfKeepingAllContent) {
    writeRaw(file,
             "; saved on Windows\r\n[PROFILENAME]\r\n0=Game\r\n\r\n[PROFILECOUNT]\r\ncount=1\r\n");
    EXPECT_EQ(iniRead(file, "PROFILENAME", "0", "0"), "Game");
    EXPECT_EQ(iniRead(file, "PROFILECOUNT", "count", "0"), "1");
    ASSERT_TRUE(iniWrite(file, "PROFILECOUNT", "count", "2"));
    EXPECT_EQ(readRaw(file),
              "; saved on Windows\n[PROFILENAME]\n0=Game\n\n[PROFILECOUNT]\ncount=2\n");
}

TEST_F(IniFileTest, WriteThatChangesNothingLeavesTheFileAsItWas) {
    const std::string original = "[S]\r\nk=1\r\n";
    writeRaw(file, original);
    ASSERT_TRUE(iniWrite(file, "S", "k", "1"));
    EXPECT_EQ(readRaw(file), original);
}

TEST_F(IniFileTest, Utf16LittleEndianFileWithChineseNames) {
    const std::string text =
        "[PROFILECOUNT]\r\ncount=2\r\n[PROFILENAME]\r\n0=游戏模式\r\n1=Büro \xF0\x9F\x8E\xAE\r\n"
        "[配置]\r\n名字=值\r\n";
    writeRaw(file, utf16le(text));
    EXPECT_EQ(iniRead(file, "PROFILENAME", "0", "0"), "游戏模式");
    EXPECT_EQ(iniRead(file, "profilename", "1", "0"), "Büro \xF0\x9F\x8E\xAE");
    EXPECT_EQ(iniRead(file, "配置", "名字", "0"), "值");
    EXPECT_EQ(iniReadInt(file, "PROFILECOUNT", "count", 0), 2);

    // A write turns it into UTF-8 with LF breaks, every other line kept.
    ASSERT_TRUE(iniWrite(file, "PROFILENAME", "2", "新的"));
    EXPECT_EQ(readRaw(file),
              "[PROFILECOUNT]\ncount=2\n[PROFILENAME]\n0=游戏模式\n1=Büro \xF0\x9F\x8E\xAE\n"
              "2=新的\n[配置]\n名字=值\n");
    EXPECT_EQ(iniRead(file, "PROFILENAME", "0", "0"), "游戏模式");
}

TEST_F(IniFileTest, Utf16FileWithBrokenSurrogatesOrOddLengthStillReads) {
    std::string bytes = utf16le("[S]\nk=ab\n");
    bytes.insert(bytes.size() - 2, "\x00\xD8", 2);  // lone high surrogate before the break
    bytes += 'x';                                   // odd trailing byte
    writeRaw(file, bytes);
    EXPECT_EQ(iniRead(file, "S", "k", "0"), "ab\xEF\xBF\xBD");
}

TEST_F(IniFileTest, Utf8ByteOrderMarkIsSkippedAndKept) {
    writeRaw(file, "\xEF\xBB\xBF[S]\nk=v\n");
    EXPECT_EQ(iniRead(file, "S", "k", "0"), "v");
    ASSERT_TRUE(iniWrite(file, "S", "k", "w"));
    EXPECT_EQ(readRaw(file), "\xEF\xBB\xBF[S]\nk=w\n");
}

TEST_F(IniFileTest, NothingIsCached) {
    writeRaw(file, "[S]\nk=1\n");
    EXPECT_EQ(iniRead(file, "S", "k", "0"), "1");
    writeRaw(file, "[S]\nk=2\n");
    EXPECT_EQ(iniRead(file, "S", "k", "0"), "2");
    std::filesystem::remove(file);
    EXPECT_EQ(iniRead(file, "S", "k", "0"), "0");
}

TEST_F(IniFileTest, ExistingFileThatCannotBeReadIsNeverReplaced) {
    // A folder where the file should be: the write must not clobber it.
    std::filesystem::create_directory(file);
    EXPECT_FALSE(iniWrite(file, "S", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(file));
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileWhole) {
    // A file-size limit below the new content makes the write fail the way a
    // full disk does; this holds even for root.
    const std::string original = "[S]\nk=old\n";
    writeRaw(file, original);
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = iniWrite(file, "S", "k", std::string(200, 'n'));
    setrlimit(RLIMIT_FSIZE, &old);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_FALSE(written);
    EXPECT_EQ(readRaw(file), original);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u) << "temporary file left behind";
}

TEST_F(IniFileTest, ConcurrentReadersAlwaysSeeACompleteValue) {
    // Values of two very different lengths: a torn file would show a mix or
    // a missing key.
    const std::string shortValue = "short";
    const std::string longValue(200, 'L');
    std::string padding;
    for (int i = 0; i < 200; ++i) {
        padding += "pad" + std::to_string(i) + "=" + std::string(20, 'p') + "\n";
    }
    writeRaw(file, "[A]\n" + padding + "[S]\nk=" + shortValue + "\n");

    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::atomic<int> reads{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const std::string v = iniRead(file, "S", "k", "missing");
                if (v != shortValue && v != longValue) {
                    ++bad;
                }
                ++reads;
            }
        });
    }
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(iniWrite(file, "S", "k", (i % 2) ? shortValue : longValue));
    }
    // Let the readers make some progress even on a busy machine.
    while (reads.load() < 100) {
        std::this_thread::yield();
    }
    stop = true;
    for (auto& t : readers) {
        t.join();
    }
    EXPECT_EQ(bad.load(), 0);
}

TEST_F(IniFileTest, ConcurrentWritersLoseNoKey) {
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                iniWrite(file, "S", std::to_string(t * 100 + i), "v");
            }
        });
    }
    for (auto& t : writers) {
        t.join();
    }
    EXPECT_EQ(iniKeyNames(file, "S").size(), 100u);
}

}  // namespace
}  // namespace rxt
