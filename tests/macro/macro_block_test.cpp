// The macro block's bytes for the layouts whose figures are known, and the
// uploads on a fake device: what is sent, in which order, what a refusal or
// a missing device stops.

#include "macro/macro_block.h"

#include <gtest/gtest.h>

#include "macro/cursor_schemes.h"
#include "macro/macro_upload.h"
#include "platform/ini_file.h"
#include "support/fake_link_rig.h"
#include "support/test_folder.h"

namespace rxt {
namespace {

MacroAction step(uint16_t delay, uint8_t code, uint8_t value) {
    return {delay, code, value, static_cast<uint16_t>(code >> 7), "keyboard_key_A"};
}

TEST(MacroBlock, OneMacroOfThreeSteps) {
    const std::vector<std::vector<MacroAction>> macros{
        {step(100, 0x8A, 0x04), step(1000, 0x0A, 0x04), step(0x1234, 0x84, 7)}};
    const std::vector<uint8_t> b = encodeMacroBlock(macros);
    const std::vector<uint8_t> expected{0xAA, 0x55, 34,   0,    1, 0, 0, 0,
                                        0,    0,    0,    0,    0, 0, 0, 0,  // head
                                        18,   0,                             // offset of macro 0
                                        3,    0,    0,    0,                 // 3 steps
                                        100,  0,    0x8A, 0x04,              // step 0 at 22..25
                                        0xE8, 0x03, 0x0A, 0x04,              // 1000 ms
                                        0x34, 0x12, 0x84, 7};
    EXPECT_EQ(b, expected);
}

TEST(MacroBlock, EmptyMacroAndTwoSteps) {
    const std::vector<std::vector<MacroAction>> macros{{}, {step(5, 0x81, 1), step(6, 0x01, 1)}};
    const std::vector<uint8_t> b = encodeMacroBlock(macros);
    ASSERT_EQ(b.size(), 36u);
    EXPECT_EQ(b[2], 36);
    EXPECT_EQ(b[4], 2);
    EXPECT_EQ(b[16], 20);  // offsets 20 and 24
    EXPECT_EQ(b[18], 24);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 20, b.begin() + 24),
              (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 24, b.end()),
              (std::vector<uint8_t>{2, 0, 0, 0, 5, 0, 0x81, 1, 6, 0, 0x01, 1}));
    EXPECT_TRUE(encodeMacroBlock({}).empty());
    EXPECT_EQ(macroBlockSize(std::vector<size_t>{}), 0u);
}

TEST(MacroBlock, ExcessStepsAtTheCapacity) {
    EXPECT_EQ(excessSteps(128, 128), 0);
    EXPECT_EQ(excessSteps(132, 128), 2);
    EXPECT_EQ(excessSteps(129, 128), 1);
    EXPECT_EQ(excessSteps(136, 128), 3);
}

class Upload : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(rig.connect()); }

    void addMacro(const MacroCatalogue& c, int index, const std::string& name, int steps) {
        iniWrite(c.path(), "MACROCOUNT", "count", std::to_string(index + 1));
        iniWrite(c.path(), "MACRONAME", std::to_string(index), name);
        const auto file = c.macroFile(name);
        iniWrite(*file, "MACROACTIONCOUNT", "count", std::to_string(steps));
        for (int i = 0; i < steps; ++i) {
            iniWrite(*file, "MACROACTION", std::to_string(i), "232,3,138,4,1,keyboard_key_A");
        }
    }
    std::vector<uint8_t> codes() const {
        std::vector<uint8_t> out;
        for (const auto& r : rig.device.requests()) {
            out.push_back(r.code);
        }
        return out;
    }

    test::TempFolder home;
    test::ScopedEnv homeEnv{"HOME", home.path().string()};
    test::ScopedEnv configEnv{"XDG_CONFIG_HOME", (home.path() / ".config").string()};
    MacroCatalogue mouse{DeviceKind::Mouse};
    test::FakeLinkRig rig{DeviceKind::Mouse};
    std::vector<uint8_t> bank = std::vector<uint8_t>(126, 0x10);
};

TEST_F(Upload, BlockThenBankAndTheirBytes) {
    addMacro(mouse, 0, "one", 3);
    bank[3] = 0x70;
    const UploadResult r = UploadMacros(*rig.link, mouse, 1, 2, bank);
    ASSERT_TRUE(r.done()) << r.command;
    EXPECT_EQ(codes(), (std::vector<uint8_t>{1, 21, 2, 1, 9, 9, 9, 2}));
    const std::vector<uint8_t> block = rig.device.memory(21, 0, 34);
    EXPECT_EQ(block[0], 0xAA);
    EXPECT_EQ(block[22], 0xE8);
    EXPECT_EQ(block[23], 0x03);
    EXPECT_EQ(rig.device.memory(9, 2 * 126, 126), bank);
}

