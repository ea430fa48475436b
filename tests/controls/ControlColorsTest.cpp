// Which colours a skin gives each kind of control: the skin's text colours,
// over the two fixed brushes; a skin with the system's colours leaves every
// control to the platform.
#include <gtest/gtest.h>

#include "controls/ControlColors.h"

namespace {

SkinControlColors Skin() {
    SkinControlColors skin;
    skin.text = Rgb{1, 2, 3};
    skin.comboText = Rgb{4, 5, 6};
    skin.comboBackground = Rgb{7, 8, 9};
    return skin;
}

TEST(ColorsForControl, LabelsShowTheSkinsTextOverTheDarkBrush) {
    const ControlColors c = ColorsForControl(ControlKind::Label, Skin());
    EXPECT_EQ(c.text, (Rgb{1, 2, 3}));
    EXPECT_FALSE(c.textBackground);
    EXPECT_EQ(c.brush, kLabelBrush);
    EXPECT_FALSE(c.transparent);
}

TEST(ColorsForControl, FileNameLabelsLetTheWindowShowThrough) {
    const ControlColors c = ColorsForControl(ControlKind::FileNameLabel, Skin());
    EXPECT_EQ(c.text, (Rgb{1, 2, 3}));
    EXPECT_FALSE(c.textBackground);
    EXPECT_FALSE(c.brush);
    EXPECT_TRUE(c.transparent);
}

TEST(ColorsForControl, ComboBoxesShowTheSkinsComboColoursOverTheGreyBrush) {
    const ControlColors c = ColorsForControl(ControlKind::ComboBox, Skin());
    EXPECT_EQ(c.text, (Rgb{4, 5, 6}));
    EXPECT_EQ(c.textBackground, (Rgb{7, 8, 9}));
    EXPECT_EQ(c.brush, kComboBrush);
    EXPECT_FALSE(c.transparent);
}

TEST(ColorsForControl, OtherControlsGetOnlyTheDarkBrush) {
    const ControlColors c = ColorsForControl(ControlKind::Other, Skin());
    EXPECT_FALSE(c.text);
    EXPECT_FALSE(c.textBackground);
    EXPECT_EQ(c.brush, kLabelBrush);
    EXPECT_FALSE(c.transparent);
}

TEST(ColorsForControl, TheBrushesStayWhateverTheSkinSays) {
    SkinControlColors skin = Skin();
    skin.comboBackground = kLabelBrush;
    EXPECT_EQ(ColorsForControl(ControlKind::ComboBox, skin).brush, kComboBrush);
    EXPECT_EQ(ColorsForControl(ControlKind::Label, skin).brush, kLabelBrush);
    EXPECT_EQ(kLabelBrush, (Rgb{0x3C, 0x3C, 0x3C}));
    EXPECT_EQ(kComboBrush, (Rgb{0x80, 0x80, 0x80}));
}

TEST(ColorsForControl, SystemColoursLeaveEveryControlToThePlatform) {
    SkinControlColors skin = Skin();
    skin.useSystemColors = true;
    for (ControlKind kind : {ControlKind::Label, ControlKind::FileNameLabel, ControlKind::ComboBox, ControlKind::Other}) {
        const ControlColors c = ColorsForControl(kind, skin);
        EXPECT_FALSE(c.text);
        EXPECT_FALSE(c.textBackground);
        EXPECT_FALSE(c.brush);
        EXPECT_FALSE(c.transparent);
    }
}

TEST(ColorsForControl, ASkinWithoutColoursOfItsOwnGivesTheDefaults) {
    const SkinControlColors skin;
    EXPECT_EQ(ColorsForControl(ControlKind::Label, skin).text, (Rgb{0xC0, 0xC0, 0xC0}));
    EXPECT_EQ(ColorsForControl(ControlKind::ComboBox, skin).text, (Rgb{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ColorsForControl(ControlKind::ComboBox, skin).textBackground, (Rgb{0x80, 0x80, 0x80}));
}

}  // namespace
