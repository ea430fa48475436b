#include "formats/FormatsReporter.h"

std::string FormatsMessageText(const FormatsMessage& message, const std::string& invalidKeywordText) {
    switch (message.kind) {
    case FormatsMessageKind::FileNotFound:
        return kFormatsFileMissingText;
    case FormatsMessageKind::FileTooLarge:
        return "The formats file is too large: " + std::to_string(message.fileBytes) + " bytes; the limit is " +
               std::to_string(message.limitBytes) + " bytes.";
    case FormatsMessageKind::FileUnreadable:
        return "The formats file cannot be read: " + message.reason;
    case FormatsMessageKind::FurtherLinesIgnored:
        return std::to_string(message.ignoredLines) +
               (message.ignoredLines == 1 ? " further line" : " further lines") +
               " of the configuration file could not be used and were ignored.";
    case FormatsMessageKind::InvalidKeyword:
        break;
    }
    std::string text = invalidKeywordText;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, message.line);
    return text;
}

void CBoxLimitFormatsReporter::report(const FormatsMessage& message) {
    if (message.kind == FormatsMessageKind::InvalidKeyword) {
        if (shown_ >= limit_) {
            ++ignored_;
            return;
        }
        ++shown_;
    }
    show(message);
}

void CBoxLimitFormatsReporter::finish() {
    if (ignored_ > 0) {
        FormatsMessage summary{FormatsMessageKind::FurtherLinesIgnored, 0, std::string()};
        summary.ignoredLines = ignored_;
        show(summary);
    }
    shown_ = ignored_ = 0;
}

std::string FormatsMessageLine(const std::string& file, const FormatsMessage& message) {
    if (message.kind != FormatsMessageKind::InvalidKeyword) return file + ": " + FormatsMessageText(message);
    std::string line = message.line;
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return file + ":" + std::to_string(message.lineNumber) + ": invalid keyword, the line is ignored: " + line;
}
