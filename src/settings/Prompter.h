#pragma once
// Message boxes the core asks for. Texts are given by their language text
// number (the implementation looks up the current language) or, for the few
// untranslated messages, as text.
#include <string>

// Text numbers the core uses.
inline constexpr int kTextNoImageSelected = 2006;      // "no image selected"
inline constexpr int kTextImageFromClipboard = 2010;   // "Image from Clipboard"
inline constexpr int kTextFrontInsideRotated = 4001;   // landscape front + inside is turned
inline constexpr int kTextRotateDvdQuestion = 4003;    // turn a landscape DVD cover?
inline constexpr int kTextOutsidePrintableArea = 4004; // cover moved into the printable area

class IPrompter {
public:
    virtual ~IPrompter() = default;
    // Information box with an OK button.
    virtual void Information(int textNumber) = 0;
    // Message box with the information icon and the buttons Yes and No;
    // true for Yes.
    virtual bool AskYesNo(int textNumber) = 0;
    // Error box with a fixed (untranslated) text.
    virtual void Error(const std::string& text) = 0;
    // Warning box: something was done, but not all of it.
    virtual void Warning(const std::string& text) { Error(text); }
};
