// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/OptionRules.h"

#include <gtest/gtest.h>

using namespace tarvo;

TEST(OptionRules, EverySliderStepMovesOnePositionFromTheStoredValue) {
    struct Case {
        int stored;
        SliderStep step;
        int reported, result;
    } cases[] = {
        {5, SliderStep::More, 15, 6},   {5, SliderStep::Less, 0, 4},
        {20, SliderStep::More, 20, 20}, {0, SliderStep::Less, 0, 0},
        {7, SliderStep::ToFirst, 9, 0}, {7, SliderStep::ToLast, 9, 20},
        {7, SliderStep::Moved, 12, 12}, {7, SliderStep::Moved, 40, 20},
        {7, SliderStep::Done, 3, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SegmentWidthAfter(c.stored, c.step, c.reported), c.result)
            << c.stored << " step " << static_cast<int>(c.step);
}

TEST(OptionRules, ResetTouchesOnlyTheMeterAndCopyOnlyTheDialogsSettings) {
    Config edited;
    edited.Normalize = 1;
    edited.VUSegmentWidth = 12;
    edited.UseVUGradient = 0;
    edited.VULeftColor = {1, 2, 3};
    edited.ROMFilter = 0;
    edited.Playlists.named = "elsewhere.tvp";
    ResetVUDefaults(edited);
    EXPECT_EQ(edited.Normalize, 1);
    EXPECT_EQ(edited.VUSegmentWidth, 5);
    EXPECT_EQ(edited.UseVUGradient, 1);
    EXPECT_EQ(edited.VULeftColor, Config().VULeftColor);

    Config window;
    edited.MaxLoopTime = 150;
    edited.VURightColor = {9, 9, 9};
    edited.LoopCount = 5;
    CopyOptionSettings(edited, window);
    EXPECT_EQ(window.LoopCount, 5);
    EXPECT_EQ(window.Normalize, 1);
    EXPECT_EQ(window.MaxLoopTime, 150);
    EXPECT_EQ(window.VURightColor, (RgbColor{9, 9, 9}));
    EXPECT_EQ(window.ROMFilter, 1); // not an option of the dialog
    EXPECT_EQ(window.Playlists.named, "");
}
