#pragma once
// How the formats reader tells the user about a missing file or a line it
// cannot use. The reader does not compose or show texts itself: the main
// window shows message boxes (with the current language's text 4000), the
// command line prints "FILE:LINE: text", tests collect the messages.
#include <cstddef>
#include <string>
#include <vector>

enum class FormatsMessageKind {
    FileNotFound,    // the file could not be opened; fixed English text
    InvalidKeyword,  // a key line with no keyword; language text 4000
};

struct FormatsMessage {
    FormatsMessageKind kind = FormatsMessageKind::InvalidKeyword;
    std::size_t lineNumber = 0;  // 1-based line in the file; 0 for FileNotFound
    std::string line;            // the line as read (no line end); empty for FileNotFound
};

class CFormatsReporter {
public:
    virtual ~CFormatsReporter() = default;
    virtual void report(const FormatsMessage& message) = 0;
};

// Keeps every message, in order.
class CCollectingFormatsReporter : public CFormatsReporter {
public:
    std::vector<FormatsMessage> messages;
    void report(const FormatsMessage& message) override { messages.push_back(message); }
};

// Fixed English text shown when the formats file cannot be opened (not translated).
inline constexpr const char* kFormatsFileMissingText = "No configuration file found. Please Reinstall Korvane.";
// Language text number of the invalid-keyword message, and its English text;
// "%s" stands for the line.
inline constexpr int kInvalidKeywordTextId = 4000;
inline constexpr const char* kInvalidKeywordEnglishText =
    "Invalid keyword in configuration file : \n%s\nThe line will be ignored...";

// The text to show for a message. `invalidKeywordText` is text 4000 of the
// current language; its first "%s" is replaced by the line (the line is never
// used as a format string).
std::string FormatsMessageText(const FormatsMessage& message,
                               const std::string& invalidKeywordText = kInvalidKeywordEnglishText);

// The same message as one line in the conventional "FILE:LINE: text" form
// (without LINE for a file that cannot be opened), for the command line and
// logs; control characters of the line are shown as '?'.
std::string FormatsMessageLine(const std::string& file, const FormatsMessage& message);
