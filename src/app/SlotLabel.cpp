#include "app/SlotLabel.h"

std::string FitLabel(const std::string& fileName, int availableWidth, const TextWidthFunction& textWidth) {
    std::string text = fileName;
    bool cut = false;
    while (!text.empty() && textWidth(text) > availableWidth) {
        // Drop one whole character: a UTF-8 sequence is never split.
        std::size_t n = 1;
        while (n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            ++n;
        text.erase(0, n);
        cut = true;
    }
    return cut ? "..." + text : text;
}
