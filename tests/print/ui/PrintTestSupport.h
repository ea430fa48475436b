#pragma once
// What the print tests share: a small format list, plain images, a prompter
// that counts, and reading back PDF files (pdfinfo, pdftoppm).
#include "settings/Prompter.h"
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"
#include "print/ui/PrintDialogs.h"

#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QImageReader>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

namespace printtest {

inline constexpr int kCdFront = 0;
inline constexpr int kCdBack = 1;
inline constexpr int kDiscTray = 2;
inline constexpr int kGlossyPhoto = 3;

inline CoverFormatList TestFormats() {
    CoverFormatList list;
    CoverFormat front = CoverFormat::NewFormat("CD Front");
    front.width = front.height = 120;
    front.type = "CD_FRONT";
    list.formats.push_back(front);
    CoverFormat back = CoverFormat::NewFormat("CD Back");
    back.width = 150;
    back.height = 118;
    back.type = "CUSTOM";
    list.formats.push_back(back);
    CoverFormat tray = CoverFormat::NewFormat("Disc in Printer Tray");
    tray.width = tray.height = 116;
    tray.type = "CD_TRAY";
    tray.label = 1;
    tray.holeSize = 20;
    list.formats.push_back(tray);
    CoverFormat photo = CoverFormat::NewFormat("Glossy Photo");
    photo.width = 100;
    photo.height = 150;
    photo.type = "PHOTO";
    photo.mediaType = 3;
    list.formats.push_back(photo);
    for (CoverFormat& f : list.formats)
        f.leftX = f.rightX = AUTO_POSITION;
    return list;
}

inline CRasterImage SolidImage(int w, int h, Rgb c) {
    CRasterImage image;
    image.Create(w, h, 24, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelColor(x, y, c);
    return image;
}

class CountingPrompter : public IPrompter {
public:
    int informations = 0;
    int questions = 0;
    int errors = 0;
    void Information(int) override { ++informations; }
    bool AskYesNo(int) override {
        ++questions;
        return false;
    }
    void Error(const std::string&) override { ++errors; }
};

// A field of pdfinfo's report ("Title", "Pages"), trimmed.
inline QString PdfInfo(const QString& pdf, const QString& field) {
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith(field + ":"))
            return line.mid(field.size() + 1).trimmed();
    return {};
}

// One page in grey at `dpi`.
inline QImage RasterisePdf(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString out = dir.filePath("page");
    QProcess p;
    p.start("pdftoppm", {"-gray", "-png", "-r", QString::number(dpi), "-f", QString::number(page), "-l",
                         QString::number(page), "-singlefile", pdf, out});
    p.waitForFinished(60000);
    QImageReader::setAllocationLimit(1024);  // a sheet at 600 dpi is larger than Qt's default limit
    return QImage(out + ".png").convertToFormat(QImage::Format_Grayscale8);
}

// The bounding box of the pixels of grey level `level` (+-3).
inline QRect GreyBounds(const QImage& image, int level) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (std::abs(row[x] - level) <= 3) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(left, top, right - left + 1, bottom - top + 1);
}

// Rectangles equal to a pixel: a picture's far edges may take one more
// column or row when the PDF is rasterised.
inline bool Near(const QRect& a, const QRect& b) {
    return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
           std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
}

inline QString Describe(const QRect& r) {
    return QString("(%1, %2, %3 x %4)").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

inline int CountRed(const QImage& image) {
    int n = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y);
            if (qRed(c) - qGreen(c) > 40 && qRed(c) - qBlue(c) > 40)
                ++n;
        }
    return n;
}

// Answers the print dialog: a PDF file, a queue, or Cancel.
class RecordingDialogs : public IPrintDialogs {
public:
    enum Action { ToPdf, ToQueue, Cancel };
    Action action = ToPdf;
    QString pdfPath;
    QString queue;
    int printDialogs = 0;
    int firstPage = 0, lastPage = 0;
    bool batch = false;
    int couldNotStart = 0;
    bool acceptBatch = true;
    int batchFormat = -1;
    int batchDialogs = 0;
    int batchCount = 0, batchProposed = -2;
    int progressCalls = 0;
    int batchDone = 0;

    bool PrintDialog(QPrinter& printer, int first, int last, bool isBatch) override {
        ++printDialogs;
        firstPage = first;
        lastPage = last;
        batch = isBatch;
        if (action == Cancel)
            return false;
        if (action == ToPdf) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdfPath);
            printer.setPageSize(QPageSize(QPageSize::A4));
            printer.setResolution(600);
        } else {
            printer.setPrinterName(queue);
        }
        return true;
    }
    void Preview(QPrinter&, const std::function<void(QPrinter&)>&) override {}
    bool BatchDialog(int count, int proposed, const CoverFormatList&, int& format) override {
        ++batchDialogs;
        batchCount = count;
        batchProposed = proposed;
        format = batchFormat;
        return acceptBatch;
    }
    bool BatchProgress(int, int) override {
        ++progressCalls;
        return true;
    }
    void BatchDone() override { ++batchDone; }
    bool PrintSetup(CPrinterSettings&) override { return false; }
    void CouldNotStart() override { ++couldNotStart; }
};

}  // namespace printtest
