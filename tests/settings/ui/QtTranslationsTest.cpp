// Qt's own windows follow the program's language: every shipped language has
// Qt's translations of the standard buttons and the print dialogs, English
// has none, and switching languages replaces the catalog.
#include "settings/LanguageTable.h"
#include "settings/ui/QtTranslations.h"

#include <QApplication>
#include <QDir>
#include <QtTest>

class QtTranslationsTest : public QObject {
    Q_OBJECT

    static int IndexOf(const QString& fileName)
    {
        for (int i = 1; i < kLanguageCount; ++i)
            if (fileName == QLatin1String(Languages()[i].fileName))
                return i;
        return -1;
    }

private slots:
    void everyShippedLanguageHasQtsTexts()
    {
        const QDir folder(QStringLiteral(KORVANE_SOURCE_DIR "/resources/languages"));
        const QStringList files = folder.entryList({QStringLiteral("*.lng")}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& file : files) {
            const QString name = QFileInfo(file).completeBaseName();
            const int index = IndexOf(name);
            QVERIFY2(index >= 1, qPrintable(name));
            const QString catalog = InstallQtTranslations(index);
            QVERIFY2(!catalog.isEmpty(), qPrintable(name + ": no Qt catalog among " + QtCatalogNames(index).join(' ')));
            const QString cancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
            const QString print = QCoreApplication::translate("QPrintDialog", "Print");
            QVERIFY2(cancel != QLatin1String("Cancel") && print != QLatin1String("Print"),
                     qPrintable(name + " " + catalog));
        }
    }

    void switchingLanguagesReplacesTheCatalog()
    {
        QCOMPARE(InstallQtTranslations(6), QStringLiteral("qtbase_de"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        QCOMPARE(InstallQtTranslations(6), QStringLiteral("qtbase_de"));  // again: nothing changes
        QCOMPARE(InstallQtTranslations(5), QStringLiteral("qtbase_fr"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annuler"));
        // Brazilian and Portuguese are not the same catalog.
        QCOMPARE(InstallQtTranslations(14), QStringLiteral("qtbase_pt_BR"));
        QCOMPARE(InstallQtTranslations(11), QStringLiteral("qt_pt_PT"));
        // The older catalogs keep the standard buttons under another name.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
        QCOMPARE(InstallQtTranslations(4), QStringLiteral("qt_sv"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
        QCOMPARE(QCoreApplication::translate("QGnomeTheme", "&Cancel"), QStringLiteral("&Avbryt"));
        QCOMPARE(InstallQtTranslations(0), QString());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        QVERIFY(QtCatalogNames(0).isEmpty());
        QVERIFY(QtCatalogNames(kLanguageCount).isEmpty());
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "QtTranslationsTest.moc"
