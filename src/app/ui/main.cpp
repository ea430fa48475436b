// korvane: the desktop program.
#include "app/ui/KorvaneApp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a display Qt would stop with a terse message; say how to run it.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
                     "korvane: no display found (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                     "Start it on a desktop, or under a virtual display:\n"
                     "    xvfb-run -a -s \"-screen 0 1280x1024x24\" %s\n",
                     argv[0]);
        return 2;
    }
#endif
    QApplication application(argc, argv);
    // The desktop entry gives the window its icon and name on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    CKorvaneApp app;
    if (!app.InitInstance())
        return 1;
    const int code = application.exec();
    app.ExitInstance();
    return code;
}
