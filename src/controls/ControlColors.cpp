#include "controls/ControlColors.h"

ControlColors ColorsForControl(ControlKind kind, const SkinControlColors& skin) {
    ControlColors c;
    if (skin.useSystemColors) return c;
    switch (kind) {
    case ControlKind::ComboBox:
        c.text = skin.comboText;
        c.textBackground = skin.comboBackground;
        c.brush = kComboBrush;
        break;
    case ControlKind::Label:
        c.text = skin.text;
        c.brush = kLabelBrush;
        break;
    case ControlKind::FileNameLabel:
        c.text = skin.text;
        c.transparent = true;
        break;
    case ControlKind::Other:
        c.brush = kLabelBrush;
        break;
    }
    return c;
}
