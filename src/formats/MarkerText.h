#pragma once
// The texts the format editor shows for lengths and cut markers, and how it
// reads a typed length. Millimetres are shown with one decimal, inches
// (millimetres / 25.4) with two; "." is the decimal point whatever the locale.
#include "base/Length.h"
#include "formats/CoverFormat.h"

#include <string>
#include <string_view>

// A length field's text: "" for AUTO_POSITION, else "%0.1f" of the
// millimetres or "%0.2f" of the inches.
std::string LengthText(double mm, bool inches);
// A typed length in millimetres: the number at the start of the text (after
// white space) as the C library reads it, 0 when there is none; times 25.4
// in inch mode.
double ParseLength(std::string_view text, bool inches);
// A length read back from a field that showed `held`: while the field still
// shows exactly the text of `held`, `held` itself (so a value is not rounded
// to the shown decimals by merely being displayed), else ParseLength.
double ReadLength(std::string_view text, double held, bool inches);

// A marker value: "" for AUTO_POSITION, "LEFT", "RIGHT", "TOP", "BOTTOM" for
// the edge markers, else the length text.
std::string MarkerValueText(double value, bool inches);
// "LINE = LEFT, SOLID" for an edge line (x1 above 5000), else
// "LINE = (x1, y1)(x2, y2), DASHED".
std::string LineText(const CutLine& line, bool inches);
// "RECT = (x, y)(width, height), SOLID".
std::string RectText(const CutRect& rect, bool inches);
