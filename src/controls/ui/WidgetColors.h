#pragma once
// Gives a widget the colours ColorsForControl chose: text colours through
// the palette's text roles, the brush as an automatically filled window
// background. Empty choices give the platform's colours back.
#include "controls/ControlColors.h"

class QWidget;

void ApplyControlColors(QWidget* widget, const ControlColors& colors);
