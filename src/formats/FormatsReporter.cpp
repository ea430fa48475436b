#include "formats/FormatsReporter.h"

std::string FormatsMessageText(const FormatsMessage& message, const std::string& invalidKeywordText) {
    if (message.kind == FormatsMessageKind::FileNotFound) return kFormatsFileMissingText;
    std::string text = invalidKeywordText;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, message.line);
    return text;
}

std::string FormatsMessageLine(const std::string& file, const FormatsMessage& message) {
    if (message.kind == FormatsMessageKind::FileNotFound) return file + ": " + kFormatsFileMissingText;
    std::string line = message.line;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return file + ":" + std::to_string(message.lineNumber) + ": invalid keyword, the line is ignored: " + line;
}
