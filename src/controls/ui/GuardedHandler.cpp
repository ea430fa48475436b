#include "controls/ui/GuardedHandler.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <exception>

namespace {

void ShowFailure(QWidget* owner, const QString& what)
{
    const QString title = owner && !owner->window()->windowTitle().isEmpty() ? owner->window()->windowTitle()
                                                                              : QCoreApplication::applicationName();
    QMessageBox::warning(owner, title, what);
}

}  // namespace

bool RunGuarded(QWidget* owner, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        ShowFailure(owner, QString::fromUtf8(e.what()));
    } catch (...) {
        ShowFailure(owner, QStringLiteral("Unexpected error."));
    }
    return false;
}
