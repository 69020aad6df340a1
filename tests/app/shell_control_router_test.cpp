// The control socket's routes: the longest lead wins, the rest of the words
// reach the handler, a request nobody takes is a usage answer, and a second
// route for one lead is refused.

#include "app/shell/control_router.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace rxt::shell {
namespace {

TEST(ControlRouter, LongestLeadTakesTheRequestWithTheRestOfItsWords) {
    ControlRouter router;
    std::vector<std::string> seen;
    router.on("set mouse", [&](std::span<const std::string> rest) {
        seen.assign(rest.begin(), rest.end());
        return ControlAnswer::failed("short");
    });
    router.on("set mouse lighting", [&](std::span<const std::string> rest) {
        seen.assign(rest.begin(), rest.end());
        return ControlAnswer::done({"long"});
    });
    ControlAnswer a = router.route({"set", "mouse", "lighting", "mode", "wave"});
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(a.lines, std::vector<std::string>{"long"});
    EXPECT_EQ(seen, (std::vector<std::string>{"mode", "wave"}));
    a = router.route({"set", "mouse", "dpi", "2", "800"});
    EXPECT_EQ(a.reason, "short");
    EXPECT_EQ(seen, (std::vector<std::string>{"dpi", "2", "800"}));

    a = router.route({"set", "keyboard", "x"});
    EXPECT_EQ(a.status, 2);
    EXPECT_NE(a.reason.find("\"set keyboard x\""), std::string::npos) << a.reason;
    EXPECT_EQ(router.route({}).status, 2);
    EXPECT_TRUE(router.handles("set mouse"));
    EXPECT_FALSE(router.handles("set"));
    EXPECT_THROW(
        router.on("set mouse", [](std::span<const std::string>) { return ControlAnswer{}; }),
        std::logic_error);
}

}  // namespace
}  // namespace rxt::shell
