// The virtual devices' command handling on their memory.

#include "sim/firmware.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "sim/factory_contents.h"

namespace rxt::sim {
namespace {

struct Exchange {
    FirmwareAnswer answer;
    std::vector<uint8_t> data;  // reply bytes 8..8+length
};

Exchange send(Firmware& fw, Command code, uint8_t length, uint16_t offset,
              std::vector<uint8_t> data = {}) {
    const Report r = buildCommandReport(static_cast<uint8_t>(code), length, offset, data);
    Exchange e{fw.handle(r, 0.0), {}};
    const size_t n = std::min<size_t>(length, kMaxChunk);
    e.data.assign(e.answer.reply.begin() + kDataOffset, e.answer.reply.begin() + kDataOffset + n);
    return e;
}

uint8_t status(const Exchange& e) {
    return e.answer.reply[7];
}

// What the host's chunked transfers do: 56-byte chunks from base.
std::vector<uint8_t> chunkedRead(Firmware& fw, Command code, uint16_t base, size_t total) {
    std::vector<uint8_t> out;
    for (size_t pos = 0; pos < total; pos += kMaxChunk) {
        const auto n = static_cast<uint8_t>(std::min(kMaxChunk, total - pos));
        const Exchange e = send(fw, code, n, static_cast<uint16_t>(base + pos));
        EXPECT_EQ(status(e), kStatusOk) << "chunk at " << base + pos;
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    return out;
}

bool chunkedWrite(Firmware& fw, Command code, uint16_t base, const std::vector<uint8_t>& bytes) {
    for (size_t pos = 0; pos < bytes.size(); pos += kMaxChunk) {
        const size_t n = std::min(kMaxChunk, bytes.size() - pos);
        std::vector<uint8_t> chunk(bytes.begin() + pos, bytes.begin() + pos + n);
        if (status(send(fw, code, static_cast<uint8_t>(n), static_cast<uint16_t>(base + pos),
                        chunk)) != kStatusOk) {
            return false;
        }
    }
    return true;
}

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) {
        v[i] = static_cast<uint8_t>(seed + i * 7);
    }
    return v;
}

TEST(FirmwareReplies, CarryReportIdEchoStatusAndData) {
    Firmware fw(DeviceKind::Mouse);
    const Exchange e = send(fw, Command::ReadRecord, 20, 64);
    const Report& r = e.answer.reply;
    EXPECT_EQ(r[0], kCommandReportId);
    EXPECT_EQ(r[3], static_cast<uint8_t>(Command::ReadRecord));
    EXPECT_EQ(r[4], 20);
    EXPECT_EQ(r[5], 64);
    EXPECT_EQ(r[6], 0);
    EXPECT_EQ(r[7], kStatusOk);
    const auto& rec = fw.memory().records;
    EXPECT_TRUE(std::equal(e.data.begin(), e.data.end(), rec.begin() + 64));
    EXPECT_EQ(r[8 + 20], 0) << "nothing after the data";
}

TEST(FirmwareInfo, MouseAndKeyboardRecordsHoldWhatTheHostReads) {
    Firmware mouse(DeviceKind::Mouse);
    const Exchange m = send(mouse, Command::ReadInfo, kInfoBytes, 0);
    ASSERT_EQ(status(m), kStatusOk);
    const uint16_t sensor = static_cast<uint16_t>(m.data[9] | m.data[10] << 8);
    const std::vector<uint16_t> sensors{0x3325, 0x3327, 0x3050, 0x3330, 0x3360, 0x3310};
    EXPECT_NE(std::find(sensors.begin(), sensors.end(), sensor), sensors.end());
    EXPECT_GT(m.data[11], 0) << "DPI increment";
    EXPECT_GT(m.data[kInfoMacroCapacityByte], 0);
    EXPECT_EQ(mouse.memory().macro.size(), m.data[kInfoMacroCapacityByte] * kMacroUnitBytes);

    Firmware kb(DeviceKind::Keyboard);
    const Exchange k = send(kb, Command::ReadInfo, kInfoBytes, 0);
    EXPECT_GT(k.data[kInfoKeyCountByte], 0);
    EXPECT_LE(k.data[kInfoKeyCountByte] * 3, 512) << "key table must fit 512 bytes";
    EXPECT_EQ(kb.memory().macro.size(), k.data[kInfoMacroCapacityByte] * kMacroUnitBytes);
}

TEST(FirmwareKeyTable, BlockReadInChunksGivesTheFactoryAssignments) {
    Firmware fw(DeviceKind::Mouse);
    const auto table = chunkedRead(fw, Command::ReadBlock, 0, 512);
    ASSERT_EQ(table.size(), 512u);
    // Left, middle, right, forward, back clicks; then two DPI functions.
    const std::vector<uint8_t> buttons{0x10, 0x01, 0,    0x10, 0x04, 0,    0x10, 0x02,
                                       0,    0x10, 0x10, 0,    0x10, 0x08, 0};
    EXPECT_TRUE(std::equal(buttons.begin(), buttons.end(), table.begin()));
    EXPECT_EQ(table[15], 0x13);
    EXPECT_EQ(table[18], 0x13);

    Firmware kb(DeviceKind::Keyboard);
    const auto kbTable = chunkedRead(kb, Command::ReadBlock, 0, 378);
    EXPECT_EQ(kbTable[3 * 64], 0x20) << "A is a key assignment";
    EXPECT_EQ(kbTable[3 * 64 + 2], 0x04) << "usage of A";
}

TEST(FirmwareBanks, WritesLandAtBankTimes126AndReadBack) {
    Firmware fw(DeviceKind::Mouse);
    const auto bank2 = pattern(126, 0x31);
    ASSERT_TRUE(chunkedWrite(fw, Command::WriteBank, 2 * 126, bank2));
    const auto& mem = fw.memory().banks;
    EXPECT_TRUE(std::equal(bank2.begin(), bank2.end(), mem.begin() + 252));
    // Position 112 of bank 2 is offset 364.
    EXPECT_EQ(mem[364], bank2[112]);
    // The banks beside it keep their own bytes.
    EXPECT_EQ(mem[251], factoryMemory(DeviceKind::Mouse).banks[251]);
    EXPECT_EQ(mem[378], factoryMemory(DeviceKind::Mouse).banks[378]);

    const auto back = chunkedRead(fw, Command::ReadBank, 2 * 126, 126);
    EXPECT_EQ(back, bank2);
}

TEST(FirmwareBanks, AWholeBlockFromEveryBankOffsetIsServed) {
    // The host reads its block size (512) from each bank's offset.
    for (DeviceKind kind : {DeviceKind::Mouse, DeviceKind::Keyboard}) {
        Firmware fw(kind);
        for (uint16_t bank = 0; bank <= 4; ++bank) {
            const auto bytes = chunkedRead(fw, Command::ReadBank, bank * 126, 512);
            EXPECT_EQ(bytes.size(), 512u);
        }
    }
}

TEST(FirmwareRecords, WriteReadBackAndProfileIndexGuard) {
    Firmware fw(DeviceKind::Mousepad);
    const auto rec = [&] {
        auto r = pattern(56, 9);
        r[0] = 3;  // the index byte
        return r;
    }();
    ASSERT_EQ(status(send(fw, Command::WriteRecord, 56, 0, rec)), kStatusOk);
    EXPECT_EQ(send(fw, Command::ReadRecord, 56, 0).data, rec);
    EXPECT_EQ(fw.currentProfile(), 3);

    // Record 4 is reachable, nothing past it.
    EXPECT_EQ(status(send(fw, Command::ReadRecord, 56, 256)), kStatusOk);
    EXPECT_EQ(status(send(fw, Command::ReadRecord, 1, 320)), kStatusRefused);

    const auto before = fw.memory().records;
    EXPECT_EQ(status(send(fw, Command::WriteRecord, 1, 0, {5})), kStatusRefused);
    EXPECT_EQ(fw.memory().records, before) << "a refused write changes nothing";
    EXPECT_EQ(fw.counters().outOfRange, 2u);
}

TEST(FirmwareRefusals, FramingFaultsAreRefusedCountedAndHarmless) {
    Firmware fw(DeviceKind::Mouse);
    const auto before = fw.memory().records;

    Report badSum = buildCommandReport(static_cast<uint8_t>(Command::WriteRecord), 4, 0,
                                       std::vector<uint8_t>{1, 2, 3, 4});
    badSum[1] ^= 0x01;
    EXPECT_EQ(fw.handle(badSum, 0).reply[7], kStatusRefused);

    Report badId = buildCommandReport(static_cast<uint8_t>(Command::WriteRecord), 4, 0,
                                      std::vector<uint8_t>{1, 2, 3, 4});
    badId[0] = 5;  // the checksum does not cover byte 0
    EXPECT_EQ(fw.handle(badId, 0).reply[7], kStatusRefused);

    Report tooLong = buildCommandReport(static_cast<uint8_t>(Command::ReadInfo), 57, 0);
    EXPECT_EQ(fw.handle(tooLong, 0).reply[7], kStatusRefused);

    const std::vector<uint8_t> shortMessage(63, 0);
    const FirmwareAnswer none = fw.handle(shortMessage, 0);
    EXPECT_FALSE(none.answered);

    EXPECT_EQ(fw.memory().records, before);
    const FirmwareCounters& c = fw.counters();
    EXPECT_EQ(c.badChecksum, 1u);
    EXPECT_EQ(c.badReportId, 1u);
    EXPECT_EQ(c.badLength, 1u);
    EXPECT_EQ(c.malformed, 1u);
    EXPECT_EQ(c.refused, 3u);
    EXPECT_EQ(c.accepted, 0u);
    EXPECT_EQ(c.requests, 4u);
}

TEST(FirmwareRefusals, OutsideTheAreaIsFFAndMissingMemoryOrCommandIsFE) {
    Firmware mouse(DeviceKind::Mouse);
    EXPECT_EQ(status(send(mouse, Command::ReadInfo, 33, 1)), kStatusRefused);
    EXPECT_EQ(status(send(mouse, Command::ReadInfo, 32, 1)), kStatusOk);
    EXPECT_EQ(status(send(mouse, Command::ReadBlock, 8, 508)), kStatusRefused);
    EXPECT_EQ(status(send(mouse, Command::ReadBank, 8, 1020)), kStatusRefused);
    EXPECT_EQ(status(send(mouse, Command::StreamFrame, 45, 0, pattern(45, 1))), kStatusRefusedOther)
        << "the mouse runs its own lighting";
    EXPECT_EQ(status(send(mouse, static_cast<Command>(0x42), 0, 0)), kStatusRefusedOther);

    Firmware pad(DeviceKind::Mousepad);
    EXPECT_EQ(status(send(pad, Command::ReadBlock, 56, 0)), kStatusRefusedOther);
    EXPECT_EQ(status(send(pad, Command::WriteBank, 3, 0, {1, 2, 3})), kStatusRefusedOther);
    EXPECT_EQ(status(send(pad, Command::WriteMacroData, 3, 0, {1, 2, 3})), kStatusRefusedOther);

    Firmware kb(DeviceKind::Keyboard);
    EXPECT_EQ(status(send(kb, Command::WriteCursorData, 3, 0, {1, 2, 3})), kStatusRefusedOther);
    EXPECT_EQ(kb.counters().unsupported, 1u);
}

TEST(FirmwareMacro, FillsUpToCapacityAndRefusesPastIt) {
    Firmware fw(DeviceKind::Mouse);
    const size_t capacity = fw.memory().info[kInfoMacroCapacityByte] * kMacroUnitBytes;
    const auto block = pattern(capacity, 0x55);
    ASSERT_TRUE(chunkedWrite(fw, Command::WriteMacroData, 0, block));
    EXPECT_EQ(fw.memory().macro, block);

    // A chunk that would end one byte past the capacity is refused whole.
    const auto lastByte = static_cast<uint16_t>(capacity - 1);
    EXPECT_EQ(status(send(fw, Command::WriteMacroData, 2, lastByte - 1, {1, 2})), kStatusOk);
    EXPECT_EQ(status(send(fw, Command::WriteMacroData, 2, lastByte, {9, 9})), kStatusRefused);
    EXPECT_EQ(fw.memory().macro[lastByte], 2);
}

TEST(FirmwareReset, RestoresTheFactoryContents) {
    Firmware fw(DeviceKind::Mouse);
    ASSERT_TRUE(chunkedWrite(fw, Command::WriteBank, 0, pattern(126, 1)));
    ASSERT_TRUE(chunkedWrite(fw, Command::WriteMacroData, 0, pattern(300, 2)));
    ASSERT_TRUE(chunkedWrite(fw, Command::WriteCursorData, 0, pattern(200, 3)));
    ASSERT_EQ(status(send(fw, Command::WriteRecord, 56, 0, pattern(56, 0))), kStatusOk);
    fw.stepDpiLevel();

    const Exchange r = send(fw, Command::ResetDevice, 0, 0);
    EXPECT_EQ(status(r), kStatusOk);
    const DeviceMemory factory = factoryMemory(DeviceKind::Mouse);
    EXPECT_EQ(fw.memory().banks, factory.banks);
    EXPECT_EQ(fw.memory().macro, factory.macro);
    EXPECT_EQ(fw.memory().cursor, factory.cursor);
    EXPECT_EQ(fw.memory().records, factory.records);
}

TEST(FirmwareFrames, KeyboardFrameIsCountedOncePerFrame) {
    Firmware fw(DeviceKind::Keyboard);
    const auto frame = pattern(378, 4);
    ASSERT_TRUE(chunkedWrite(fw, Command::StreamFrame, 0, frame));
    EXPECT_EQ(fw.memory().frame, frame);
    EXPECT_EQ(fw.frameStats().frames, 1u);
    EXPECT_EQ(fw.frameStats().chunks, 7u);
    EXPECT_EQ(fw.frameStats().lastFrameBytes, 378u);

    // A per-key value frame of 126 bytes: 3 chunks, a second frame.
    ASSERT_TRUE(chunkedWrite(fw, Command::StreamFrame, 0, pattern(126, 5)));
    EXPECT_EQ(fw.frameStats().frames, 2u);
    EXPECT_EQ(fw.frameStats().chunks, 10u);
    EXPECT_EQ(fw.frameStats().lastFrameBytes, 126u);

    // Past the 378-byte frame: refused and not counted.
    EXPECT_EQ(status(send(fw, Command::StreamFrame, 4, 376, {1, 2, 3, 4})), kStatusRefused);
    EXPECT_EQ(fw.frameStats().chunks, 10u);
}

TEST(FirmwareFrames, TimesTheGapsBetweenReportsOfOneFrameOnly) {
    Firmware fw(DeviceKind::Keyboard);
    const auto frame = pattern(378, 6);
    auto chunk = [&](uint16_t offset, double ms) {
        const auto n = static_cast<uint8_t>(std::min<size_t>(kMaxChunk, 378 - offset));
        const std::vector<uint8_t> part(frame.begin() + offset, frame.begin() + offset + n);
        fw.handle(buildCommandReport(static_cast<uint8_t>(Command::StreamFrame), n, offset, part),
                  ms);
    };
    // Two frames 2 ms apart, their reports 0.1 ms apart: the pause between
    // the frames is not an exchange.
    for (int f = 0; f < 2; ++f) {
        for (int i = 0; i < 7; ++i) {
            chunk(static_cast<uint16_t>(i * kMaxChunk), f * 2.0 + i * 0.1);
        }
    }
    const FrameStats s = fw.frameStats();
    EXPECT_EQ(s.frames, 2u);
    EXPECT_EQ(s.chunks, 14u);
    EXPECT_NEAR(s.inFrameMs / static_cast<double>(s.chunks - s.frames), 0.1, 1e-9);
}

TEST(FirmwareFrames, MousepadTakesBothFrameSizes) {
    Firmware fw(DeviceKind::Mousepad);
    EXPECT_TRUE(chunkedWrite(fw, Command::StreamFrame, 0, pattern(45, 1)));
    EXPECT_TRUE(chunkedWrite(fw, Command::StreamFrame, 0, pattern(60, 2)));
    EXPECT_EQ(fw.frameStats().frames, 2u);
    EXPECT_EQ(fw.frameStats().lastFrameBytes, 60u);
    EXPECT_FALSE(chunkedWrite(fw, Command::StreamFrame, 0, pattern(61, 3)));
}

TEST(FirmwareSession, BeginAndEndAreAccepted) {
    Firmware fw(DeviceKind::Keyboard);
    EXPECT_EQ(status(send(fw, Command::BeginSession, 0, 0)), kStatusOk);
    EXPECT_TRUE(fw.sessionOpen());
    EXPECT_EQ(status(send(fw, Command::EndSession, 0, 0)), kStatusOk);
    EXPECT_FALSE(fw.sessionOpen());
}

TEST(FirmwareActions, DpiLevelAndProfileWrapAround) {
    Firmware fw(DeviceKind::Mouse);
    EXPECT_EQ(fw.stepDpiLevel(6), 6);
    EXPECT_EQ(fw.stepDpiLevel(), 0);
    EXPECT_EQ(fw.memory().records[kActiveDpiByte], 0);
    EXPECT_EQ(fw.switchProfile(4), 4);
    EXPECT_EQ(fw.switchProfile(), 0);
    EXPECT_EQ(fw.memory().records[kRecordIndexByte], 0);

    Firmware kb(DeviceKind::Keyboard);
    kb.memory().records[kLightModeByte] = 16;
    EXPECT_EQ(kb.stepLightMode(), 0) << "the keyboard has 17 modes";
}

}  // namespace
}  // namespace rxt::sim
