// CPaper paints what the paper drawing gives, carries its slot's pop-up menu
// (texts, greyed items, the menu flag) and reports dropped files.
#include "../../app/ui/UiTestHome.h"

#include "app/CommandIds.h"
#include "print/ui/PaperWidget.h"
#include "print/PaperDrawing.h"
#include "settings/LanguageTable.h"

#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

namespace {

CoverFormatList TwoFormats()
{
    CoverFormatList formats;
    CoverFormat front = CoverFormat::NewFormat("CD Front");
    front.type = "CD_FRONT";
    front.width = front.height = 120;
    front.lines.push_back(CutLine{EDGE_TOP, 0, 0, 0, 0});
    formats.formats.push_back(front);
    CoverFormat tray = CoverFormat::NewFormat("Tray");
    tray.type = "CD_TRAY";
    tray.width = tray.height = 118;
    tray.holeSize = 20;
    tray.leftX = 40;
    tray.leftY = 60;
    tray.paperWidth = 150;
    tray.paperHeight = 250;
    formats.formats.push_back(tray);
    return formats;
}

CRasterImage Picture(int w, int h)
{
    CRasterImage img;
    img.Create(w, h, 24, IMAGE_BMP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelColor(x, y, Rgb{static_cast<std::uint8_t>(x * 5), 90, static_cast<std::uint8_t>(y * 5)});
    return img;
}

int Differences(const QImage& shot, const CRasterSurface& expected)
{
    int diff = 0;
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            const Rgb e = expected.GetPixel(x, y);
            if (QColor(shot.pixel(x, y)) != QColor(e.r, e.g, e.b))
                ++diff;
        }
    return diff;
}

void DropOn(QWidget* w, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &drop);
}

}  // namespace

class PaperWidgetTest : public QObject {
    Q_OBJECT
private slots:
    void paintsWhatThePaperDrawingGives()
    {
        const CoverFormatList formats = TwoFormats();
        const CRasterImage cover = Picture(60, 60);
        const CRasterImage second = Picture(30, 40);
        CPaper paper;
        paper.resize(182, 263);
        paper.SetFormats(&formats);
        paper.SetImage(&cover);
        paper.SetSecondImage(&second);
        paper.SetFormat(LeftFormat(0));
        paper.SetSecondFormat(RightFormat(0));
        paper.SetDrawCutLines(true);
        paper.SetSinglePage(true);
        paper.SetDrawBorder(true);
        QCOMPARE(Differences(paper.grab().toImage(), RenderPaper(paper.View(), 182, 263)), 0);
        // The sheet is white with the cover on its upper half.
        const QImage shot = paper.grab().toImage();
        QCOMPARE(QColor(shot.pixel(5, 250)), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(60, 60, 60));  // corner in the background colour

        // The empty tray: a grey disc where the format puts it.
        CPaper tray;
        tray.resize(182, 263);
        tray.SetFormats(&formats);
        tray.SetFormat(LeftFormat(1));
        tray.SetPaperSize(150, 250);
        tray.SetTrayMode(true);
        tray.SetBackgroundColor(Rgb{0x3C, 0x3C, 0x3C});
        const QImage trayShot = tray.grab().toImage();
        QCOMPARE(Differences(trayShot, RenderPaper(tray.View(), 182, 263)), 0);
        QCOMPARE(QColor(trayShot.pixel(0, 100)), QColor(0x3C, 0x3C, 0x3C));
    }

    void placeholderWordsAreWrittenInTheCurrentLanguage()
    {
        const CoverFormatList formats = TwoFormats();
        CRasterImage wheels;
        QVERIFY(wheels.LoadFromResource("IDJ_WHEELS", "JPG", IMAGE_JPG));
        std::string words = "Click to load a cover";
        CPaper paper;
        paper.resize(182, 263);
        paper.SetFormats(&formats);
        paper.SetFormat(LeftFormat(0));
        paper.SetPlaceholder(&wheels);
        paper.SetTextSource([&](int n) { return n == 9643 ? words : std::string(); }, [] { return true; });
        const SurfaceRect where = PlaceholderRect(paper.View(), 182, 263);
        QCOMPARE(where, (SurfaceRect{11, 51, 171, 211}));
        // Without words the paper is the drawing alone.
        QCOMPARE(Differences(paper.grab().toImage(), RenderPaper(paper.View(), 182, 263)), 0);

        paper.SetPlaceholderWords(9643);
        const QImage english = paper.grab().toImage();
        const CRasterSurface bare = RenderPaper(paper.View(), 182, 263);
        int inFoot = 0, elsewhere = 0;
        for (int y = 0; y < 263; ++y)
            for (int x = 0; x < 182; ++x) {
                const Rgb e = bare.GetPixel(x, y);
                if (QColor(english.pixel(x, y)) == QColor(e.r, e.g, e.b))
                    continue;
                (y >= where.bottom - 22 && y < where.bottom - 2 ? inFoot : elsewhere)++;
            }
        QVERIFY(inFoot > 40);
        QCOMPARE(elsewhere, 0);
        // Another language's words, looked up at the next paint.
        words = "Klicken, um ein Cover zu laden";
        paper.update();
        QVERIFY(paper.grab().toImage() != english);
        // With an image loaded there is no placeholder and no words.
        const CRasterImage cover = Picture(60, 60);
        paper.SetImage(&cover);
        QVERIFY(PlaceholderRect(paper.View(), 182, 263).empty());
        QCOMPARE(Differences(paper.grab().toImage(), RenderPaper(paper.View(), 182, 263)), 0);
    }

