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
#include <QApplication>
#include <QStyleHints>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

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
    clickTimer_ = new QTimer(this);
    clickTimer_->setSingleShot(true);
    connect(clickTimer_, &QTimer::timeout, this, [this] { emit clicked(); });
}

void CPaper::Changed()
{
    update();
    emit ViewChanged();
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

void CPaper::SetFill(const PictureFill& fill) { view_.firstFill = fill; Changed(); }
void CPaper::SetSecondFill(const PictureFill& fill) { view_.secondFill = fill; Changed(); }
void CPaper::SetBleed(double bleedMm) { view_.bleedMm = bleedMm; Changed(); }

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
    return Render(devicePixelRatioF());
}

QImage CPaper::Render(double ratio) const
{
    ratio = std::clamp(ratio, 1.0, 8.0);
    const int w = static_cast<int>(std::lround(width() * ratio)), h = static_cast<int>(std::lround(height() * ratio));
    QImage buffer(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
    {
        // The paper and its covers in device pixels; the skin's pictures keep
        // their own pixels, scaled to where they stand.
        QPainter device(&buffer);
        CQtPainterSurface pixels(device, buffer.width(), buffer.height());
        CDrawContext surface(pixels);
        PaperView view = view_;
        view.overlayX = static_cast<int>(std::lround(view_.overlayX * ratio));
        view.overlayY = static_cast<int>(std::lround(view_.overlayY * ratio));
        view.pictureScale = ratio;
        DrawPaper(surface, WithPicturesForSize(view, buffer.width(), buffer.height(), decodes_));
    }
    buffer.setDevicePixelRatio(ratio);
    QPainter p(&buffer);
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
    // The slot's picture stretched, fitted or filling its cover; the current
    // choice checked.
    QMenu* picture = menu->addMenu(text("Picture", 9780));
    const struct {
        const char* english;
        int number, command;
        CoverFit fit;
    } fits[] = {{"Stretch", 9781, Cmd::PaperStretch, CoverFit::Stretch},
                {"Fit", 9782, Cmd::PaperFit, CoverFit::Fit},
                {"Fill", 9783, Cmd::PaperFill, CoverFit::Fill}};
    for (const auto& f : fits) {
        QAction* a = add(picture, f.english, f.number, f.command);
        a->setCheckable(true);
        a->setChecked(view_.firstFill.fit == f.fit);
        a->setEnabled(enabled(f.command, true));
    }
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

void CPaper::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && (skipRelease_ || SlotLoaded())) {
        // The release that ends a double-click does nothing more; a click on
        // a picture waits to see whether it becomes one.
        const bool inside = hitButton(event->position().toPoint());
        setDown(false);
        if (!skipRelease_ && inside)
            clickTimer_->start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        skipRelease_ = false;
        event->accept();
        return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CPaper::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractButton::mouseDoubleClickEvent(event);
        return;
    }
    clickTimer_->stop();
    skipRelease_ = true;
    event->accept();
    emit ZoomRequested();
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
