// Loading catalogue entries into the images, saving the images into the
// selected entry, and what applying a loaded profile sends and shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "platform/debug_log.h"
#include "profile/profile_data.h"
#include "profile/profile_file.h"
#include "profile/profile_payload.h"
#include "state/write_back.h"
#include "support/fake_device_trio.h"
#include "support/profile_test_env.h"
#include "support/recording_ui.h"

namespace rxt {
namespace {

using test::FakeDeviceTrio;
using test::ProfileTestEnv;
using test::readRaw;
using test::ReceivedRequest;
using test::writeRaw;

constexpr uint8_t kWriteRecord = 6;
constexpr uint8_t kWriteBank = 9;

std::vector<uint8_t> ramp(size_t n, uint8_t start) {
    std::vector<uint8_t> v(n);
    std::iota(v.begin(), v.end(), start);
    return v;
}

ProfileCatalogue catalogue(DeviceKind d, ProfileKind k) {
    return *ProfileCatalogue::find(d, k);
}

class ProfileDataTest : public ::testing::Test {
  protected:
    ProfileDataTest() { ctx = env.context(); }

    // One entry "name" selected in the catalogue, with a data file holding payload.
    void entry(const ProfileCatalogue& c, const std::string& name,
               const std::vector<uint8_t>& payload) {
        ASSERT_TRUE(c.WriteCount(1));
        ASSERT_TRUE(c.WriteName(0, name));
        ASSERT_TRUE(c.WriteSelect(0));
        ASSERT_TRUE(WriteProfileFile(*c.dataFile(name), payload, c.kindCode()));
    }

    std::vector<uint8_t> fileOf(const ProfileCatalogue& c, const std::string& name) {
        const std::string raw = readRaw(c.folder() / (name + std::string(c.extension())));
        return raw.size() < 16 ? std::vector<uint8_t>{}
                               : std::vector<uint8_t>(raw.begin() + 16, raw.end());
    }

