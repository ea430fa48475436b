// Two real disc-tray printers with Gutenprint's driver PPDs (queues of
// scripts/setup-test-printers.sh on /dev/null, jobs held): "Disc in Printer
// Tray" chooses each driver's CD tray, CD page size and (Canon) disc media,
// the label's hole lands in the middle of the spooled page, and the format
// editor's lists are the driver's own, in its order.
#include "print/PrinterOptions.h"
#include "print/ui/PrintJobRunner.h"
#include "print/ui/PrinterChoiceCombo.h"

#include "CupsTestQueue.h"
#include "PrintTestSupport.h"

#include <QComboBox>
#include <QFile>
#include <QtTest>

using namespace printtest;

namespace {

struct DriverCase {
    const char* queue;
    const char* tray;       // InputSlot the tray preset chooses
    const char* discMedia;  // MediaType it chooses, "" when the driver has none
    QStringList sources;    // the driver's input slots, in its order
    int mediaCount;         // its media types
    const char* firstMedia;
    const char* lastMedia;
};

const DriverCase kEpson{"KorvaneTestXP8500", "CD", "", {"Rear Tray", "Front Tray", "Print to CD"}, 22,
                        "Plain Paper", "Other"};
const DriverCase kCanon{"KorvaneTestIP7250", "CD", "DiscCompat", {"Cassette", "CD tray"}, 17,
                        "Plain Paper", "Other Photo Paper"};

// The centre of the white hole inside the grey disc, in pixels.
QPointF HoleCentre(const QImage& page, const QRect& disc) {
    const QPoint mid = disc.center();
    int left = mid.x(), right = mid.x(), top = mid.y(), bottom = mid.y();
    auto white = [&](int x, int y) { return qGray(page.pixel(x, y)) > 250; };
    while (white(left - 1, mid.y())) --left;
    while (white(right + 1, mid.y())) ++right;
    while (white(mid.x(), top - 1)) --top;
    while (white(mid.x(), bottom + 1)) ++bottom;
    return QPointF((left + right + 1) / 2.0, (top + bottom + 1) / 2.0);
}

}  // namespace

class GutenprintTest : public QObject {
    Q_OBJECT

    CoverFormatList formats_ = TestFormats();
    CRasterImage disc_ = SolidImage(600, 600, Rgb{128, 128, 128});
    CRasterImage none_;
    QTemporaryDir dir_;

    void PrintsTheDiscInTheTray(const DriverCase& d) {
        if (!cupstest::QueueExists(d.queue))
            QSKIP("the Gutenprint test queues are not set up (scripts/setup-test-printers.sh as root, "
                  "with printer-driver-gutenprint)");
        AppPrinterSettings().Clear();
        AppPrinterSettings().SelectPrinter(d.queue);
        RecordingDialogs dialogs;
        dialogs.action = RecordingDialogs::ToQueue;
        dialogs.queue = d.queue;
        const std::string name = std::string("gutenprint-") + d.queue + "-" +
                                 std::to_string(QCoreApplication::applicationPid()) + ".png";
        PrintJobRequest request;
        request.printMode = PrintMode::Left;
        request.leftFormat = kDiscTray;
        request.leftName = name;
        request.drawCutLines = 0;
        request.printBorder = 0;
        PrintJobSource source;
        source.formats = &formats_;
        source.leftImage = &disc_;
        source.rightImage = &none_;
        source.readControls = [request] { return request; };
        const PrintJobOutcome out = RunCoverPrintJob(source, dialogs, false);
        QCOMPARE(out.pages, 1);
        QVERIFY(!out.refused);

        const std::vector<int> jobs = cupstest::JobsNamed(d.queue, "Korvane - " + name);
        QCOMPARE(jobs.size(), size_t(1));
        const auto attrs = cupstest::JobAttributes(jobs[0]);
        const std::string spooled = cupstest::SpoolFile(jobs[0]);
        const QString pdf = dir_.filePath(QString(d.queue) + ".pdf");
        const bool copied = !spooled.empty() && QFile::copy(QString::fromStdString(spooled), pdf);
        cupstest::CancelJob(d.queue, jobs[0]);

        QCOMPARE(attrs.count("InputSlot") ? attrs.at("InputSlot") : std::string(), std::string(d.tray));
        QCOMPARE(attrs.count("media") ? attrs.at("media") : std::string(), std::string("CD5Inch"));
        QCOMPARE(attrs.count("MediaType") ? attrs.at("MediaType") : std::string(), std::string(d.discMedia));
        if (!copied)
            QSKIP("the spooled page cannot be read (not root): its hole was not measured");

        // The 116 mm disc on the 116.06 mm CD page; its hole in the middle.
        const QImage page = RasterisePdf(pdf, 1, 600);
        QVERIFY2(std::abs(page.width() - 2742) <= 1, qPrintable(QString::number(page.width())));
        const QRect disc = GreyBounds(page, 128);
        QVERIFY2(disc.width() > 2600, qPrintable(Describe(disc)));
        const QPointF hole = HoleCentre(page, disc);
        const QPointF centre(page.width() / 2.0, page.height() / 2.0);
        qInfo("%s: page %d x %d, disc %s, hole centre (%.1f, %.1f)", d.queue, page.width(), page.height(),
              qPrintable(Describe(disc)), hole.x(), hole.y());
        QVERIFY2(std::abs(hole.x() - centre.x()) <= 1.0 && std::abs(hole.y() - centre.y()) <= 1.0,
                 qPrintable(QString("hole at (%1, %2), page centre (%3, %4)")
                                .arg(hole.x()).arg(hole.y()).arg(centre.x()).arg(centre.y())));
    }

    void ListsAreTheDrivers(const DriverCase& d) {
        if (!cupstest::QueueExists(d.queue))
            QSKIP("the Gutenprint test queues are not set up");
        AppPrinterSettings().Clear();
        AppPrinterSettings().SelectPrinter(d.queue);
        QComboBox media, source;
        FillMediaTypeCombo(&media);
        FillPaperSourceCombo(&source);
        QStringList sources;
        for (int i = 0; i + 1 < source.count(); ++i)
            sources << source.itemText(i);
        QCOMPARE(sources, d.sources);
        QCOMPARE(source.itemText(source.count() - 1), QString("Use printer default"));
        QCOMPARE(media.count(), d.mediaCount + 1);
        QCOMPARE(media.itemText(0), QString(d.firstMedia));
        QCOMPARE(media.itemData(0).toInt(), 1);  // plain paper has its standard number
        QCOMPARE(media.itemText(d.mediaCount - 1), QString(d.lastMedia));
        QCOMPARE(media.itemData(d.mediaCount - 1).toInt(), 256 + d.mediaCount - 1);
    }

private slots:
    void epsonPrintsTheDiscInItsTray() { PrintsTheDiscInTheTray(kEpson); }
    void canonPrintsTheDiscInItsTrayOnDiscMedia() { PrintsTheDiscInTheTray(kCanon); }
    void epsonListsAreTheDrivers() { ListsAreTheDrivers(kEpson); }
    void canonListsAreTheDrivers() { ListsAreTheDrivers(kCanon); }
};

QTEST_MAIN(GutenprintTest)
#include "GutenprintTest.moc"
