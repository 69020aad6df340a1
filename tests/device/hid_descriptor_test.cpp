// Report descriptors of real kinds of devices, written out byte by byte, with
// the capabilities and decoded reports they must give.

#include "device/hid_descriptor.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace rxt {
namespace {

using Bytes = std::vector<uint8_t>;

HidDescriptorInfo parseOk(const Bytes& bytes) {
    HidDescriptorInfo info;
    std::string error;
    EXPECT_TRUE(parseReportDescriptor(bytes, info, &error)) << error;
    return info;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// Boot mouse: five buttons, three padding bits, X, Y and wheel (relative).
const Bytes kMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,  // Generic Desktop, Mouse, Application
    0x09, 0x01, 0xA1, 0x00,              // Pointer, Physical
    0x05, 0x09, 0x19, 0x01, 0x29, 0x05,  // Buttons 1..5
    0x15, 0x00, 0x25, 0x01, 0x95, 0x05, 0x75, 0x01, 0x81, 0x02,  // Input (Var)
    0x95, 0x01, 0x75, 0x03, 0x81, 0x01,                          // padding
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,              // X, Y, Wheel
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06,  // Input (Var, Rel)
    0xC0, 0xC0,
};

// Boot keyboard: modifier bits, reserved byte, six-key array, LED output.
const Bytes kKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,                          // Keyboard, Application
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,                          // modifiers
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,  // Input (Var)
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,                          // reserved byte
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05,  // LEDs 1..5
    0x91, 0x02,                                                  // Output (Var)
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,                          // padding
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,              // six keys
    0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,              // Input (Array)
    0xC0,
};

// Consumer control, report id 3, one 16-bit selector over usages 0..0x3FF.
const Bytes kConsumer = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03,  // Consumer Control, id 3
    0x15, 0x00, 0x26, 0xFF, 0x03, 0x19, 0x00, 0x2A,
    0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00,  // Input (Array)
    0xC0,
};

// The devices' configuration collection: 63 data bytes each way under id 4.
const Bytes kVendorConfig = {
    0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04,  // page 0xFF1C, usage 0x92, id 4
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,              // bytes 0..255
    0x95, 0x3F, 0x09, 0x01, 0x81, 0x02,                    // Input 63 bytes
    0x95, 0x3F, 0x09, 0x01, 0x91, 0x02,                    // Output 63 bytes
    0xC0,
};

// A consumer collection whose selector reaches the devices' notifications
// (0x401..0x403), report id 2.
const Bytes kNotifyingConsumer = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x07,
    0x19, 0x00, 0x2A, 0xFF, 0x07, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0,
};

// System control (power, sleep, wake) as a two-bit selector, id 3.
const Bytes kSystemControl = {
    0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x85, 0x03,  // System Control, id 3
    0x19, 0x81, 0x29, 0x83, 0x15, 0x01, 0x25, 0x03,  // Power Down..Wake Up
    0x75, 0x02, 0x95, 0x01, 0x81, 0x00,              // Input (Array)
    0x75, 0x06, 0x81, 0x03,                          // padding
    0xC0,
};

// Keyboard with report id 1 (for multi-collection nodes).
Bytes numberedKeyboard() {
    Bytes kb = kKeyboard;
    kb.insert(kb.begin() + 6, {0x85, 0x01});
    return kb;
}

TEST(HidDescriptorMouse, CapabilitiesOfABootMouse) {
    const HidDescriptorInfo info = parseOk(kMouse);
    ASSERT_EQ(info.collections.size(), 1u);
    const HidCollectionInfo& c = info.collections[0];
    EXPECT_EQ(c.usagePage, 0x01);
    EXPECT_EQ(c.usage, 0x02);
    EXPECT_FALSE(c.numbered);
    EXPECT_EQ(c.of(HidReportType::Input).length, 5);  // id byte + 4
    EXPECT_EQ(c.of(HidReportType::Output).length, 0);
    EXPECT_EQ(c.of(HidReportType::Feature).length, 0);
    EXPECT_EQ(c.of(HidReportType::Input).reportIds, std::vector<uint8_t>{0});

    const auto& buttons = c.of(HidReportType::Input).buttons;
    ASSERT_EQ(buttons.size(), 1u);  // one cap for the range, none for padding
    EXPECT_EQ(buttons[0].usagePage, 0x09);
    EXPECT_EQ(buttons[0].usageMin, 1);
    EXPECT_EQ(buttons[0].usageMax, 5);
    EXPECT_TRUE(buttons[0].isRange);
    EXPECT_FALSE(buttons[0].isArray);
    EXPECT_EQ(buttons[0].bitOffset, 0u);
    EXPECT_EQ(buttons[0].reportCount, 5);
    EXPECT_EQ(buttons[0].collectionUsagePage, 0x01);
    EXPECT_EQ(buttons[0].collectionUsage, 0x01);  // the inner Pointer collection

    const auto& values = c.of(HidReportType::Input).values;
    ASSERT_EQ(values.size(), 3u);  // one per usage of the list
    const uint16_t usages[] = {0x30, 0x31, 0x38};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(values[i].usagePage, 0x01);
        EXPECT_EQ(values[i].usageMin, usages[i]);
        EXPECT_FALSE(values[i].isRange);
        EXPECT_EQ(values[i].bitOffset, 8 + 8 * i);
        EXPECT_EQ(values[i].bitSize, 8);
        EXPECT_EQ(values[i].reportCount, 1);
        EXPECT_EQ(values[i].logicalMin, -127);
        EXPECT_EQ(values[i].logicalMax, 127);
        EXPECT_EQ(values[i].bitField, 0x06);
    }
    EXPECT_TRUE(c.ownsInputReport(0));
    EXPECT_TRUE(c.ownsInputReport(7));  // unnumbered: every report is its own
}