    void menuGreysWhatAnEmptySlotCannotDo()
    {
        CPaper paper;
        std::unique_ptr<QMenu> empty(paper.BuildMenu(nullptr));
        QList<bool> enabled;
        for (QAction* a : empty->actions())
            enabled << a->isEnabled();
        // Stretch, fit or fill can be chosen before a picture is there, and
        // the covers from elsewhere, after their separator, need none.
        QCOMPARE(enabled, (QList<bool>{true, true, false, true, false, false, true, true, true}));
        const CRasterImage cover = Picture(10, 10);
        paper.SetImage(&cover);
        std::unique_ptr<QMenu> full(paper.BuildMenu(nullptr));
        for (QAction* a : full->actions())
            QVERIFY(a->isEnabled());
        QMenu* rotate = full->actions()[2]->menu();
        QVERIFY(rotate);
        QCOMPARE(rotate->actions().size(), 2);
        QCOMPARE(rotate->actions()[0]->text(), QStringLiteral("Clockwise"));
        QCOMPARE(rotate->actions()[0]->data().toInt(), Cmd::PaperRotateCw);
        QCOMPARE(rotate->actions()[1]->text(), QStringLiteral("Counterclockwise"));
    }

    void menuIsTranslatedWhileALanguageIsActive()
    {
        TestHome home;
        QFile lng(home.FilePath(QStringLiteral("languages/German.lng")));
        QVERIFY(lng.open(QIODevice::WriteOnly));
        lng.write("[German]\r\n8000=Bild laden...\r\n8001=Drehen\r\n8002=Im Uhrzeigersinn\r\n"
                  "8003=Gegen den Uhrzeigersinn\r\n8004=Neu\r\n8005=Drucken...\r\n");
        lng.close();
        CLanguageTable& language = Language();
        language.SelectLanguage(6);
        QCOMPARE(language.GetCurrentLanguage(), 6);
        CPaper paper;
        paper.SetTextSource([](int n) { return Language().GetText(n); },
                            [] { return Language().GetCurrentLanguage() != 0; });
        std::unique_ptr<QMenu> menu(paper.BuildMenu(nullptr));
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << a->text();
        // The file has no text for "Paste": it keeps its English one; the
        // cover sources' items get the program's English texts.
        QCOMPARE(texts, (QStringList{QStringLiteral("Bild laden..."), QStringLiteral("Paste"),
                                     QStringLiteral("Drehen"), QStringLiteral("Picture"), QStringLiteral("Neu"),
                                     QStringLiteral("Drucken..."), QString(), QStringLiteral("&Find Cover Online..."),
                                     QStringLiteral("&Scan Cover...")}));
        QCOMPARE(menu->actions()[2]->menu()->actions()[1]->text(), QStringLiteral("Gegen den Uhrzeigersinn"));
        language.SelectLanguage(0);
        std::unique_ptr<QMenu> english(paper.BuildMenu(nullptr));
        QCOMPARE(english->actions()[0]->text(), QStringLiteral("Load Image..."));
    }

    void aChosenCommandSetsTheFlagAndIsPosted()
    {
        const CRasterImage cover = Picture(10, 10);
        CPaper paper;
        paper.resize(100, 140);
        paper.SetImage(&cover);
        paper.show();
        QSignalSpy spy(&paper, &CPaper::MenuCommand);
        AnswerNextPopup([](QWidget* w) {
            auto* menu = qobject_cast<QMenu*>(w);
            menu->setActiveAction(menu->actions()[4]);  // New
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QTest::mouseClick(&paper, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        QCOMPARE(spy.count(), 0);  // posted, not sent
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toInt(), Cmd::PaperNew);
        QVERIFY(paper.TakeMenuFlag());
        QVERIFY(!paper.TakeMenuFlag());
        // A menu closed without a choice sends nothing and sets no flag.
        AnswerNextPopup([](QWidget* w) { w->close(); });
        QTest::mouseClick(&paper, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        QTest::qWait(20);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!paper.TakeMenuFlag());
    }

    void droppedFilesAreReportedInOrder()
    {
        TestHome home;
        const QString a = home.MakePicture(QStringLiteral("a.png"), 10, 10);
        const QString b = home.MakePicture(QStringLiteral("b.png"), 10, 10);
        const QString c = home.MakePicture(QStringLiteral("c.png"), 10, 10);
        bool batch = false;
        CPaper paper;
        paper.SetBatchModeSource([&batch] { return batch; });
        paper.resize(50, 50);
        paper.show();
        QSignalSpy one(&paper, &CPaper::FileDropped);
        QSignalSpy many(&paper, &CPaper::BatchFileDropped);
        QSignalSpy two(&paper, &CPaper::TwoFilesDropped);
        // Outside batch mode the first two: one for this paper, one for the other.
        DropOn(&paper, {a, b, c});
        QCOMPARE(one.count(), 0);
        QCOMPARE(two.count(), 1);
        QCOMPARE(two[0][0].toString(), a);
        QCOMPARE(two[0][1].toString(), b);
        QCOMPARE(many.count(), 0);
        batch = true;
        DropOn(&paper, {c, b, a});
        QCOMPARE(many.count(), 3);
        QCOMPARE(many[0][0].toString(), c);
        QCOMPARE(many[0][1].toInt(), 0);
        QCOMPARE(many[1][1].toInt(), 1);
        QCOMPARE(many[2][0].toString(), a);
        QCOMPARE(many[2][1].toInt(), 2);
        DropOn(&paper, {b});
        QCOMPARE(one.count(), 1);
        QCOMPARE(one[0][0].toString(), b);
        QCOMPARE(many.count(), 3);
        QCOMPARE(two.count(), 1);
    }
};

QTEST_MAIN(PaperWidgetTest)
#include "PaperWidgetTest.moc"
