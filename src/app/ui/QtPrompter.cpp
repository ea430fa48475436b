#include "app/ui/QtPrompter.h"

#include "settings/LanguageTable.h"

#include <QGuiApplication>
#include <QMessageBox>

QString MessageBoxTitle()
{
    return QStringLiteral("Korvane");
}

namespace {
QString Text(int number)
{
    return QString::fromStdString(Language().GetText(number));
}

// A box may come up while a file loads under the wait cursor: the user gets
// the arrow back for as long as the box is shown.
class ArrowCursor {
public:
    ArrowCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QGuiApplication::restoreOverrideCursor(); }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
};
}  // namespace

void CQtPrompter::Information(int textNumber)
{
    ArrowCursor arrow;
    QMessageBox::information(parent_, MessageBoxTitle(), Text(textNumber), QMessageBox::Ok);
}

bool CQtPrompter::AskYesNo(int textNumber)
{
    ArrowCursor arrow;
    QMessageBox box(QMessageBox::Information, MessageBoxTitle(), Text(textNumber),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

void CQtPrompter::Error(const std::string& text)
{
    ArrowCursor arrow;
    QMessageBox::critical(parent_, MessageBoxTitle(), QString::fromStdString(text), QMessageBox::Ok);
}

void CQtPrompter::Warning(const std::string& text)
{
    ArrowCursor arrow;
    QMessageBox::warning(parent_, MessageBoxTitle(), QString::fromStdString(text), QMessageBox::Ok);
}

void CQtFormatsReporter::show(const FormatsMessage& message)
{
    CLanguageTable& language = Language();
    language.SetEnglishText(kInvalidKeywordTextId, kInvalidKeywordEnglishText);
    const std::string text = FormatsMessageText(message, language.GetText(kInvalidKeywordTextId));
    ArrowCursor arrow;
    QMessageBox::critical(parent_, MessageBoxTitle(), QString::fromStdString(text), QMessageBox::Ok);
}
