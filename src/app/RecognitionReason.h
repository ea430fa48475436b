#pragma once
// Why a slot shows its format, in the user's words: which format, from which
// proportions, and whether the picture was turned. The facts come from the
// recognition; this only puts them into the language's texts.
#include "app/FormatRecognition.h"

#include <functional>
#include <string>

inline constexpr int kTextReasonRecognised = 9810;  // "%s: %s x %s px, ratio %s (format %s); %s"
inline constexpr int kTextReasonNotTurned = 9811;
inline constexpr int kTextReasonTurnedClockwise = 9812;
inline constexpr int kTextReasonTurnedCounter = 9813;
inline constexpr int kTextReasonChosenInList = 9814;  // "%s: chosen in the list; the picture is ..."

// "CD Front: 1400 x 1400 px, ratio 1.00 (format 1.00); not turned" when
// recognition chose the slot's format (a turned picture's ratio as it stands
// turned, beside the format's); text 9814 when the format was chosen
// in the list since (or recognition is off). `formatName` and
// `slotFormatRatio` are the slot's format's, as the window shows it. Empty
// for a slot without a picture or without a format.
std::string RecognitionReason(const RecognitionFacts& facts, int slotFormat, const std::string& formatName,
                              double slotFormatRatio, const std::function<std::string(int)>& textOf);

// A ratio as the reason shows it: two decimals and a full stop, whatever
// the locale.
std::string RatioText(double ratio);