TEST(HidDescriptorMouse, UnpacksButtonsAndSignedMotion) {
    const HidCollectionInfo c = parseOk(kMouse).collections.at(0);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 4u);  // buttons, X, Y, wheel
    EXPECT_TRUE(items[0].isButton);
    EXPECT_EQ(items[0].usages.size(), 5u);

    const Bytes report = {0x00, 0x05 | 0xE0, 0xFF, 0x02, 0x81};  // padding bits set too
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, report, items));
    EXPECT_EQ(items[0].usages, (std::vector<uint16_t>{1, 3, 0, 0, 0}));
    EXPECT_TRUE(items[0].isSet);
    EXPECT_EQ(items[1].usage, 0x30);
    EXPECT_EQ(items[1].rawValue, 0xFFFFFFFFu);  // -1 sign-extended
    EXPECT_EQ(items[1].scaledValue, -1);        // no physical range: the raw value
    EXPECT_EQ(items[2].scaledValue, 2);
    EXPECT_EQ(items[3].usage, 0x38);
    EXPECT_EQ(items[3].scaledValue, -127);
    for (const HidDataItem& item : items) {
        EXPECT_EQ(item.status, kHidStatusSuccess);
    }

    // All five buttons: the list is full, so no 0 entry ends it.
    const Bytes all = {0x00, 0x1F, 0x00, 0x00, 0x00};
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, all, items));
    EXPECT_EQ(items[0].usages, (std::vector<uint16_t>{1, 2, 3, 4, 5}));
    const Bytes none = {0x00, 0x00, 0x00, 0x00, 0x00};
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, none, items));
    EXPECT_EQ(items[0].usages, (std::vector<uint16_t>{0, 0, 0, 0, 0}));
    EXPECT_FALSE(items[0].isSet);
}

TEST(HidDescriptorMouse, ShortReportFailsOnlyTheFieldsThatDoNotFit) {
    const HidCollectionInfo c = parseOk(kMouse).collections.at(0);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    const Bytes report = {0x00, 0x02, 0x05};  // buttons and X only
    EXPECT_FALSE(unpackReport(c, HidReportType::Input, report, items));
    EXPECT_EQ(items[0].status, kHidStatusSuccess);
    EXPECT_EQ(items[0].usages[0], 2);
    EXPECT_EQ(items[1].status, kHidStatusSuccess);
    EXPECT_EQ(items[1].scaledValue, 5);
    EXPECT_EQ(items[2].status, kHidStatusReportTooShort);
    EXPECT_EQ(items[3].status, kHidStatusReportTooShort);

    EXPECT_FALSE(unpackReport(c, HidReportType::Input, Bytes{}, items));
    EXPECT_EQ(items[0].status, kHidStatusReportTooShort);
}

TEST(HidDescriptorKeyboard, ModifiersKeysAndLeds) {
    const HidDescriptorInfo info = parseOk(kKeyboard);
    ASSERT_EQ(info.collections.size(), 1u);
    const HidCollectionInfo& c = info.collections[0];
    EXPECT_EQ(c.usagePage, 0x01);
    EXPECT_EQ(c.usage, 0x06);
    EXPECT_EQ(c.of(HidReportType::Input).length, 9);
    EXPECT_EQ(c.of(HidReportType::Output).length, 2);
    EXPECT_EQ(c.of(HidReportType::Feature).length, 0);

    const auto& in = c.of(HidReportType::Input).buttons;
    ASSERT_EQ(in.size(), 2u);
    EXPECT_EQ(in[0].usageMin, 0xE0);
    EXPECT_EQ(in[0].usageMax, 0xE7);
    EXPECT_FALSE(in[0].isArray);
    EXPECT_TRUE(in[1].isArray);
    EXPECT_EQ(in[1].usagePage, 0x07);
    EXPECT_EQ(in[1].usageMin, 0x00);
    EXPECT_EQ(in[1].usageMax, 0x65);
    EXPECT_EQ(in[1].bitOffset, 16u);
    EXPECT_EQ(in[1].bitSize, 8);
    EXPECT_EQ(in[1].reportCount, 6);
    EXPECT_TRUE(c.of(HidReportType::Input).values.empty());

    const auto& out = c.of(HidReportType::Output).buttons;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].usagePage, 0x08);
    EXPECT_EQ(out[0].usageMin, 1);
    EXPECT_EQ(out[0].usageMax, 5);
}

