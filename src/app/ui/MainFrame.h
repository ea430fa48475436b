#pragma once
// CMainFrame: the fixed-size main window with the menu bar and the main view
// as its client area. It keeps its screen position in the settings.
#include <QMainWindow>

class CKorvaneDoc;
class CMainMenu;
class CTheView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CKorvaneDoc& doc, QWidget* parent = nullptr);
    // Writes the window's position; the view inside then writes its settings.
    ~CMainFrame() override;

    CTheView* View() const { return view_; }
    CMainMenu* Menu() const { return menu_; }

    // The view's initialisation, the size, the stored position (or the
    // screen's centre); then the window is shown.
    void InitialUpdateAndShow();
    // Where the window's normal placement has its top-left corner.
    QPoint NormalPosition() const;

private:
    // Centres the window, frame included, on the screen.
    void Centre();
    // Whether the window placed at `topLeft` can be reached on some screen.
    bool OnAnyScreen(const QPoint& topLeft) const;

    CMainMenu* menu_;
    CTheView* view_;
};
