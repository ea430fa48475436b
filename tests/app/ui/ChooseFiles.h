#pragma once
// Chooses files in the program's open dialog as a user does, from a timer
// while the dialog is shown.
#include "image/ui/ExtendedFileDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>
#include <QTimer>

#include <memory>

// Chooses the files in the next open dialog. The dialog may refuse the first
// accept while it is still reading a freshly made folder, so the choice is
// made again until the dialog has closed.
inline void ChooseInNextDialog(const QStringList& paths)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, paths, started] {
        auto* dialog = qobject_cast<CExtendedFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (started->elapsed() > 120000) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        dialog->setDirectory(QFileInfo(paths.front()).path());
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (paths.size() == 1 && nameEdit) {
            // Typed as a user would: the dialog takes a full path at once,
            // while it is still reading the folder.
            nameEdit->setText(paths.front());
        } else if (paths.size() == 1) {
            dialog->selectFile(paths.front());
        } else {
            QStringList names;
            for (const QString& p : paths)
                names << QLatin1Char('"') + QFileInfo(p).fileName() + QLatin1Char('"');
            if (nameEdit)
                nameEdit->setText(names.join(QLatin1Char(' ')));
            else
                dialog->selectFile(names.join(QLatin1Char(' ')));
        }
        static_cast<QDialog*>(dialog)->accept();
        if (!dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