TEST(HidDescriptorKeyboard, UnpacksModifiersAndPressedKeys) {
    const HidCollectionInfo c = parseOk(kKeyboard).collections.at(0);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 2u);
    // The usage list of page 7 holds 8 modifiers + 6 keys.
    EXPECT_EQ(items[0].usages.size(), 14u);
    EXPECT_EQ(items[1].usages.size(), 14u);

    // Left shift + right GUI, keys A and B, one slot beyond the logical range.
    const Bytes report = {0x00, 0x82, 0x00, 0x04, 0x05, 0x66, 0x00, 0x00, 0x00};
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, report, items));
    EXPECT_EQ(items[0].usages[0], 0xE1);
    EXPECT_EQ(items[0].usages[1], 0xE7);
    EXPECT_EQ(items[0].usages[2], 0);
    EXPECT_EQ(items[1].usages[0], 0x04);
    EXPECT_EQ(items[1].usages[1], 0x05);
    EXPECT_EQ(items[1].usages[2], 0);

    std::vector<HidDataItem> leds = makeDataItems(c, HidReportType::Output);
    ASSERT_EQ(leds.size(), 1u);
    ASSERT_TRUE(unpackReport(c, HidReportType::Output, Bytes{0x00, 0x05}, leds));
    EXPECT_EQ(leds[0].usages, (std::vector<uint16_t>{1, 3, 0, 0, 0}));
}

TEST(HidDescriptorKeyboard, ShortReportKeepsTheSlotsThatFit) {
    const HidCollectionInfo c = parseOk(kKeyboard).collections.at(0);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    const Bytes report = {0x00, 0x00, 0x00, 0x04, 0x05};
    EXPECT_FALSE(unpackReport(c, HidReportType::Input, report, items));
    EXPECT_EQ(items[1].status, kHidStatusReportTooShort);
    EXPECT_EQ(items[1].usages[0], 0x04);
    EXPECT_EQ(items[1].usages[1], 0x05);
}

TEST(HidDescriptorConsumer, SixteenBitSelectorWithReportId) {
    const HidCollectionInfo c = parseOk(kConsumer).collections.at(0);
    EXPECT_EQ(c.usagePage, 0x0C);
    EXPECT_EQ(c.usage, 0x01);
    EXPECT_TRUE(c.numbered);
    EXPECT_EQ(c.of(HidReportType::Input).length, 3);
    EXPECT_EQ(c.of(HidReportType::Input).reportIds, std::vector<uint8_t>{3});
    const auto& b = c.of(HidReportType::Input).buttons;
    ASSERT_EQ(b.size(), 1u);
    EXPECT_TRUE(b[0].isArray);
    EXPECT_EQ(b[0].usageMax, 0x3FF);
    EXPECT_EQ(b[0].logicalMax, 0x3FF);
    EXPECT_EQ(b[0].reportId, 3);
    EXPECT_TRUE(c.ownsInputReport(3));
    EXPECT_FALSE(c.ownsInputReport(0));
    EXPECT_FALSE(c.ownsInputReport(4));

    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 1u);
    ASSERT_EQ(items[0].usages.size(), 1u);
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x03, 0xE9, 0x00}, items));
    EXPECT_EQ(items[0].usages[0], 0xE9);  // volume up
    EXPECT_TRUE(items[0].isSet);
    // 0x401 lies outside this collection's range: nothing is decoded.
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x03, 0x01, 0x04}, items));
    EXPECT_EQ(items[0].usages[0], 0);
    EXPECT_FALSE(items[0].isSet);
}

TEST(HidDescriptorVendor, ConfigurationCollectionLengths) {
    const HidCollectionInfo c = parseOk(kVendorConfig).collections.at(0);
    EXPECT_EQ(c.usagePage, 0xFF1C);
    EXPECT_EQ(c.usage, 0x0092);
    EXPECT_EQ(c.of(HidReportType::Input).length, 64);
    EXPECT_EQ(c.of(HidReportType::Output).length, 64);
    EXPECT_EQ(c.of(HidReportType::Feature).length, 0);
    EXPECT_EQ(c.of(HidReportType::Output).reportIds, std::vector<uint8_t>{4});
    const auto& v = c.of(HidReportType::Input).values;
    ASSERT_EQ(v.size(), 1u);  // one usage for all 63 bytes
    EXPECT_EQ(v[0].usagePage, 0xFF1C);
    EXPECT_EQ(v[0].reportCount, 63);
    EXPECT_EQ(v[0].logicalMax, 255);

    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 1u);
    Bytes report(64, 0);
    report[0] = 4;
    report[1] = 0xAB;
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, report, items));
    EXPECT_EQ(items[0].rawValue, 0xABu);
    EXPECT_EQ(items[0].scaledValue, 0xAB);
}

