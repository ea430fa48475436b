// korvane: the desktop program.
//   korvane [FRONT [BACK]]    korvane --help    korvane --version
#include "app/CommandLine.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/TheView.h"
#include "settings/LanguageTable.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Text(int number)
{
    return Language().GetText(number);
}

std::string ProgramName(const char* argv0)
{
    const std::string path = argv0 ? argv0 : "korvane";
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A file named on the command line, as a full path: the back-cover search
// looks beside it.
std::string FullPath(const std::string& path)
{
    return path.empty() ? std::string()
                        : QFileInfo(QString::fromLocal8Bit(path.c_str())).absoluteFilePath().toStdString();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program = ProgramName(argv[0]);
    // --help and --version answer without a display and without a window.
    const CommandLine asked = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (asked.action == CommandLine::Action::Help || asked.action == CommandLine::Action::Version) {
        CKorvaneApp::ReadSettingsAndLanguage();
        const std::string answer =
            asked.action == CommandLine::Action::Help ? CommandLineHelp(program, Text) : CommandLineVersion();
        std::fputs(answer.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
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
    // Qt has taken its own options out of the arguments by now.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    const CommandLine line = ParseCommandLine(args);
    if (line.action != CommandLine::Action::Run) {
        CKorvaneApp::ReadSettingsAndLanguage();
        std::fputs(CommandLineError(program, line, Text).c_str(), stderr);
        return 2;
    }
    // The desktop entry gives the window its icon and name on Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvane.Korvane"));
    CKorvaneApp app;
    if (!app.InitInstance())
        return 1;
    if (!line.front.empty() || !line.back.empty())
        app.View()->SetStartFiles(FullPath(line.front), FullPath(line.back));
    const int code = application.exec();
    app.ExitInstance();
    return code;
}
