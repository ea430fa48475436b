#include "settings/ui/QtTranslations.h"

#include "settings/LanguageTable.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

// Qt's locale names for the language table's rows, best first. Qt ships no
// Norwegian Bokmål, so Nynorsk stands in; the Limburgish of Maastricht reads
// Dutch.
QStringList LocaleNames(const char* fileName) {
    static const struct {
        const char* fileName;
        const char* locales;
    } kLocales[] = {
        {"Dutch", "nl"},        {"Spanish", "es"},     {"Finnish", "fi"},       {"Swedish", "sv"},
        {"French", "fr"},       {"German", "de"},      {"Italian", "it"},       {"Danish", "da"},
        {"Mestreechs", "nl"},   {"Russian", "ru"},     {"Portuguese", "pt_PT pt"}, {"Estonian", "et"},
        {"Polish", "pl"},       {"Brazilian", "pt_BR"}, {"Norwegian", "nb no nn"}, {"Greek", "el"},
        {"Turkish", "tr"},      {"Czech", "cs"},       {"Romanian", "ro"},      {"Hungarian", "hu"},
        {"Latvian", "lv"},      {"Chinese", "zh_CN"},  {"Japanese", "ja"},      {"Catalan", "ca"},
        {"Arabic", "ar"},       {"Vietnamese", "vi"},  {"Slovak", "sk"},
    };
    for (const auto& l : kLocales)
        if (qstrcmp(l.fileName, fileName) == 0)
            return QString::fromLatin1(l.locales).split(QLatin1Char(' '));
    return {};
}

// Qt 6 asks for the standard buttons' texts ("OK", "&Cancel", "&Yes") under
// "QPlatformTheme" or "QGnomeTheme"; the older all-in-one catalogs hold them
// under "QDialogButtonBox", some without the access key.
class CatalogTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        QString text = QTranslator::translate(context, source, disambiguation, n);
        if (!text.isEmpty() || (qstrcmp(context, "QPlatformTheme") != 0 && qstrcmp(context, "QGnomeTheme") != 0))
            return text;
        text = QTranslator::translate("QDialogButtonBox", source, disambiguation, n);
        if (text.isEmpty() && source && source[0] == '&')
            text = QTranslator::translate("QDialogButtonBox", source + 1, disambiguation, n);
        return text;
    }
};

struct Installed {
    int language = 0;
    QString catalog;
    std::unique_ptr<CatalogTranslator> translator;
};

Installed& Current() {
    static Installed installed;
    return installed;
}

}  // namespace

QStringList QtCatalogNames(int languageIndex) {
    QStringList names;
    if (languageIndex < 1 || languageIndex >= kLanguageCount)
        return names;
    // "qtbase" holds the widgets' texts; a few languages have only the older
    // all-in-one "qt" catalog.
    const QStringList locales = LocaleNames(Languages()[languageIndex].fileName);
    for (const char* catalog : {"qtbase_", "qt_"})
        for (const QString& locale : locales)
            names << QLatin1String(catalog) + locale;
    return names;
}

QString InstallQtTranslations(int languageIndex) {
    Installed& installed = Current();
    if (installed.language == languageIndex && (installed.translator || languageIndex == 0))
        return installed.catalog;
    if (installed.translator)
        QCoreApplication::removeTranslator(installed.translator.get());
    installed = Installed{languageIndex, {}, nullptr};
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& name : QtCatalogNames(languageIndex)) {
        auto translator = std::make_unique<CatalogTranslator>();
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator.get());
            installed.catalog = name;
            installed.translator = std::move(translator);
            break;
        }
    }
    return installed.catalog;
}
