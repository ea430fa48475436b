#include "print/ui/PaperWidget.h"

#include "print/ui/PaperMenuCommands.h"
#include "image/ui/QtPainterSurface.h"

#include <QAction>
#include <QColor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

bool Readable(const std::string& path)
{
    const QFileInfo info(QString::fromStdString(path));
    return info.isFile() && info.isReadable();
}

}  // namespace

CPaper::CPaper(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void CPaper::Changed()
{
    update();
}

void CPaper::SetFormats(const CoverFormatList* formats) { view_.formats = formats; Changed(); }
void CPaper::SetImage(const CRasterImage* image) { view_.firstImage = image; Changed(); }
void CPaper::SetSecondImage(const CRasterImage* image) { view_.secondImage = image; Changed(); }
void CPaper::SetFormat(SlotFormat format) { view_.firstFormat = format; Changed(); }
void CPaper::SetSecondFormat(SlotFormat format) { view_.secondFormat = format; Changed(); }
void CPaper::SetSinglePage(bool on) { view_.singlePage = on; Changed(); }
void CPaper::SetDrawCutLines(bool on) { view_.drawCutLines = on; Changed(); }
void CPaper::SetDrawBorder(bool on) { view_.drawBorder = on; Changed(); }
void CPaper::SetLeftSide(bool on) { view_.leftSide = on; Changed(); }
void CPaper::SetTrayMode(bool on) { view_.trayMode = on; Changed(); }
void CPaper::SetBackgroundColor(Rgb color) { view_.backgroundColor = color; Changed(); }
void CPaper::SetPlaceholder(const CRasterImage* picture) { view_.placeholder = picture; Changed(); }

void CPaper::SetPlaceholderWords(int textNumber)
{
    placeholderWords_ = textNumber;
    Changed();
}

void CPaper::SetPaperSize(double widthMm, double heightMm)
{
    view_.paperWidth = widthMm;
    view_.paperHeight = heightMm;
    Changed();
}

void CPaper::SetOverlay(CRasterImage* picture, int x, int y)
{
    view_.overlay = picture;
    view_.overlayX = x;
    view_.overlayY = y;
    Changed();
}

void CPaper::SetTextSource(std::function<std::string(int)> textOf, std::function<bool()> translated)
{
    textOf_ = std::move(textOf);
    translated_ = std::move(translated);
}

bool CPaper::TakeMenuFlag()
{
    const bool issued = menuIssued_;
    menuIssued_ = false;
    return issued;
}

bool CPaper::SlotLoaded() const
{
    return view_.firstImage && view_.firstImage->IsValid();
}

QImage CPaper::Render() const
{
    QImage buffer(size(), QImage::Format_RGB32);
    QPainter p(&buffer);
    CQtPainterSurface pixels(p, width(), height());
    CDrawContext surface(pixels);
    DrawPaper(surface, view_);
    const SurfaceRect picture = PlaceholderRect(view_, width(), height());
    const std::string words = placeholderWords_ && textOf_ ? textOf_(placeholderWords_) : std::string();
    if (!words.empty() && !picture.empty()) {
        // In the picture's white foot, centred under it; a long translation
        // may take the paper's width and is shortened beyond that.
        QFont font = p.font();
        font.setPixelSize(12);
        p.setFont(font);
        p.setPen(QColor(0x8a, 0x8a, 0x8a));
        const int centre = (picture.left + picture.right) / 2;
        const int half = std::max(picture.width(), width() - 8) / 2;
        const QRect band(centre - half, picture.bottom - 22, 2 * half, 20);
        const QString text = p.fontMetrics().elidedText(QString::fromStdString(words), Qt::ElideRight, band.width());
        p.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    return buffer;
}

void CPaper::paintEvent(QPaintEvent*)
{
    // Everything is drawn off-screen and copied in one block.
    const QImage buffer = Render();
    QPainter(this).drawImage(0, 0, buffer);
}

QMenu* CPaper::BuildMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const bool translate = translated_ && translated_() && textOf_;
    // A language text replaces the item's text; a language without it keeps
    // the English one rather than leaving the item blank.
    auto text = [&](const char* english, int number) {
        if (translate) {
            const std::string t = textOf_(number);
            if (!t.empty())
                return QString::fromStdString(t);
        }
        return QString::fromLatin1(english);
    };
    auto add = [&](QMenu* m, const char* english, int number, int command) {
        QAction* a = m->addAction(text(english, number));
        a->setData(command);
        return a;
    };
    const bool loaded = SlotLoaded();
    auto enabled = [&](int command, bool withoutSource) {
        return commandEnabled_ ? commandEnabled_(command) : withoutSource;
    };
    add(menu, "Load Image...", 8000, Cmd::PaperLoad)->setEnabled(enabled(Cmd::PaperLoad, true));
    add(menu, "Paste", 8006, Cmd::PaperPaste)->setEnabled(enabled(Cmd::PaperPaste, true));
    QMenu* rotate = menu->addMenu(text("Rotate", 8001));
    const bool cw = enabled(Cmd::PaperRotateCw, loaded);
    const bool ccw = enabled(Cmd::PaperRotateCcw, loaded);
    add(rotate, "Clockwise", 8002, Cmd::PaperRotateCw)->setEnabled(cw);
    add(rotate, "Counterclockwise", 8003, Cmd::PaperRotateCcw)->setEnabled(ccw);
    rotate->setEnabled(cw || ccw);
    add(menu, "New", 8004, Cmd::PaperNew)->setEnabled(enabled(Cmd::PaperNew, loaded));
    add(menu, "Print...", 8005, Cmd::PaperPrint)->setEnabled(enabled(Cmd::PaperPrint, loaded));
    // Covers from elsewhere, for this paper's slot.
    menu->addSeparator();
    add(menu, "Find Cover Online...", 9720, Cmd::PaperFindCover)->setEnabled(enabled(Cmd::PaperFindCover, true));
    add(menu, "Scan Cover...", 9721, Cmd::PaperScanCover)->setEnabled(enabled(Cmd::PaperScanCover, true));
    return menu;
}

void CPaper::ShowMenu(const QPoint& globalPos)
{
    QMenu* menu = BuildMenu(this);
    QPointer<CPaper> self(this);
    QAction* chosen = menu->exec(globalPos);
    const int command = chosen ? chosen->data().toInt() : 0;
    menu->deleteLater();
    if (!self || command == 0)
        return;
    menuIssued_ = true;
    // Posted, as the menu's choice reaches the parent after the menu closed.
    QMetaObject::invokeMethod(this, [this, command] { emit MenuCommand(command); }, Qt::QueuedConnection);
}

void CPaper::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        ShowMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QAbstractButton::mousePressEvent(event);
}