TEST(HidDescriptorMultiCollection, KeyboardConsumerSystemAndVendorOnOneNode) {
    const Bytes node =
        concat({numberedKeyboard(), kNotifyingConsumer, kSystemControl, kVendorConfig});
    const HidDescriptorInfo info = parseOk(node);
    ASSERT_EQ(info.collections.size(), 4u);
    const HidCollectionInfo& kb = info.collections[0];
    const HidCollectionInfo& cc = info.collections[1];
    const HidCollectionInfo& sys = info.collections[2];
    const HidCollectionInfo& vendor = info.collections[3];

    EXPECT_EQ(kb.usage, 0x06);
    EXPECT_EQ(kb.of(HidReportType::Input).length, 9);
    EXPECT_EQ(kb.of(HidReportType::Output).length, 2);
    EXPECT_EQ(kb.of(HidReportType::Input).reportIds, std::vector<uint8_t>{1});
    EXPECT_EQ(cc.usagePage, 0x0C);
    EXPECT_EQ(cc.of(HidReportType::Input).length, 3);
    EXPECT_EQ(cc.of(HidReportType::Output).length, 0);
    EXPECT_EQ(sys.usage, 0x80);
    EXPECT_EQ(sys.of(HidReportType::Input).length, 2);
    EXPECT_EQ(vendor.usagePage, 0xFF1C);
    EXPECT_EQ(vendor.of(HidReportType::Input).length, 64);
    EXPECT_EQ(vendor.of(HidReportType::Output).length, 64);
    for (const HidCollectionInfo& c : info.collections) {
        EXPECT_TRUE(c.numbered);
    }

    // Each collection owns its own input reports only.
    EXPECT_TRUE(kb.ownsInputReport(1));
    EXPECT_FALSE(kb.ownsInputReport(2));
    EXPECT_TRUE(cc.ownsInputReport(2));
    EXPECT_FALSE(cc.ownsInputReport(4));
    EXPECT_TRUE(vendor.ownsInputReport(4));
    EXPECT_FALSE(vendor.ownsInputReport(2));

    // A power-down selection (selector 1 = usage 0x81).
    std::vector<HidDataItem> items = makeDataItems(sys, HidReportType::Input);
    ASSERT_TRUE(unpackReport(sys, HidReportType::Input, Bytes{0x03, 0x01}, items));
    EXPECT_EQ(items[0].usages[0], 0x81);
    ASSERT_TRUE(unpackReport(sys, HidReportType::Input, Bytes{0x03, 0x00}, items));
    EXPECT_EQ(items[0].usages[0], 0);  // below the logical minimum: none
}

TEST(HidDescriptorMultiCollection, NotificationUsageOnTheConsumerCollection) {
    const Bytes node = concat({kVendorConfig, kNotifyingConsumer});
    const HidDescriptorInfo info = parseOk(node);
    ASSERT_EQ(info.collections.size(), 2u);
    const HidCollectionInfo& cc = info.collections[1];
    EXPECT_EQ(cc.usagePage, 0x0C);
    EXPECT_EQ(cc.usage, 0x01);

    std::vector<HidDataItem> items = makeDataItems(cc, HidReportType::Input);
    ASSERT_EQ(items.size(), 1u);
    ASSERT_TRUE(unpackReport(cc, HidReportType::Input, Bytes{0x02, 0x01, 0x04}, items));
    EXPECT_EQ(items[0].usages[0], 1025);
    ASSERT_TRUE(unpackReport(cc, HidReportType::Input, Bytes{0x02, 0x02, 0x04}, items));
    EXPECT_EQ(items[0].usages[0], 1026);
}

TEST(HidDescriptorUnpack, ItemsOfAnotherReportIdAreCleared) {
    // One collection, a selector under id 2 and a value under id 5.
    const Bytes d = {
        0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,                    //
        0x85, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x07, 0x19, 0x00,  //
        0x2A, 0xFF, 0x07, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00,  // id 2 selector
        0x85, 0x05, 0x09, 0xE0, 0x15, 0x00, 0x26, 0xFF, 0x00,  //
        0x75, 0x08, 0x81, 0x02,                                // id 5 volume
        0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    EXPECT_EQ(c.of(HidReportType::Input).reportIds, (std::vector<uint8_t>{2, 5}));
    EXPECT_EQ(c.of(HidReportType::Input).length, 3);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 2u);
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x02, 0x01, 0x04}, items));
    EXPECT_EQ(items[0].usages[0], 0x401);
    EXPECT_EQ(items[1].status, kHidStatusIncompatibleReportId);

    // The next report is the other id: the selector item must not keep 0x401.
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x05, 0x30}, items));
    EXPECT_EQ(items[0].status, kHidStatusIncompatibleReportId);
    EXPECT_EQ(items[0].usages[0], 0);
    EXPECT_FALSE(items[0].isSet);
    EXPECT_EQ(items[1].status, kHidStatusSuccess);
    EXPECT_EQ(items[1].rawValue, 0x30u);
}

