// The line and rectangle dialogs: the line-type radios mapped to and from x1,
// the live preview, inch display and input, and their captions in another
// language.
#include "../../app/ui/UiTestHome.h"

#include "formats/ui/EditLineDialog.h"
#include "formats/ui/EditRectDialog.h"
#include "settings/LanguageTable.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {
template <class W = QWidget>
W* Ctl(const CMarkerDialog& d, int id)
{
    W* w = qobject_cast<W*>(d.Control(id));
    if (!w)
        qFatal("control %d missing", id);
    return w;
}

void Type(const CMarkerDialog& d, int id, const QString& text)
{
    auto* field = Ctl<QLineEdit>(d, id);
    field->selectAll();
    QTest::keyClicks(field, text);
}
}  // namespace

class MarkerDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void newLineIsCustomAndFollowsItsFields()
    {
        CEditLineDialog d(CutLine{0, 0, 0, 0, 1}, false);
        QCOMPARE(d.windowTitle(), QStringLiteral("Add / Edit Line"));
        QVERIFY(Ctl<QRadioButton>(d, 1033)->isChecked());
        QCOMPARE(Ctl<QLineEdit>(d, CEditLineDialog::kStartX)->text(), QStringLiteral("0.0"));
        QCOMPARE(d.PreviewText(), QStringLiteral("LINE = (0.0, 0.0)(0.0, 0.0), SOLID"));
        Type(d, CEditLineDialog::kEndX, QStringLiteral("120"));
        Type(d, CEditLineDialog::kStartY, QStringLiteral("6"));
        Type(d, CEditLineDialog::kEndY, QStringLiteral("6"));
        QTest::mouseClick(Ctl(d, CMarkerDialog::kDashedId), Qt::LeftButton);
        QCOMPARE(d.PreviewText(), QStringLiteral("LINE = (0.0, 6.0)(120.0, 6.0), DASHED"));
        QCOMPARE(d.Line(), (CutLine{0, 6, 120, 6, 0}));
    }

    void edgeTypesEmptyAndDisableTheCoordinates()
    {
        CEditLineDialog d(CutLine{1, 2, 3, 4, 1}, false);
        QTest::mouseClick(Ctl(d, 1031), Qt::LeftButton);  // top edge
        QCOMPARE(d.PreviewText(), QStringLiteral("LINE = TOP, SOLID"));
        QCOMPARE(d.Line().x1, EDGE_TOP);
        QVERIFY(!Ctl(d, 1097)->isEnabled());
        QVERIFY(!Ctl(d, CEditLineDialog::kEndY)->isEnabled());
        QCOMPARE(Ctl<QLineEdit>(d, CEditLineDialog::kStartX)->text(), QString());
        // Back to custom: the emptied fields read as 0.
        QTest::mouseClick(Ctl(d, 1033), Qt::LeftButton);
        QVERIFY(Ctl(d, CEditLineDialog::kEndY)->isEnabled());
        QCOMPARE(d.PreviewText(), QStringLiteral("LINE = (0.0, 0.0)(0.0, 0.0), SOLID"));
    }

    void storedEdgeLinesOpenOnTheirRadio()
    {
        CEditLineDialog left(CutLine{EDGE_LEFT, 0, 0, 0, 0}, false);
        QVERIFY(Ctl<QRadioButton>(left, 1014)->isChecked());
        QCOMPARE(left.PreviewText(), QStringLiteral("LINE = LEFT, DASHED"));
        QVERIFY(Ctl<QRadioButton>(left, CMarkerDialog::kDashedId)->isChecked());
        CEditLineDialog bottom(CutLine{EDGE_BOTTOM, 0, 0, 0, 1}, true);
        QCOMPARE(bottom.TypeIndex(), 3);
        // 5000 selects no radio and stays 5000.
        CEditLineDialog none(CutLine{AUTO_POSITION, 1, 2, 3, 1}, false);
        QCOMPARE(none.TypeIndex(), -1);
        QCOMPARE(none.Line().x1, AUTO_POSITION);
        QCOMPARE(LineTypeIndex(AUTO_POSITION), 5);
        QCOMPARE(LineTypeIndex(MARKER_MIN), 4);
    }

    void rectangleInInches()
    {
        CEditRectDialog fresh(CutRect{0, 0, 100, 100, 1}, false);
        QCOMPARE(fresh.PreviewText(), QStringLiteral("RECT = (0.0, 0.0)(100.0, 100.0), SOLID"));
        CEditRectDialog d(CutRect{0, 0, 100, 100, 1}, true);
        QCOMPARE(Ctl<QLineEdit>(d, CEditRectDialog::kWidth)->text(), QStringLiteral("3.94"));
        QCOMPARE(Ctl<QLineEdit>(d, CEditRectDialog::kHeight)->text(), QStringLiteral("3.94"));
        QCOMPARE(d.Rect().width, 100.0);  // shown rounded, kept exact
        Type(d, CEditRectDialog::kWidth, QStringLiteral("4"));
        QCOMPARE(d.Rect().width, 101.6);
        QCOMPARE(d.Rect().height, 100.0);
        QCOMPARE(d.PreviewText(), QStringLiteral("RECT = (0.00, 0.00)(4.00, 3.94), SOLID"));
    }

    void captionsComeFromTheLanguage()
    {
        TestHome home;
        QFile lng(home.FilePath(QStringLiteral("languages/German.lng")));
        QVERIFY(lng.open(QIODevice::WriteOnly));
        lng.write("[German]\r\n7100=Schnittlinie\r\n7104=Oben\r\n7108=X-Wert:\r\n7200=Schnittrechteck\r\n"
                  "7202=Gr\xC3\xB6\xC3\x9F" "e\r\n7031=Abbrechen\r\n");
        lng.close();
        CLanguageTable& language = Language();
        language.ProbeLanguageFiles();
        language.SelectLanguage(6);
        QCOMPARE(language.GetCurrentLanguage(), 6);
        {
            CEditLineDialog line(CutLine{}, false);
            QCOMPARE(line.windowTitle(), QStringLiteral("Schnittlinie"));
            QCOMPARE(Ctl<QRadioButton>(line, 1031)->text(), QStringLiteral("Oben"));
            QCOMPARE(Ctl<QLabel>(line, 1098)->text(), QStringLiteral("X-Wert:"));
            QCOMPARE(Ctl<QRadioButton>(line, 1032)->text(),
                     QStringLiteral("Horizontal line at the bottom of the cover."));
            CEditRectDialog rect(CutRect{}, false);
            QCOMPARE(rect.windowTitle(), QStringLiteral("Schnittrechteck"));
            QCOMPARE(Ctl<QGroupBox>(rect, 1114)->title(), QStringLiteral("Gr\u00f6\u00dfe"));
            QCOMPARE(Ctl<QAbstractButton>(rect, 2)->text(), QStringLiteral("Abbrechen"));
        }
        language.SelectLanguage(0);
    }
};

QTEST_MAIN(MarkerDialogsTest)
#include "MarkerDialogsTest.moc"