void CPaper::dragEnterEvent(QDragEnterEvent* event)
{
    if (CarriesExternalPictures(event->mimeData()))
        event->acceptProposedAction();
}

void CPaper::dragMoveEvent(QDragMoveEvent* event)
{
    if (CarriesExternalPictures(event->mimeData()))
        event->acceptProposedAction();
}

void CPaper::dropEvent(QDropEvent* event)
{
    if (!CarriesExternalPictures(event->mimeData()))
        return;
    event->acceptProposedAction();
    TakeExternalDrop(ReadExternalPictures(event->mimeData()));
}

void CPaper::TakeExternalDrop(const ExternalPictures& drop)
{
    if (drop.files.isEmpty()) {
        if (!drop.Empty())
            emit PicturesDropped(drop);
        return;
    }
    std::vector<std::string> paths;
    for (const QString& f : drop.files)
        paths.push_back(f.toStdString());
    DropFiles(paths);
}

void CPaper::DropFiles(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    const bool batch = batchMode_ && batchMode_();
    if (paths.size() == 1) {
        emit FileDropped(QString::fromStdString(paths.front()));
        return;
    }
    if (!batch) {
        emit TwoFilesDropped(QString::fromStdString(paths[0]), QString::fromStdString(paths[1]));
        return;
    }
    // Files that cannot be read make no part of the batch; the positions
    // count the files that do, so the job always sees a first and a last,
    // and a single readable file is loaded as one dropped file.
    std::vector<std::string> readable;
    for (const std::string& p : paths) {
        if (Readable(p))
            readable.push_back(p);
    }
    if (readable.size() == 1) {
        emit FileDropped(QString::fromStdString(readable.front()));
        return;
    }
    for (std::size_t i = 0; i < readable.size(); ++i) {
        const int position = i == 0 ? 0 : (i + 1 == readable.size() ? 2 : 1);
        emit BatchFileDropped(QString::fromStdString(readable[i]), position);
    }
}