TEST(HidDescriptorUnpack, ItemsFoundOutOfOrderAndForeignItemsRefused) {
    const HidCollectionInfo c = parseOk(kMouse).collections.at(0);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    std::swap(items[0], items[3]);  // wheel first, buttons last
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x00, 0x01, 0x00, 0x00, 0x03}, items));
    EXPECT_EQ(items[0].usage, 0x38);
    EXPECT_EQ(items[0].scaledValue, 3);
    EXPECT_EQ(items[3].usages[0], 1);

    HidDataItem stranger;
    stranger.usagePage = 0x01;
    stranger.usage = 0x32;  // Z: not in this collection
    std::vector<HidDataItem> one{stranger};
    EXPECT_FALSE(unpackReport(c, HidReportType::Input, Bytes{0x00, 0x01, 0x00, 0x00, 0x03}, one));
}

TEST(HidDescriptorValues, ScalingNullStateAndUnits) {
    const Bytes d = {
        0x05, 0x01, 0x09, 0x04, 0xA1, 0x01,              // Joystick
        0x09, 0x30, 0x15, 0x00, 0x25, 0xFF, 0x35, 0x00,  // X, logical 0..255 (0xFF unsigned)
        0x46, 0xE8, 0x03, 0x65, 0x13, 0x55, 0x0E,        // physical 0..1000, unit, exp -2
        0x75, 0x08, 0x95, 0x01, 0x81, 0x02,              //
        0x09, 0x39, 0x15, 0x01, 0x25, 0x08, 0x35, 0x00,  // hat switch 1..8
        0x46, 0x3B, 0x01, 0x75, 0x04, 0x81, 0x42,        // with null state
        0x09, 0x31, 0x15, 0xF6, 0x25, 0x0A, 0x35, 0x9C, 0x45, 0x64,  // Y -10..10 -> -100..100
        0x75, 0x04, 0x81, 0x02,                                      //
        0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    const auto& v = c.of(HidReportType::Input).values;
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].logicalMax, 255);
    EXPECT_EQ(v[0].physicalMax, 1000);
    EXPECT_EQ(v[0].unit, 0x13u);
    EXPECT_EQ(v[0].unitExponent, -2);
    EXPECT_TRUE(v[1].hasNull);
    EXPECT_EQ(v[2].logicalMin, -10);
    EXPECT_EQ(v[2].physicalMin, -100);
    EXPECT_EQ(c.of(HidReportType::Input).length, 3);

    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 3u);
    // X 128, hat 0 (null), Y -5 (0xB in four bits).
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x00, 0x80, 0xB0}, items));
    EXPECT_EQ(items[0].rawValue, 128u);
    EXPECT_EQ(items[0].scaledValue, 501);  // 128 * 1000 / 255
    EXPECT_TRUE(items[0].isSet);
    EXPECT_EQ(items[1].rawValue, 0u);
    EXPECT_FALSE(items[1].isSet);
    EXPECT_EQ(items[2].rawValue, static_cast<uint32_t>(-5));
    EXPECT_EQ(items[2].scaledValue, -50);

    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x00, 0xFF, 0x03}, items));
    EXPECT_EQ(items[0].scaledValue, 1000);
    EXPECT_EQ(items[1].rawValue, 3u);
    EXPECT_TRUE(items[1].isSet);
}

TEST(HidDescriptorValues, UsageRangesGiveOneItemPerUsage) {
    const Bytes d = {
        0x05, 0x01, 0x09, 0x05, 0xA1, 0x01,              // Game Pad
        0x19, 0x30, 0x29, 0x32, 0x15, 0x00, 0x26, 0xFF,  // X..Z
        0x00, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02,        //
        0x19, 0x01, 0x29, 0x0A, 0x95, 0x02, 0x81, 0x02,  // range of 10 over 2 fields
        0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    const auto& v = c.of(HidReportType::Input).values;
    ASSERT_EQ(v.size(), 2u);
    EXPECT_TRUE(v[0].isRange);
    EXPECT_EQ(v[0].usageMin, 0x30);
    EXPECT_EQ(v[0].usageMax, 0x32);
    EXPECT_EQ(v[0].reportCount, 3);
    EXPECT_EQ(v[1].usageMin, 0x01);
    EXPECT_EQ(v[1].usageMax, 0x02);  // only as many usages as fields
    EXPECT_EQ(v[1].bitOffset, 24u);

    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 5u);
    ASSERT_TRUE(
        unpackReport(c, HidReportType::Input, Bytes{0x00, 0x10, 0x20, 0x30, 0x40, 0x50}, items));
    EXPECT_EQ(items[2].usage, 0x32);
    EXPECT_EQ(items[2].rawValue, 0x30u);
    EXPECT_EQ(items[4].usage, 0x02);
    EXPECT_EQ(items[4].rawValue, 0x50u);
}

