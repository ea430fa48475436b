#include "app/ui/MainFrame.h"

#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

CMainFrame::CMainFrame(CKorvaneDoc& doc, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    // No maximise box and no sizing border: the window keeps its size.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    menu_ = new CMainMenu(menuBar());
    view_ = new CTheView(doc, this);
    view_->SetMenu(menu_);
    setCentralWidget(view_);
    // Why the slot changed last shows its format.
    auto* reason = new QLabel(statusBar());
    reason->setObjectName(QStringLiteral("reason"));
    statusBar()->addWidget(reason, 1);
    connect(view_, &CTheView::StatusTextChanged, reason, &QLabel::setText);
}

CMainFrame::~CMainFrame()
{
    // The view closes first, then the frame records its place: the settings
    // file then lists Options before Position, as users find it documented.
    const QPoint p = NormalPosition();
    delete takeCentralWidget();
    view_ = nullptr;
    AppSettings& s = RunningValues();
    s.positionX = p.x();
    s.positionY = p.y();
    WriteWindowPosition(s);
}

QPoint CMainFrame::NormalPosition() const
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // The restored placement, frame included.
        const QRect normal = normalGeometry();
        return normal.topLeft() - (geometry().topLeft() - frameGeometry().topLeft());
    }
    return pos();
}

void CMainFrame::InitialUpdateAndShow()
{
    view_->InitialUpdate();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setFixedSize(sizeHint());

    AppSettings& s = RunningValues();
    ReadWindowPosition(s);
    if (s.positionX == -1) {
        Centre();
        show();
        // The window's frame is known once it is shown.
        Centre();
    } else if (!OnAnyScreen(QPoint(s.positionX, s.positionY))) {
        // A place on a screen that is no longer there: the window would be
        // out of reach, so it is centred instead.
        Centre();
        show();
        Centre();
    } else {
        move(s.positionX, s.positionY);
        show();
    }
}

bool CMainFrame::OnAnyScreen(const QPoint& topLeft) const
{
    // The window's top strip, where it is taken hold of, must be reachable.
    const QRect grip(topLeft, QSize(frameGeometry().width(), 30));
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect seen = grip.intersected(screen->availableGeometry());
        if (seen.width() >= 50 && seen.height() >= 20)
            return true;
    }
    return false;
}

void CMainFrame::Centre()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    if (frame.topLeft() != pos())
        move(frame.topLeft());
}
