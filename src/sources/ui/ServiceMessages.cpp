#include "sources/ui/ServiceMessages.h"

#include "settings/LanguageTable.h"
#include "sources/SourceTexts.h"

QString SourceTextOf(int number) { return QString::fromStdString(Language().GetText(number)); }

QString ServiceFailureText(ServiceFailure failure, const QString& detail)
{
    auto with = [](int number, const QString& part) {
        return QString::fromStdString(FillTextPlaceholders(Language().GetText(number), {part.toStdString()}));
    };
    switch (failure) {
    case ServiceFailure::None:
    case ServiceFailure::Cancelled:
        return {};
    case ServiceFailure::Network:
        return with(SourceText::NoConnection, detail);
    case ServiceFailure::Refused:
        return with(SourceText::Refused, detail);
    case ServiceFailure::TimedOut:
        return SourceTextOf(SourceText::TimedOut);
    case ServiceFailure::Malformed:
        return with(SourceText::Malformed, detail);
    case ServiceFailure::NotFound:
        return SourceTextOf(SourceText::NoRelease);
    case ServiceFailure::TooLarge:
        return SourceTextOf(SourceText::TooLarge);
    }
    return {};
}
