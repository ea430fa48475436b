// The colours a skin gives the main form's controls.
#include <gtest/gtest.h>

#include "controls/ControlColors.h"

TEST(ControlColors, SkinColoursOverFixedBrushes) {
    const SkinControlColors red{false, Rgb{1, 2, 3}, Rgb{4, 5, 6}, Rgb{7, 8, 9}};

    const ControlColors label = ColorsForControl(ControlKind::Label, red);
    EXPECT_EQ(label.text, (Rgb{1, 2, 3}));
    EXPECT_FALSE(label.textBackground) << "labels draw their text transparently";
    EXPECT_EQ(label.brush, kLabelBrush) << "the brush keeps its colour whatever the skin says";
    EXPECT_FALSE(label.transparent);

    const ControlColors name = ColorsForControl(ControlKind::FileNameLabel, red);
    EXPECT_EQ(name.text, (Rgb{1, 2, 3}));
    EXPECT_FALSE(name.brush);
    EXPECT_TRUE(name.transparent) << "the window background shows through";

    const ControlColors combo = ColorsForControl(ControlKind::ComboBox, red);
    EXPECT_EQ(combo.text, (Rgb{4, 5, 6}));
    EXPECT_EQ(combo.textBackground, (Rgb{7, 8, 9}));
    EXPECT_EQ(combo.brush, kComboBrush);

    const ControlColors other = ColorsForControl(ControlKind::Other, red);
    EXPECT_FALSE(other.text);
    EXPECT_EQ(other.brush, kLabelBrush);
}

TEST(ControlColors, SystemColoursLeaveEveryControlToThePlatform) {
    const SkinControlColors system{true, Rgb{1, 2, 3}, Rgb{4, 5, 6}, Rgb{7, 8, 9}};
    for (ControlKind kind :
         {ControlKind::Label, ControlKind::FileNameLabel, ControlKind::ComboBox, ControlKind::Other}) {
        const ControlColors c = ColorsForControl(kind, system);
        EXPECT_FALSE(c.text);
        EXPECT_FALSE(c.textBackground);
        EXPECT_FALSE(c.brush);
        EXPECT_FALSE(c.transparent);
    }
}