TEST(HidDescriptorButtons, LastUsageTakesTheFieldsLeftOver) {
    const Bytes d = {
        0x05, 0x09, 0x09, 0x01, 0xA1, 0x01,              //
        0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01,  // buttons 1..3 over 5 bits
        0x75, 0x01, 0x95, 0x05, 0x81, 0x02,              //
        0x75, 0x03, 0x95, 0x01, 0x81, 0x01,              //
        0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    const auto& b = c.of(HidReportType::Input).buttons;
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[0].usageMax, 3);
    EXPECT_EQ(b[0].reportCount, 3);
    EXPECT_EQ(b[1].usageMin, 3);
    EXPECT_EQ(b[1].bitOffset, 3u);
    EXPECT_EQ(b[1].reportCount, 2);

    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].usages.size(), 4u);  // 3 + 1
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x00, 0x11}, items));
    EXPECT_EQ(items[0].usages, (std::vector<uint16_t>{1, 3, 0, 0}));
}

TEST(HidDescriptorButtons, ArrayWithAUsageListSelectsByPosition) {
    const Bytes d = {
        0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,  //
        0x09, 0xB5, 0x09, 0xB6, 0x09, 0xCD,  // next, previous, play/pause
        0x15, 0x01, 0x25, 0x03, 0x75, 0x08, 0x95, 0x02, 0x81, 0x00, 0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    const auto& b = c.of(HidReportType::Input).buttons;
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[1].usageMin, 0xB6);
    EXPECT_EQ(b[1].usageIndex, 1u);
    EXPECT_EQ(b[2].usageIndex, 2u);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    ASSERT_EQ(items.size(), 3u);
    ASSERT_TRUE(unpackReport(c, HidReportType::Input, Bytes{0x00, 0x03, 0x02}, items));
    EXPECT_EQ(items[0].usages[0], 0);  // neither selection is 0xB5
    EXPECT_EQ(items[1].usages[0], 0xB6);
    EXPECT_EQ(items[2].usages[0], 0xCD);
}

TEST(HidDescriptorItems, PushAndPopRestoreTheGlobalState) {
    const Bytes d = {
        0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x85, 0x01,  // id 1
        0x05, 0x09, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03,
        0xA4,  // push
        0x85, 0x02, 0x05, 0x01, 0x09, 0x30, 0x15, 0x81, 0x25, 0x7F,
        0x75, 0x08, 0x95, 0x01, 0x81, 0x06,  // X under id 2
        0xB4,                                // pop: id 1, buttons, 1 x 3 bits
        0x19, 0x01, 0x29, 0x03, 0x81, 0x02,  //
        0x95, 0x05, 0x81, 0x01,              //
        0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    const HidReportCaps& in = c.of(HidReportType::Input);
    EXPECT_EQ(in.reportIds, (std::vector<uint8_t>{2, 1}));
    ASSERT_EQ(in.buttons.size(), 1u);
    EXPECT_EQ(in.buttons[0].reportId, 1);
    EXPECT_EQ(in.buttons[0].usagePage, 0x09);
    EXPECT_EQ(in.buttons[0].logicalMax, 1);
    EXPECT_EQ(in.buttons[0].reportCount, 3);
    EXPECT_EQ(in.buttons[0].bitOffset, 0u);  // id 1 starts afresh
    ASSERT_EQ(in.values.size(), 1u);
    EXPECT_EQ(in.values[0].reportId, 2);
    EXPECT_EQ(in.values[0].logicalMin, -127);
    EXPECT_EQ(in.length, 2);
}

TEST(HidDescriptorItems, LongItemsAreSkipped) {
    Bytes d = kMouse;
    const Bytes longItem = {0xFE, 0x04, 0x10, 0xA1, 0x01, 0xC0, 0xC0};  // data looks like items
    d.insert(d.begin() + 10, longItem.begin(), longItem.end());
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    EXPECT_EQ(c.of(HidReportType::Input).length, 5);
    EXPECT_EQ(c.of(HidReportType::Input).buttons.size(), 1u);
    EXPECT_EQ(c.of(HidReportType::Input).values.size(), 3u);
}

TEST(HidDescriptorItems, ExtendedUsagesCarryTheirPage) {
    const Bytes d = {
        0x05, 0x0C, 0x0B, 0x02, 0x00, 0x01, 0x00, 0xA1, 0x01,        // 0x0001:0002 under page 0x0C
        0x1B, 0x01, 0x00, 0x09, 0x00, 0x2B, 0x04, 0x00, 0x09, 0x00,  // buttons 1..4 extended
        0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x04, 0x81, 0x02,  //
        0x0B, 0x30, 0x00, 0x01, 0x00, 0x75, 0x04, 0x95, 0x01, 0x81, 0x02,  // X, extended
        0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    EXPECT_EQ(c.usagePage, 0x01);
    EXPECT_EQ(c.usage, 0x02);
    const HidReportCaps& in = c.of(HidReportType::Input);
    ASSERT_EQ(in.buttons.size(), 1u);
    EXPECT_EQ(in.buttons[0].usagePage, 0x09);
    EXPECT_EQ(in.buttons[0].usageMin, 1);
    EXPECT_EQ(in.buttons[0].usageMax, 4);
    ASSERT_EQ(in.values.size(), 1u);
    EXPECT_EQ(in.values[0].usagePage, 0x01);
    EXPECT_EQ(in.values[0].usageMin, 0x30);
}

TEST(HidDescriptorItems, UsagePageDeclaredAfterItsUsagesApplies) {
    const Bytes d = {
        0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,              //
        0x05, 0x09, 0x09, 0x30, 0x09, 0x31, 0x05, 0x01,  // X, Y declared under the button page
        0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x02, 0x81, 0x06, 0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    const auto& v = c.of(HidReportType::Input).values;
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].usagePage, 0x01);
    EXPECT_EQ(v[1].usagePage, 0x01);
}

TEST(HidDescriptorItems, OnlyTheFirstDelimitedAlternativeCounts) {
    const Bytes d = {
        0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,  //
        0xA9, 0x01, 0x09, 0x30, 0xA9, 0x00,  // first set: X
        0xA9, 0x01, 0x09, 0x31, 0xA9, 0x00,  // alternative: Y
        0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x01, 0x81, 0x06, 0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    const auto& v = c.of(HidReportType::Input).values;
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].usageMin, 0x30);
}

