#pragma once
// CPaper: the owner-drawn button that shows a sheet of paper with its
// cover(s) at the place and size the cover format gives. It paints what the
// paper drawing returns, double-buffered; it carries its slot's right-click
// menu and accepts what other programs drop (files, web addresses, picture
// data), and passes both to its parent as signals.
#include "image/ui/ExternalDrop.h"
#include "print/PaperDrawing.h"

#include <QAbstractButton>

#include <functional>
#include <string>
#include <vector>

class QMenu;
class QTimer;

class CPaper : public QAbstractButton {
    Q_OBJECT
public:
    explicit CPaper(QWidget* parent = nullptr);

    // Every setter stores its value and repaints the whole control. Images
    // and pictures are not owned.
    void SetFormats(const CoverFormatList* formats);
    void SetImage(const CRasterImage* image);
    void SetSecondImage(const CRasterImage* image);
    void SetFormat(SlotFormat format);
    void SetSecondFormat(SlotFormat format);
    void SetSinglePage(bool on);
    void SetDrawCutLines(bool on);
    void SetDrawBorder(bool on);
    void SetLeftSide(bool on);
    void SetPaperSize(double widthMm, double heightMm);
    void SetTrayMode(bool on);
    void SetBackgroundColor(Rgb color);
    void SetOverlay(CRasterImage* picture, int x, int y);
    void SetPlaceholder(const CRasterImage* picture);
    // Words written along the placeholder picture's foot, by language text
    // number (0: none), looked up at each paint in the current language.
    void SetPlaceholderWords(int textNumber);
    // How the first and second image fill their covers, and the bleed.
    void SetFill(const PictureFill& fill);
    void SetSecondFill(const PictureFill& fill);
    void SetBleed(double bleedMm);

    const PaperView& View() const { return view_; }

    // Whether a command was chosen from this paper's menu; asking clears it.
    bool TakeMenuFlag();

    // Whether several dropped files go to the batch job (Options/BatchMode);
    // asked at each drop.
    void SetBatchModeSource(std::function<bool()> batchMode) { batchMode_ = std::move(batchMode); }
    // Text by number in the current language, and whether a language other
    // than English is current (the menu is translated then).
    void SetTextSource(std::function<std::string(int)> textOf, std::function<bool()> translated);
    // Whether a menu command can run, asked as the menu opens; without one an
    // item that acts on the picture is enabled while the paper shows one.
    void SetCommandEnabledSource(std::function<bool(int)> enabled) { commandEnabled_ = std::move(enabled); }

    // The right-click menu as it would be shown now (tests look at it).
    QMenu* BuildMenu(QWidget* parent);
    // Hands dropped files over as a drop does.
    void DropFiles(const std::vector<std::string>& paths);
    // Hands over what another program dropped: files as DropFiles, the rest
    // as PicturesDropped.
    void TakeExternalDrop(const ExternalPictures& drop);
    // Renders the control as it is painted, at the screen's pixel ratio:
    // the paper is drawn in device pixels, so it stays sharp on HiDPI.
    QImage Render() const;
    QImage Render(double devicePixelRatio) const;

signals:
    // A command chosen from the right-click menu, delivered after the menu
    // closed (queued), with the menu flag set.
    void MenuCommand(int commandId);
    // One file dropped.
    void FileDropped(const QString& path);
    // Several files dropped while batch mode is off: the first for this
    // paper's slot, the second for the other one (the rest are left).
    void TwoFilesDropped(const QString& first, const QString& second);
    // Web addresses or picture data dropped (no local file).
    void PicturesDropped(const ExternalPictures& drop);
    // Several files dropped in batch mode, one signal per file in drop order:
    // position 0 for the first, 2 for the last, 1 otherwise.
    void BatchFileDropped(const QString& path, int position);
    // Double-clicked: the zoom view of this paper's page is wanted.
    void ZoomRequested();
    // Something the paper shows changed (the zoom view follows it).
    void ViewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Changed();
    void ShowMenu(const QPoint& globalPos);
    bool SlotLoaded() const;

    PaperView view_;
    // A slot's picture decoded finer than the slot holds it, for a paper
    // larger than the window's screen uses (rare: the slot covers those).
    mutable CScaledPicture decodes_[2];
    bool menuIssued_ = false;
    std::function<bool()> batchMode_;
    std::function<bool(int)> commandEnabled_;
    std::function<std::string(int)> textOf_;
    std::function<bool()> translated_;
    int placeholderWords_ = 0;
    // A click on a paper with a picture waits for the double-click time, so
    // that a double-click opens the zoom view instead of the open dialog.
    QTimer* clickTimer_ = nullptr;
    bool skipRelease_ = false;
};
