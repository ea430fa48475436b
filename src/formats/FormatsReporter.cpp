#include "formats/FormatsReporter.h"

std::string FormatsMessageText(const FormatsMessage& message, const std::string& invalidKeywordText) {
    if (message.kind == FormatsMessageKind::FileNotFound) return kFormatsFileMissingText;
    std::string text = invalidKeywordText;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, message.line);
    return text;
}
