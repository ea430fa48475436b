#pragma once
// What the window tests share: a program folder of their own (KORVANE_HOME)
// with a copy of the shipped Korvane.dat, settings files written and read
// back, test pictures, and answering modal windows from a timer.
#include "settings/ProgramFolder.h"
#include "settings/SettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>

class TestHome {
public:
    TestHome()
    {
        Q_ASSERT(dir_.isValid());
        QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/Korvane.dat"), dir_.filePath(QStringLiteral("Korvane.dat")));
        QDir().mkpath(dir_.filePath(QStringLiteral("languages")));
        qputenv("KORVANE_HOME", dir_.path().toUtf8());
        ResetSettings(JoinPath(ProgramFolder(), "Korvane.cfg"));
    }

    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }
    QString CfgPath() const { return FilePath(QStringLiteral("Korvane.cfg")); }

    // A settings file as a person writes it: 8-bit text.
    void WriteCfg(const QByteArray& text) const
    {
        QFile f(CfgPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray CfgBytes() const
    {
        QFile f(CfgPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The settings file the program wrote, decoded from UTF-16LE.
    QString CfgText() const
    {
        const QByteArray bytes = CfgBytes();
        if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
            static_cast<unsigned char>(bytes[1]) != 0xFE)
            return {};
        QStringDecoder decode(QStringDecoder::Utf16LE);
        return decode(bytes.mid(2));
    }

    // A picture of w x h pixels, a different colour per quarter, saved in the
    // format the name's extension says.
    QString MakePicture(const QString& name, int w, int h, QColor colour = QColor(200, 40, 40)) const
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        QPainter p(&image);
        p.fillRect(0, 0, w / 2, h / 2, QColor(20, 20, 160));
        p.end();
        const QString path = FilePath(name);
        QDir().mkpath(QFileInfo(path).path());
        if (!image.save(path, nullptr, 95))
            qWarning("could not save %s", qPrintable(path));
        return path;
    }

private:
    QTemporaryDir dir_;
};

// Runs `answer` on the next modal window (a dialog or message box) that
// opens, from the event loop while it is shown; gives up after `timeoutMs`.
// The wait is long on purpose: on a busy machine a file dialog can take seconds
// to appear, and giving up would leave it open and the test hanging.
inline void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs = 120000)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(10);
    // A modal window already up (or still closing) is not the next one.
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [timer, answer, started, timeoutMs, before] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (started->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// The same for the next pop-up menu.
inline void AnswerNextPopup(std::function<void(QWidget*)> answer, int timeoutMs = 120000)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, started, timeoutMs] {
        QWidget* popup = QApplication::activePopupWidget();
        if (popup && popup->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(popup);
        } else if (started->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
