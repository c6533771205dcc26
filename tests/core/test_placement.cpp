#include "core/placement.h"

#include <gtest/gtest.h>

namespace vemar {
namespace {

TEST(Placement, WindowStaysOnTheScreen) {
    struct Case { const char* what; ScreenArea area; int width, height; WindowPosition expected; };
    const Case cases[] = {
        {"centred on a large screen", {0, 0, 1920, 1080}, 720, 560, {600, 260}},
        {"centred in an area below a top panel", {0, 32, 1920, 1048}, 720, 560, {600, 276}},
        {"centred on a second screen to the right", {1920, 0, 1280, 1024}, 720, 560, {2200, 232}},
        {"wider than the area (scale 2 on 1280 pixels): left edge on the screen", {0, 0, 640, 400}, 720, 560, {0, 0}},
        {"wider than an area that does not start at 0", {100, 24, 640, 400}, 720, 300, {100, 74}},
        {"exactly the area's size", {0, 0, 800, 600}, 800, 600, {0, 0}},
        {"one pixel narrower: rounded towards the left", {0, 0, 800, 600}, 799, 600, {0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(CentredPosition(c.area, c.width, c.height), c.expected) << c.what;
}

} // namespace
} // namespace vemar
