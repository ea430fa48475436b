#pragma once
// Setting a SANE device's options by their well-known names. Devices name
// their modes and constrain their values in their own ways; each setter
// picks the device's nearest choice and does nothing when the device has no
// such option (a device without a preview mode still scans).
#include <sane/sane.h>

// Colour or grey among the device's modes ("Color", "Gray", "Grey", ...).
void SetScanMode(SANE_Handle h, bool grey);
// An integer or fixed-point option (a number list picks the nearest entry).
void SetNumberOption(SANE_Handle h, const char* name, double value);
double NumberOption(SANE_Handle h, const char* name, double fallback);
void SetBoolOption(SANE_Handle h, const char* name, bool value);
// The area from the top left corner of the platen (tl-x, tl-y, br-x, br-y),
// for devices that measure it in millimetres.
void SetScanArea(SANE_Handle h, double widthMm, double heightMm);
