#include "platform/ui/DisplayPlatform.h"

#include <gtest/gtest.h>

using platform::chooseDisplayPlatform;

// Under a Wayland compositor the program runs natively, with X11 behind it
// for a system without Qt's Wayland plugin; the user's choice always wins.
TEST(DisplayPlatform, WaylandFirstWhereACompositorIsThereAndTheUsersChoiceWins)
{
    EXPECT_EQ(chooseDisplayPlatform({}, "wayland-0"), QByteArray("wayland;xcb"));
    EXPECT_EQ(chooseDisplayPlatform("xcb", "wayland-0"), QByteArray());
    EXPECT_EQ(chooseDisplayPlatform("offscreen", "wayland-0"), QByteArray());
    EXPECT_EQ(chooseDisplayPlatform({}, {}), QByteArray()) << "X11 alone: Qt's own choice";
}
