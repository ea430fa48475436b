#pragma once
// The message boxes that come up while it lives, each read and answered with
// its OK button as a user would.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QtTest>

class Boxes : public QObject {
public:
    Boxes()
    {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box == last_)
                return;
            last_ = box;
            texts << box->text();
            icons << box->icon();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        timer_.start();
    }
    QStringList texts;
    QList<QMessageBox::Icon> icons;

private:
    QTimer timer_;
    QPointer<QMessageBox> last_;
};
