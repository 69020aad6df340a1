// rxtctl's words for the mouse performance settings: what each stores in
// the record, the values refused with the range they name, and the view of
// a record that rxtctl show prints.

#include "settings/performance_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rxt::perf {
namespace {

std::optional<PerformanceEdit> parse(std::vector<std::string> words, std::string* error = nullptr) {
    std::string e;
    auto edit = parsePerformanceEdit(words, e);
    if (error != nullptr) {
        *error = e;
    }
    return edit;
}

TEST(PerformanceEdit, DpiLevelStoresThePagesCodeInTheLevelsByte) {
    DeviceImages mouse(DeviceKind::Mouse);
    auto e = parse({"dpi", "2", "1600"});
    ASSERT_TRUE(e);
    EXPECT_EQ(e->level, 2);
    EXPECT_EQ(e->position, 14);
    storePerformanceEdit(mouse, *e);
    EXPECT_EQ(mouse.current.get(16), 15);  // position 14, code 15
    // Level 5 sits past the active level's byte 19.
    storePerformanceEdit(mouse, *parse({"dpi", "5", "12000"}));
    EXPECT_EQ(mouse.current.get(20), 119);
    EXPECT_EQ(mouse.current.get(19), 0);
    storePerformanceEdit(mouse, *parse({"dpi", "7", "200"}));
    EXPECT_EQ(mouse.current.get(22), 1);
}

TEST(PerformanceEdit, OtherFieldsStoreTheirBytes) {
    DeviceImages mouse(DeviceKind::Mouse);
    storePerformanceEdit(mouse, *parse({"active-dpi", "4"}));
    EXPECT_EQ(mouse.current.get(19), 3);
    storePerformanceEdit(mouse, *parse({"report-rate", "3"}));
    EXPECT_EQ(mouse.current.get(14), 3);
    storePerformanceEdit(mouse, *parse({"debounce", "0"}));
    EXPECT_EQ(mouse.current.get(44), 4);
    storePerformanceEdit(mouse, *parse({"debounce", "18"}));
    EXPECT_EQ(mouse.current.get(44), 22);
}

TEST(PerformanceEdit, BadValuesAreRefusedNamingTheRange) {
    struct Case {
        std::vector<std::string> words;
        std::string named;
    };
    const std::vector<Case> cases = {
        {{"dpi", "2", "1650"}, "200 to 12000 in steps of 100"},
        {{"dpi", "2", "100"}, "200 to 12000"},
        {{"dpi", "2", "12100"}, "200 to 12000"},
        {{"dpi", "0", "800"}, "1 to 7"},
        {{"dpi", "8", "800"}, "1 to 7"},
        {{"dpi", "2"}, "LEVEL DPI"},
        {{"dpi", "2", "800", "9"}, "LEVEL DPI"},
        {{"active-dpi", "x"}, "1 to 7"},
        {{"report-rate", "4"}, "0 to 3"},
        {{"report-rate", "-1"}, "3 = 1000 Hz"},
        {{"debounce", "3"}, "0 to 18 ms in steps of 2"},
        {{"debounce", "20"}, "0 to 18"},
        {{"debounce", ""}, "0 to 18"},
        {{"dpi"}, "LEVEL DPI"},
        {{"speedy", "1"}, "dpi|active-dpi|report-rate|debounce"},
        {{}, "dpi|active-dpi"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parse(c.words, &error)) << c.named;
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
    }
}

TEST(PerformanceView, DecodesTheRecordAsThePageShowsIt) {
    DeviceImages mouse(DeviceKind::Mouse);
    mouse.current.set(15, 7);    // level 1: position 6, 800 dpi
    mouse.current.set(22, 120);  // level 7: no such code, position 0
    mouse.current.set(19, 1);
    mouse.current.set(14, 2);
    mouse.current.set(44, 10);  // debounce 6 ms
    mouse.current.set(48, 1);
    mouse.current.set(49, 3);
    mouse.current.set(23, 0x12);
    mouse.current.set(24, 0x34);
    mouse.current.set(25, 0x56);
    const PerformanceView v = performanceView(mouse);
    EXPECT_EQ(v.levels[0].dpi, 800);
    EXPECT_EQ(v.levels[0].colour, 0xFF123456u);
    EXPECT_EQ(v.levels[6].dpi, 200);
    EXPECT_EQ(v.activeLevel, 2);
    EXPECT_EQ(v.reportRateIndex, 2);
    EXPECT_EQ(reportRateHz(v.reportRateIndex), 500);
    EXPECT_EQ(v.debounceMs, 6);
    EXPECT_TRUE(v.liftOff);
    EXPECT_EQ(v.liftOffHeight, 3);
    // An active byte past the levels names none; a rate past the rows none.
    mouse.current.set(19, 7);
    EXPECT_EQ(performanceView(mouse).activeLevel, 0);
    EXPECT_FALSE(reportRateHz(4));
}

}  // namespace
}  // namespace rxt::perf
