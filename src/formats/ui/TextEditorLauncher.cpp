#include "formats/ui/TextEditorLauncher.h"

#include "formats/DesktopEntry.h"

#include <QMessageBox>
#include <QProcess>
#include <QStringList>

namespace {
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool StartDetached(const EditorCommand& command)
{
    QStringList args;
    for (std::size_t k = 1; k < command.argv.size(); ++k)
        args << Utf8(command.argv[k]);
    return QProcess::startDetached(Utf8(command.argv[0]), args, Utf8(command.workingDir));
}
}  // namespace

bool OpenInTextEditor(const std::string& file, const EditorEnvironment& env, QWidget* parent, std::string* message)
{
    EditorSearch search = FindTextEditors(file, env);
    for (const EditorCommand& command : search.commands) {
        if (StartDetached(command))
            return true;
        search.tried.push_back(JoinCommandLine(command.argv) + " (could not be started)");
    }
    const std::string text = EditorFailureMessage(search.tried, file);
    if (message)
        *message = text;
    if (parent) {
        // A plain message box, without an icon.
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Korvane"), Utf8(text), QMessageBox::Ok, parent);
        box.exec();
    }
    return false;
}
