#pragma once
// The platform's primary language id (the LANG_* values the language table's
// rows carry) for a Qt language.
#include <QLocale>

// 0 (neutral) for a language no row names.
int PrimaryLanguageId(QLocale::Language language);
