#pragma once
// The colours a skin gives the main form's controls. Labels show the skin's
// text colour without a text background of their own over a fixed dark
// brush; the file-name labels under the papers have no brush, so the window
// background shows through; combo boxes show the skin's combo colours over a
// fixed grey brush; every other control gets the dark brush. The two brushes
// keep their colours whatever the skin says. A skin that uses the system's
// colours leaves every control as the platform draws it.
#include "base/Rgb.h"

#include <optional>

enum class ControlKind { Label, FileNameLabel, ComboBox, Other };

// What a skin says about control colours.
struct SkinControlColors {
    bool useSystemColors = false;
    Rgb text{0xC0, 0xC0, 0xC0};
    Rgb comboText{0xFF, 0xFF, 0xFF};
    Rgb comboBackground{0x80, 0x80, 0x80};
};

// How one control is coloured. Empty values leave the platform's choice.
struct ControlColors {
    std::optional<Rgb> text;
    // Behind the text itself (combo boxes' edit and list parts).
    std::optional<Rgb> textBackground;
    // The control's background; empty with `transparent` set: nothing is
    // painted, what lies below shows through.
    std::optional<Rgb> brush;
    bool transparent = false;
};

inline constexpr Rgb kLabelBrush{0x3C, 0x3C, 0x3C};
inline constexpr Rgb kComboBrush{0x80, 0x80, 0x80};

ControlColors ColorsForControl(ControlKind kind, const SkinControlColors& skin);