TEST(HidDescriptorItems, NestedCollectionsBelongToTheirTopLevel) {
    Bytes d = kMouse;  // Application > Physical
    const HidDescriptorInfo info = parseOk(concat({d, kConsumer}));
    ASSERT_EQ(info.collections.size(), 2u);
    EXPECT_EQ(info.collections[0].usage, 0x02);
    EXPECT_EQ(info.collections[0].of(HidReportType::Input).values.size(), 3u);
    EXPECT_EQ(info.collections[1].usagePage, 0x0C);
    EXPECT_TRUE(info.collections[1].of(HidReportType::Input).values.empty());
    // Report ids are declared by the descriptor as a whole.
    EXPECT_TRUE(info.collections[0].numbered);
}

TEST(HidDescriptorItems, WideValuesAreCapsButDoNotDecode) {
    const Bytes d = {
        0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,        //
        0x09, 0x02, 0x75, 0x40, 0x95, 0x01, 0x81, 0x02,  // a 64-bit value
        0x09, 0x03, 0x75, 0x08, 0x81, 0x02,              //
        0xC0,
    };
    const HidCollectionInfo c = parseOk(d).collections.at(0);
    ASSERT_EQ(c.of(HidReportType::Input).values.size(), 2u);
    EXPECT_EQ(c.of(HidReportType::Input).values[0].bitSize, 64);
    EXPECT_EQ(c.of(HidReportType::Input).length, 10);
    std::vector<HidDataItem> items = makeDataItems(c, HidReportType::Input);
    Bytes report(10, 0x11);
    report[0] = 0;
    EXPECT_FALSE(unpackReport(c, HidReportType::Input, report, items));
    EXPECT_EQ(items[0].status, kHidStatusValueTooWide);
    EXPECT_EQ(items[1].status, kHidStatusSuccess);
    EXPECT_EQ(items[1].rawValue, 0x11u);
}

struct Refusal {
    const char* name;
    Bytes bytes;
    const char* reason;  // part of the message
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class HidDescriptorRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(HidDescriptorRefusal, IsRefusedWithAReason) {
    HidDescriptorInfo info;
    info.collections.resize(2);  // must be left alone
    std::string error;
    EXPECT_FALSE(parseReportDescriptor(GetParam().bytes, info, &error));
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
    EXPECT_EQ(info.collections.size(), 2u);
    EXPECT_FALSE(parseReportDescriptor(GetParam().bytes, info));  // no error text wanted
}

Bytes repeated(const Bytes& unit, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i) {
        out.insert(out.end(), unit.begin(), unit.end());
    }
    return out;
}

Bytes deepCollections(size_t depth) {
    return concat({repeated({0xA1, 0x00}, depth), repeated({0xC0}, depth)});
}

// Value ranges of 32768 two-bit fields, one per report id: each report fits
// its bound, but three of them make too many value items.
Bytes manyValueItems(uint8_t ids) {
    Bytes d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x02, 0x96, 0x00, 0x80};
    for (uint8_t id = 1; id <= ids; ++id) {
        d.insert(d.end(), {0x85, id, 0x19, 0x01, 0x2A, 0x00, 0x80, 0x81, 0x02});
    }
    d.push_back(0xC0);
    return d;
}

