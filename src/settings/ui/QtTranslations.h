#pragma once
// Qt's own windows (the print and file dialogs, the print preview's toolbar,
// the standard buttons) in the program's language: Qt's translations for the
// current language, installed on the application whenever it changes.
#include <QString>
#include <QStringList>

// The Qt catalogs tried for a language index, best first ("qtbase_de", ...);
// empty for English and for an index outside the table.
QStringList QtCatalogNames(int languageIndex);

// Replaces the Qt translations installed by the previous call with those of
// `languageIndex`, looked for in Qt's translations folder; English removes
// them. Does nothing when that language is already installed. Returns the
// catalog loaded, empty when Qt has none for the language.
QString InstallQtTranslations(int languageIndex);