    ProfileTestEnv env;
    ProfileContext ctx;
    ProfileCatalogue msDevice = catalogue(DeviceKind::Mouse, ProfileKind::Device);
    ProfileCatalogue msLighting = catalogue(DeviceKind::Mouse, ProfileKind::Lighting);
    ProfileCatalogue msKey = catalogue(DeviceKind::Mouse, ProfileKind::Key);
    ProfileCatalogue kbDevice = catalogue(DeviceKind::Keyboard, ProfileKind::Device);
    ProfileCatalogue kbLighting = catalogue(DeviceKind::Keyboard, ProfileKind::Lighting);
    ProfileCatalogue kbKey = catalogue(DeviceKind::Keyboard, ProfileKind::Key);
    ProfileCatalogue mpLighting = catalogue(DeviceKind::Mousepad, ProfileKind::Lighting);
};

// ---- loading ---------------------------------------------------------------

TEST_F(ProfileDataTest, MouseLightingLoadTakesRecordAndHostValuesWithZeroAsOne) {
    std::vector<uint8_t> record = ramp(64, 1);
    record[payload::kPointerSpeedByte] = 0;
    record[payload::kWheelLinesByte] = 0;
    entry(msLighting, "calm", record);

    ASSERT_EQ(LoadProfileData(ctx, msLighting, 0), kProfileRead);
    const auto rec0 = env.images.mouse.record(0);
    EXPECT_TRUE(std::equal(rec0.begin(), rec0.end(), record.begin()));
    const auto current = env.images.mouse.current.snapshot();
    EXPECT_TRUE(std::equal(current.begin(), current.end(), record.begin()));
    EXPECT_EQ(env.host.pointerSpeed.load(), 1);
    EXPECT_EQ(env.host.wheelLines.load(), 1);

    // Values out of range load clamped.
    record[payload::kPointerSpeedByte] = 250;
    record[payload::kWheelLinesByte] = 200;
    ASSERT_TRUE(WriteProfileFile(*msLighting.dataFile("calm"), record, 2));
    ASSERT_EQ(LoadProfileData(ctx, msLighting, 0), kProfileRead);
    EXPECT_EQ(env.host.pointerSpeed.load(), 20);
    EXPECT_EQ(env.host.wheelLines.load(), 100);
}

TEST_F(ProfileDataTest, MouseDeviceLoadKeepsTheDesktopPointerSettings) {
    ASSERT_TRUE(env.pointer().setPointerSpeed(7));
    ASSERT_TRUE(env.pointer().setWheelScrollLines(5));
    std::vector<uint8_t> payload = ramp(576, 3);
    payload[512 + payload::kPointerSpeedByte] = 18;
    payload[512 + payload::kWheelLinesByte] = 40;
    entry(msDevice, "fps", payload);

    ASSERT_EQ(LoadProfileData(ctx, msDevice, 0), kProfileRead);
    const auto bank = env.images.mouse.banks[0].snapshot();
    EXPECT_TRUE(std::equal(bank.begin(), bank.end(), payload.begin()));
    const auto rec0 = env.images.mouse.record(0);
    EXPECT_TRUE(std::equal(rec0.begin(), rec0.end(), payload.begin() + 512));
    const auto current = env.images.mouse.current.snapshot();
    EXPECT_TRUE(std::equal(current.begin(), current.end(), payload.begin() + 512));
    EXPECT_EQ(env.host.pointerSpeed.load(), 7);
    EXPECT_EQ(env.host.wheelLines.load(), 5);
    EXPECT_EQ(env.pointer().pointerSpeed(), 7);
    EXPECT_EQ(env.pointer().wheelScrollLines(), 5);
    // Other banks are not part of a profile.
    EXPECT_EQ(env.images.mouse.banks[1].get(0), 0);
}

TEST_F(ProfileDataTest, KeyboardDeviceFileOfTheKeyTableExportLoadsZeroLighting) {
    env.images.keyboard.current.fill(0x77);
    env.layouts.layouts.fill(0x66);
    env.layouts.index.store(3);
    // What the export of the default key table writes: 512 payload bytes.
    entry(kbDevice, "exported", ramp(512, 9));
    ASSERT_EQ(LoadProfileData(ctx, kbDevice, 0), kProfileRead);
    const auto bank = env.images.keyboard.banks[0].snapshot();
    const auto expected = ramp(512, 9);
    EXPECT_TRUE(std::equal(bank.begin(), bank.end(), expected.begin()));
    const auto current = env.images.keyboard.current.snapshot();
    EXPECT_TRUE(
        std::all_of(current.begin(), current.begin() + 21, [](uint8_t b) { return b == 0; }));
    // Past the 21 bytes of the keyboard's record, the current image is not its own.
    EXPECT_EQ(current[21], 0x77);
    const auto layouts = env.layouts.layouts.snapshot();
    EXPECT_TRUE(std::all_of(layouts.begin(), layouts.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(env.layouts.index.load(), 0);
}

TEST_F(ProfileDataTest, KeyboardLightingLoadsIndexAndLayoutsAndKeepsABadIndexInRange) {
    std::vector<uint8_t> payload = ramp(1958, 0);
    payload[64] = 2;
    payload[65] = payload[66] = payload[67] = 0;
    entry(kbLighting, "rainbow", payload);
    ASSERT_EQ(LoadProfileData(ctx, kbLighting, 0), kProfileRead);
    EXPECT_EQ(env.layouts.index.load(), 2);
    EXPECT_EQ(env.layouts.layouts.get(0), payload[68]);
    EXPECT_EQ(env.layouts.layouts.get(1889), payload[1957]);
    EXPECT_EQ(env.images.keyboard.current.get(rec::kLightMode), payload[1]);

    payload[64] = 7;
    ASSERT_TRUE(WriteProfileFile(*kbLighting.dataFile("rainbow"), payload, 1));
    ASSERT_EQ(LoadProfileData(ctx, kbLighting, 0), kProfileRead);
    EXPECT_EQ(env.layouts.index.load(), 0);
    payload[64] = 1;
    payload[67] = 1;  // 0x01000001
    ASSERT_TRUE(WriteProfileFile(*kbLighting.dataFile("rainbow"), payload, 1));
    ASSERT_EQ(LoadProfileData(ctx, kbLighting, 0), kProfileRead);
    EXPECT_EQ(env.layouts.index.load(), 0);
}

TEST_F(ProfileDataTest, FailedLoadsChangeNoImageAndSaySo) {
    env.images.mousepad.records.fill(0x11);
    env.images.mousepad.current.fill(0x22);
    ASSERT_TRUE(mpLighting.WriteCount(2));
    ASSERT_TRUE(mpLighting.WriteName(0, "gone"));
    ASSERT_TRUE(mpLighting.WriteName(1, "broken"));
    writeRaw(env.folder("mp") / "broken.led", std::string("\x55\xAA", 2) + std::string(78, 1));

    setDebugLogEnabled(true);
    testing::internal::CaptureStderr();
    const int missing = LoadProfileData(ctx, mpLighting, 0);
    const int bad = LoadProfileData(ctx, mpLighting, 1);
    const std::string log = testing::internal::GetCapturedStderr();
    setDebugLogEnabled(false);

    EXPECT_EQ(missing, kProfileMissing);
    EXPECT_EQ(bad, kProfileBadFormat);
    EXPECT_NE(log.find("配置文件丢失"), std::string::npos);
    EXPECT_NE(log.find("配置文件格式错误"), std::string::npos);
    EXPECT_EQ(env.images.mousepad.records.get(0), 0x11);
    EXPECT_EQ(env.images.mousepad.current.get(1), 0x22);
}

TEST_F(ProfileDataTest, ANameThatWouldLeaveTheFolderIsNotRead) {
    // A file outside the profile folder that an edited catalogue points at.
    std::filesystem::create_directories(env.dataFolder());
    ASSERT_TRUE(WriteProfileFile(env.dataFolder() / "outside.led", ramp(64, 1), 3));
    ASSERT_TRUE(mpLighting.WriteCount(1));
    ASSERT_TRUE(mpLighting.WriteName(0, "../outside"));
    EXPECT_EQ(LoadProfileData(ctx, mpLighting, 0), kProfileMissing);
    EXPECT_EQ(env.images.mousepad.current.get(1), 0);
    EXPECT_FALSE(SaveSelectedProfile(ctx, mpLighting));
    EXPECT_EQ(readRaw(env.dataFolder() / "outside.led").substr(16, 1), "\x01");
}

// ---- saving ------------------------------------------------------------------

TEST_F(ProfileDataTest, MouseSaveRefreshesTheStoredRecordFromCurrentAndHost) {
    entry(msDevice, "fps", std::vector<uint8_t>(576, 0));
    entry(msLighting, "calm", std::vector<uint8_t>(64, 0));
    env.images.mouse.setRecord(0, ramp(64, 100));
    env.images.mouse.current.copyIn(0, ramp(52, 1));
    env.images.mouse.banks[0].copyIn(0, ramp(512, 50));
    env.host.pointerSpeed.store(14);
    env.host.wheelLines.store(6);

    ASSERT_TRUE(SaveSelectedProfile(ctx, msDevice));
    ASSERT_TRUE(SaveSelectedProfile(ctx, msLighting));
    std::vector<uint8_t> record = ramp(52, 1);
    record.push_back(14);
    record.push_back(6);
    const auto tail = ramp(64, 100);
    record.insert(record.end(), tail.begin() + 54, tail.end());

    const std::vector<uint8_t> device = fileOf(msDevice, "fps");
    ASSERT_EQ(device.size(), 576u);
    const auto bank = ramp(512, 50);
    EXPECT_TRUE(std::equal(bank.begin(), bank.end(), device.begin()));
    EXPECT_EQ(std::vector<uint8_t>(device.begin() + 512, device.end()), record);
    EXPECT_EQ(fileOf(msLighting, "calm"), record);
    // The image's record 0 now holds what was saved.
    const auto rec0 = env.images.mouse.record(0);
    EXPECT_EQ(std::vector<uint8_t>(rec0.begin(), rec0.end()), record);
}

TEST_F(ProfileDataTest, SmallRecordsReplaceOnlyTheirTwentyOneBytes) {
    entry(mpLighting, "pad", std::vector<uint8_t>(64, 0));
    env.images.mousepad.setRecord(0, std::vector<uint8_t>(64, 0xAB));
    env.images.mousepad.current.copyIn(0, ramp(21, 1));
    ASSERT_TRUE(SaveSelectedProfile(ctx, mpLighting));
    std::vector<uint8_t> expected = ramp(21, 1);
    expected.resize(64, 0xAB);
    EXPECT_EQ(fileOf(mpLighting, "pad"), expected);
}

TEST_F(ProfileDataTest, KeyboardSavesAndLoadsRoundTrip) {
    entry(kbDevice, "work", std::vector<uint8_t>(2470, 0));
    entry(kbLighting, "glow", std::vector<uint8_t>(1958, 0));
    entry(kbKey, "keys", std::vector<uint8_t>(512, 0));
    env.images.keyboard.banks[0].copyIn(0, ramp(512, 5));
    env.images.keyboard.setRecord(0, std::vector<uint8_t>(64, 0xC0));
    env.images.keyboard.current.copyIn(0, ramp(21, 40));
    env.layouts.index.store(4);
    env.layouts.layouts.copyIn(0, ramp(1890, 7));
    ASSERT_TRUE(SaveSelectedProfile(ctx, kbDevice));
    ASSERT_TRUE(SaveSelectedProfile(ctx, kbLighting));
    ASSERT_TRUE(SaveSelectedProfile(ctx, kbKey));

    const std::vector<uint8_t> device = fileOf(kbDevice, "work");
    const std::vector<uint8_t> lighting = fileOf(kbLighting, "glow");
    ASSERT_EQ(device.size(), 2470u);
    EXPECT_EQ(std::vector<uint8_t>(device.begin() + 512, device.end()), lighting);
    EXPECT_EQ(fileOf(kbKey, "keys"), std::vector<uint8_t>(device.begin(), device.begin() + 512));
    EXPECT_EQ(lighting[64], 4);
    EXPECT_EQ(lighting[1], 41);
    EXPECT_EQ(lighting[21], 0xC0);
    EXPECT_EQ(lighting[68], 7);

    // Into fresh images.
    DeviceImageSet images;
    KeyboardCustomLayouts layouts;
    ProfileContext otherCtx = ctx;
    otherCtx.images = &images;
    otherCtx.layouts = &layouts;
    ASSERT_EQ(LoadProfileData(otherCtx, kbDevice, 0), kProfileRead);
    EXPECT_EQ(images.keyboard.banks[0].snapshot(), env.images.keyboard.banks[0].snapshot());
    EXPECT_EQ(images.keyboard.record(0), env.images.keyboard.record(0));
    EXPECT_EQ(layouts.layouts.snapshot(), env.layouts.layouts.snapshot());
    EXPECT_EQ(layouts.index.load(), 4);
}

TEST_F(ProfileDataTest, SavingWithSelectPastTheEndWritesTheDefaultName) {
    entry(mpLighting, "only", std::vector<uint8_t>(64, 0));
    ASSERT_TRUE(mpLighting.WriteSelect(5));
    ASSERT_TRUE(SaveSelectedProfile(ctx, mpLighting));
    EXPECT_TRUE(std::filesystem::is_regular_file(env.folder("mp") / "0.led"));
}

TEST_F(ProfileDataTest, SaveGoesToTheRememberedEntryAndNeverTouchesOthers) {
    ASSERT_TRUE(msKey.WriteCount(2));
    ASSERT_TRUE(msKey.WriteName(0, "a"));
    ASSERT_TRUE(msKey.WriteName(1, "b"));
    ASSERT_TRUE(msKey.WriteSelect(1));
    env.images.mouse.banks[0].copyIn(0, ramp(512, 1));
    ASSERT_TRUE(SaveSelectedProfile(ctx, msKey));
    EXPECT_EQ(fileOf(msKey, "b").size(), 512u);
    EXPECT_FALSE(std::filesystem::exists(env.folder("ms") / "a.pro"));
}

// ---- applying ------------------------------------------------------------------

class ApplyTest : public ProfileDataTest {
  protected:
    ApplyTest() {
        for (DeviceKind kind : kAllDeviceKinds) {
            EXPECT_TRUE(trio.connect(kind));
        }
        ctx.links = trio.links.get();
        ctx.writeBack = &writeBack;
        ctx.report = [this](const WindowEvent& e) {
            if (const auto* refresh = std::get_if<event::PageRefresh>(&e)) {
                pages.push_back(refresh->page);
            } else {
                shown.push_back(describe(e));
            }
        };
    }

    std::vector<ReceivedRequest> sent(DeviceKind kind, uint8_t code) {
        std::vector<ReceivedRequest> out;
        for (const ReceivedRequest& r : trio.device(kind).requests()) {
            if (r.code == code) {
                out.push_back(r);
            }
        }
        return out;
    }

    FakeDeviceTrio trio;
    test::RecordingUi reactions;
    WriteBack writeBack{*trio.links, env.images, reactions};
    std::vector<Page> pages;
    // What else the apply reported for the pages to show.
    std::vector<std::string> shown;
};

TEST_F(ApplyTest, MouseDeviceSendsRecordAndOwnBankAndAppliesThePointer) {
    ASSERT_TRUE(env.pointer().setPointerSpeed(12));
    ASSERT_TRUE(env.pointer().setWheelScrollLines(4));
    std::vector<uint8_t> payload = ramp(576, 1);
    entry(msDevice, "fps", payload);
    ASSERT_EQ(LoadProfileData(ctx, msDevice, 0), kProfileRead);
    trio.device(DeviceKind::Mouse).setMemory(kWriteBank, 126, std::vector<uint8_t>(64, 0xEE));
    ApplyLoadedProfile(ctx, msDevice);

    const auto records = sent(DeviceKind::Mouse, kWriteRecord);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].length, 52);
    EXPECT_EQ(records[0].offset, 0);
    EXPECT_EQ(records[0].data, std::vector<uint8_t>(payload.begin() + 512, payload.begin() + 564));

    // Bank 0's own 126 bytes; the next bank on the device is left alone.
    const auto bank = trio.device(DeviceKind::Mouse).memory(kWriteBank, 0, 190);
    EXPECT_EQ(std::vector<uint8_t>(bank.begin(), bank.begin() + 126),
              std::vector<uint8_t>(payload.begin(), payload.begin() + 126));
    EXPECT_EQ(std::vector<uint8_t>(bank.begin() + 126, bank.end()), std::vector<uint8_t>(64, 0xEE));

    EXPECT_TRUE(writeBack.pending(DeviceKind::Mouse));
    EXPECT_EQ(pages, (std::vector<Page>{Page::MouseMain, Page::MouseKeys}));
    EXPECT_EQ(shown, (std::vector<std::string>{"pointer slider 5", "wheel lines 4"}));
    EXPECT_EQ(env.pointer().pointerSpeed(), 12);
    EXPECT_EQ(env.pointer().wheelScrollLines(), 4);
    EXPECT_TRUE(sent(DeviceKind::Keyboard, kWriteBank).empty());
}

TEST_F(ApplyTest, MouseLightingShowsTheSpeedAppliesOnlyTheWheel) {
    ASSERT_TRUE(env.pointer().setPointerSpeed(10));
    std::vector<uint8_t> record(64, 0);
    record[payload::kPointerSpeedByte] = 20;
    record[payload::kWheelLinesByte] = 8;
    entry(msLighting, "calm", record);
    ASSERT_EQ(LoadProfileData(ctx, msLighting, 0), kProfileRead);
    ApplyLoadedProfile(ctx, msLighting);

    EXPECT_EQ(shown, (std::vector<std::string>{"pointer slider 9", "wheel lines 8"}));
    EXPECT_EQ(env.pointer().pointerSpeed(), 10);
    EXPECT_EQ(env.pointer().wheelScrollLines(), 8);
    EXPECT_TRUE(writeBack.pending(DeviceKind::Mouse));
    EXPECT_EQ(pages, std::vector<Page>{Page::MouseMain});
    EXPECT_TRUE(trio.device(DeviceKind::Mouse).requests().empty());
}

TEST_F(ApplyTest, KeyProfilesCloseTheFunctionPanelAndSendTheBank) {
    entry(kbKey, "keys", ramp(512, 2));
    trio.link(DeviceKind::Keyboard).setBlockSize(3 * 104);
    ASSERT_EQ(LoadProfileData(ctx, kbKey, 0), kProfileRead);
    ApplyLoadedProfile(ctx, kbKey);

    // Only the keyboard's panel closes, and is disabled too.
    EXPECT_EQ(shown, std::vector<std::string>{"hide keyboard function panel disabled"});
    size_t total = 0;
    for (const ReceivedRequest& r : sent(DeviceKind::Keyboard, kWriteBank)) {
        total += r.length;
    }
    EXPECT_EQ(total, 312u);
    const auto bank = trio.device(DeviceKind::Keyboard).memory(kWriteBank, 0, 312);
    const auto expected = ramp(312, 2);
    EXPECT_EQ(bank, expected);
    EXPECT_FALSE(writeBack.pending(DeviceKind::Keyboard));
    EXPECT_EQ(pages, std::vector<Page>{Page::KeyboardKeys});

    shown.clear();
    ApplyLoadedProfile(ctx, msKey);
    EXPECT_EQ(shown, std::vector<std::string>{"hide mouse function panel disabled"});
}

TEST_F(ApplyTest, LightingProfilesOnlyMarkTheWriteBack) {
    entry(mpLighting, "pad", ramp(64, 1));
    ASSERT_EQ(LoadProfileData(ctx, mpLighting, 0), kProfileRead);
    ApplyLoadedProfile(ctx, mpLighting);
    ApplyLoadedProfile(ctx, kbLighting);
    EXPECT_TRUE(writeBack.pending(DeviceKind::Mousepad));
    EXPECT_TRUE(writeBack.pending(DeviceKind::Keyboard));
    EXPECT_EQ(pages, (std::vector<Page>{Page::MousepadLighting, Page::KeyboardLighting}));
    for (DeviceKind kind : kAllDeviceKinds) {
        EXPECT_TRUE(trio.device(kind).requests().empty());
    }
    // The write-back then sends the loaded record.
    writeBack.tick();
    const auto records = sent(DeviceKind::Mousepad, kWriteRecord);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(records[0].data.begin(), records[0].data.begin() + 21),
              ramp(21, 1));
}

TEST_F(ApplyTest, KeyboardDeviceAfterAFailedLoadSendsTheImagesAsTheyWere) {
    env.images.keyboard.banks[0].copyIn(0, ramp(512, 90));
    trio.link(DeviceKind::Keyboard).setBlockSize(126);
    ASSERT_TRUE(kbDevice.WriteCount(1));
    ASSERT_TRUE(kbDevice.WriteName(0, "missing"));
    EXPECT_EQ(LoadProfileData(ctx, kbDevice, 0), kProfileMissing);
    ApplyLoadedProfile(ctx, kbDevice);
    EXPECT_EQ(trio.device(DeviceKind::Keyboard).memory(kWriteBank, 0, 126), ramp(126, 90));
    EXPECT_TRUE(writeBack.pending(DeviceKind::Keyboard));
    EXPECT_EQ(pages, (std::vector<Page>{Page::KeyboardLighting, Page::KeyboardKeys}));
}

TEST_F(ApplyTest, WithoutDevicesNothingIsSentAndNothingFails) {
    ProfileContext bare = env.context();
    entry(msDevice, "fps", ramp(576, 1));
    ASSERT_EQ(LoadProfileData(bare, msDevice, 0), kProfileRead);
    ApplyLoadedProfile(bare, msDevice);
    EXPECT_EQ(WriteKeyBank0(bare, DeviceKind::Mouse), 0);
    EXPECT_TRUE(trio.device(DeviceKind::Mouse).requests().empty());
}

}  // namespace
}  // namespace rxt