// An array with 200 usage entries over 8000 slots: each button item would
// carry 1.6 million usages.
Bytes hugeUsageList() {
    Bytes d = {0x05, 0x07, 0x09, 0x06, 0xA1, 0x01};
    for (int u = 1; u <= 200; ++u) {
        d.insert(d.end(), {0x09, static_cast<uint8_t>(u)});
    }
    d.insert(d.end(), {0x15, 0x00, 0x25, 0x7F, 0x75, 0x08, 0x96, 0x40, 0x1F, 0x81, 0x00, 0xC0});
    return d;
}

const Bytes kHeader = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01};

INSTANTIATE_TEST_SUITE_P(
    Malformed, HidDescriptorRefusal,
    ::testing::Values(
        Refusal{"Empty", {}, "empty"},
        Refusal{"TruncatedItemData",
                {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x26, 0xFF},
                "past the end of the descriptor at byte 6"},
        Refusal{"TruncatedFourByteItem",
                {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x27, 0xFF, 0xFF},
                "past the end of the descriptor at byte 6"},
        Refusal{"LoneDataSizePrefix", {0x05}, "past the end"},
        Refusal{"TruncatedLongItemHeader", concat({kHeader, {0xC0, 0xFE, 0x05}}),
                "past the end of the descriptor at byte 7"},
        Refusal{"LongItemDataRunsPastTheEnd", concat({kHeader, {0xC0, 0xFE, 0x05, 0x00, 1, 2}}),
                "past the end of the descriptor at byte 7"},
        Refusal{"EndCollectionWithoutCollection", {0xC0}, "end collection without collection"},
        Refusal{"EndCollectionAfterTheLastOneClosed", concat({kHeader, {0xC0, 0xC0}}),
                "end collection without collection"},
        Refusal{"UnclosedCollection", kHeader, "not closed"},
        Refusal{"PopWithoutPush", concat({kHeader, {0xB4, 0xC0}}), "pop without push"},
        Refusal{"PushTooDeep", concat({kHeader, repeated({0xA4}, 33), {0xC0}}),
                "push nested too deep"},
        Refusal{"CollectionsTooDeep", deepCollections(33), "nested too deep"},
        Refusal{"ReportIdZero", concat({kHeader, {0x85, 0x00, 0xC0}}), "invalid report id 0"},
        Refusal{"ReportIdTooLarge", concat({kHeader, {0x86, 0x00, 0x01, 0xC0}}),
                "invalid report id 256"},
        Refusal{"ReportLongerThanBound",
                concat({kHeader, {0x75, 0x08, 0x96, 0x01, 0x20, 0x09, 0x30, 0x81, 0x02, 0xC0}}),
                "longer than 8192 bytes"},
        Refusal{"ReportCountOverflowingTheReport",
                concat({kHeader, {0x75, 0x08, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x03, 0xC0}}),
                "longer than 8192 bytes"},
        Refusal{"ReportSizeHuge",
                concat({kHeader, {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x95, 0x01, 0x81, 0x02, 0xC0}}),
                "longer than 8192 bytes"},
        Refusal{"PaddingAddsUpPastTheBound",
                concat({kHeader, repeated({0x75, 0x08, 0x96, 0x00, 0x10, 0x81, 0x03}, 3), {0xC0}}),
                "longer than 8192 bytes"},
        Refusal{"TooManyValueItems", manyValueItems(3), "too many value usages"},
        Refusal{
            "ArraySelectorTooWide",
            concat({kHeader, {0x75, 0x21, 0x95, 0x01, 0x19, 0x00, 0x29, 0x10, 0x81, 0x00, 0xC0}}),
            "report size 33"},
        Refusal{"LongerThanAnyDescriptor", concat({kMouse, Bytes(kHidMaxDescriptorBytes, 0x00)}),
                "longer than 65535"},
        Refusal{"MainItemOutsideCollection",
                {0x75, 0x08, 0x95, 0x01, 0x81, 0x02},
                "outside any collection"},
        Refusal{"NoCollectionAtAll", {0x05, 0x01, 0x09, 0x02}, "no top-level collection"},
        Refusal{"TooManyButtonUsages", hugeUsageList(), "too many button usages"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(HidDescriptorLimits, DeepestAllowedNestingAndPushParse) {
    HidDescriptorInfo info;
    std::string error;
    EXPECT_TRUE(parseReportDescriptor(deepCollections(kHidMaxCollectionDepth), info, &error))
        << error;
    const Bytes pushes = concat(
        {kHeader, repeated({0xA4}, kHidMaxPushDepth), repeated({0xB4}, kHidMaxPushDepth), {0xC0}});
    EXPECT_TRUE(parseReportDescriptor(pushes, info, &error)) << error;
    EXPECT_TRUE(parseReportDescriptor(manyValueItems(2), info, &error)) << error;
    EXPECT_EQ(makeDataItems(info.collections.at(0), HidReportType::Input).size(),
              kHidMaxValueItems);
    // Reserved item types and main tags (trailing zero bytes) are skipped.
    EXPECT_TRUE(parseReportDescriptor(concat({kMouse, {0x00, 0x00, 0x0C, 0xF0}}), info, &error))
        << error;
}

}  // namespace
}  // namespace rxt
