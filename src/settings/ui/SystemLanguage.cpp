#include "settings/ui/SystemLanguage.h"

int PrimaryLanguageId(QLocale::Language language)
{
    switch (language) {
    case QLocale::Arabic: return 0x01;
    case QLocale::Catalan: return 0x03;
    case QLocale::Chinese: return 0x04;
    case QLocale::Czech: return 0x05;
    case QLocale::Danish: return 0x06;
    case QLocale::German: return 0x07;
    case QLocale::Greek: return 0x08;
    case QLocale::English: return 0x09;
    case QLocale::Spanish: return 0x0A;
    case QLocale::Finnish: return 0x0B;
    case QLocale::French: return 0x0C;
    case QLocale::Hungarian: return 0x0E;
    case QLocale::Italian: return 0x10;
    case QLocale::Japanese: return 0x11;
    case QLocale::Dutch: return 0x13;
    case QLocale::NorwegianBokmal:
    case QLocale::NorwegianNynorsk: return 0x14;
    case QLocale::Polish: return 0x15;
    case QLocale::Portuguese: return 0x16;
    case QLocale::Romanian: return 0x18;
    case QLocale::Russian: return 0x19;
    case QLocale::Slovak: return 0x1B;
    case QLocale::Swedish: return 0x1D;
    case QLocale::Turkish: return 0x1F;
    case QLocale::Estonian: return 0x25;
    case QLocale::Latvian: return 0x26;
    case QLocale::Vietnamese: return 0x2A;
    default: return 0;
    }
}