TEST_F(Upload, CapacityExactFitsAndFourMoreAreRefused) {
    // Macros of 0 and 25 steps: 16 + 4 + 4 + 4 + 100 = 128, one unit exactly.
    addMacro(mouse, 0, "empty", 0);
    addMacro(mouse, 1, "a", 25);
    const UploadResult fits = UploadMacros(*rig.link, mouse, 1, 0, bank);
    EXPECT_TRUE(fits.done());
    EXPECT_EQ(fits.blockSize, 128u);
    rig.device.clearRequests();
    // 0 and 26 steps: 132 bytes, two steps too many; nothing at all is sent.
    addMacro(mouse, 1, "a", 26);
    const UploadResult refused = UploadMacros(*rig.link, mouse, 1, 0, bank);
    EXPECT_EQ(refused.outcome, UploadOutcome::TooLarge);
    EXPECT_EQ(refused.excessSteps, 2);
    EXPECT_EQ(refused.message(), "message_text_16");
    EXPECT_EQ(rig.device.requestCount(), 0u);
}

TEST_F(Upload, NoMacrosStillSendsTheBank) {
    EXPECT_TRUE(UploadMacros(*rig.link, mouse, 4, 1, bank).done());
    EXPECT_EQ(codes(), (std::vector<uint8_t>{1, 9, 9, 9, 2}));
}

TEST_F(Upload, MissingMacroFileIsARecordOfNoSteps) {
    iniWrite(mouse.path(), "MACROCOUNT", "count", "1");
    iniWrite(mouse.path(), "MACRONAME", "0", "gone");
    const UploadResult r = UploadMacros(*rig.link, mouse, 1, 0, bank);
    EXPECT_TRUE(r.done());
    EXPECT_EQ(r.blockSize, 22u);
}

TEST_F(Upload, StopsAtTheFirstRefusedCommand) {
    addMacro(mouse, 0, "one", 3);
    // BeginSession served, WriteMacroData refused: nothing after it.
    rig.device.script({test::FakeReply::serve(), test::FakeReply::withStatus(0xFF)});
    const UploadResult r = UploadMacros(*rig.link, mouse, 1, 0, bank);
    EXPECT_EQ(r.outcome, UploadOutcome::Refused);
    EXPECT_EQ(r.command, "WriteMacroData");
    EXPECT_EQ(r.result, kResultRefused);
    EXPECT_EQ(codes(), (std::vector<uint8_t>{1, 21}));
    EXPECT_EQ(r.message(), "message_text_upload_refused");
}

TEST_F(Upload, SilentOrAbsentDeviceIsNoSuccess) {
    rig.device.setDefault(test::FakeReply::drop());
    const UploadResult silent = UploadMacros(*rig.link, mouse, 1, 0, bank);
    EXPECT_EQ(silent.outcome, UploadOutcome::NoAnswer);
    EXPECT_EQ(silent.command, "BeginSession");
    EXPECT_EQ(codes(), (std::vector<uint8_t>{1, 1, 1, 1}));
    rig.device.clearRequests();
    rig.link->setConnected(false);
    const UploadResult absent = UploadCursorSchemes(*rig.link, mouse);
    // No schemes in the catalogue: nothing to send, nothing failed.
    EXPECT_TRUE(absent.done());
    iniWrite(mouse.path(), "CURSORCOUNT", "count", "1");
    iniWrite(mouse.path(), "CURSORNAME", "0", "name_1");
    EXPECT_EQ(UploadCursorSchemes(*rig.link, mouse).outcome, UploadOutcome::NotConnected);
    EXPECT_EQ(rig.device.requestCount(), 0u);
}

TEST_F(Upload, CursorSchemesGoToTheCursorMemory) {
    iniWrite(mouse.path(), "CURSORCOUNT", "count", "2");
    iniWrite(mouse.path(), "CURSORNAME", "0", "name_1");
    iniWrite(mouse.path(), "CURSORNAME", "1", "name_2");
    const auto file = mouse.folder() / "name_2.cur";
    iniWrite(file, "MACROACTIONCOUNT", "count", "1");
    iniWrite(file, "MACROACTION", "0", "100,0,132,7,0,mouse_move_to_left_text");
    const UploadResult r = UploadCursorSchemes(*rig.link, mouse);
    ASSERT_TRUE(r.done());
    EXPECT_EQ(codes(), (std::vector<uint8_t>{1, 23, 2}));
    ASSERT_EQ(r.blockSize, 32u);
    EXPECT_EQ(rig.device.memory(23, 0, 28),
              (std::vector<uint8_t>{0xAA, 0x55, 32, 0, 2,  0, 0, 0, 0, 0, 0, 0, 0, 0,
                                    0,    0,    20, 0, 24, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(rig.device.memory(23, 28, 4), (std::vector<uint8_t>{100, 0, 0x84, 7}));
}

}  // namespace
}  // namespace rxt
