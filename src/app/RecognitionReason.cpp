#include "app/RecognitionReason.h"

#include "settings/LanguageTable.h"

#include <charconv>
#include <cmath>

std::string RatioText(double ratio) {
    if (!std::isfinite(ratio))
        ratio = 0;
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, ratio, std::chars_format::fixed, 2);
    return end.ec == std::errc() ? std::string(buffer, end.ptr) : std::string("0.00");
}

std::string RecognitionReason(const RecognitionFacts& facts, int slotFormat, const std::string& formatName,
                              double slotFormatRatio, const std::function<std::string(int)>& textOf) {
    if (facts.width <= 0 || facts.height <= 0 || slotFormat < 0)
        return {};
    const std::string width = std::to_string(facts.width);
    const std::string height = std::to_string(facts.height);
    if (!facts.recognised || facts.format != slotFormat)
        return FillTextPlaceholders(textOf(kTextReasonChosenInList),
                                    {formatName, width, height, RatioText(facts.ratio), RatioText(slotFormatRatio)});
    const int turn = facts.turn > 0 ? kTextReasonTurnedClockwise
                     : facts.turn < 0 ? kTextReasonTurnedCounter
                                      : kTextReasonNotTurned;
    // A turned picture matched the format standing on its side: its ratio
    // so turned is the one beside the format's.
    const double ratio = facts.turn != 0 && facts.ratio > 0 ? 1 / facts.ratio : facts.ratio;
    return FillTextPlaceholders(textOf(kTextReasonRecognised), {formatName, width, height, RatioText(ratio),
                                                                RatioText(facts.formatRatio), textOf(turn)});
}
