// A handler that throws: the user reads what went wrong in a message box,
// and the window and the program go on.
#include "../../app/ui/UiTestHome.h"

#include "controls/ui/GuardedHandler.h"

#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <stdexcept>

class GuardedHandlerTest : public QObject {
    Q_OBJECT

private slots:
    void aThrowingHandlerShowsItsMessageAndTheWindowStays()
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("Format Editor"));
        auto* button = new QPushButton(QStringLiteral("Go"), &window);
        (new QVBoxLayout(&window))->addWidget(button);
        int runs = 0;
        QObject::connect(button, &QPushButton::clicked, &window, Guarded(&window, [&runs](bool) {
                             ++runs;
                             throw std::invalid_argument("CoverFormatList: format index -1 out of range");
                         }));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QString title, text;
        AnswerNextModal([&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
            }
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(runs, 1);
        QCOMPARE(title, QStringLiteral("Format Editor"));
        QCOMPARE(text, QStringLiteral("CoverFormatList: format index -1 out of range"));
        QVERIFY(window.isVisible());

        // Again: each throw is met, not only the first.
        AnswerNextModal([](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                box->accept();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(runs, 2);
    }

    void aHandlerThatDoesNotThrowRunsWithTheSignalsArguments()
    {
        QPushButton box(QStringLiteral("Tick"));
        box.setCheckable(true);
        QList<bool> seen;
        int plain = 0;
        QObject::connect(&box, &QPushButton::toggled, &box, Guarded(&box, [&seen](bool on) { seen << on; }));
        QObject::connect(&box, &QPushButton::toggled, &box, Guarded(&box, [&plain] { ++plain; }));
        QTest::mouseClick(&box, Qt::LeftButton);
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(seen, (QList<bool>{true, false}));
        QCOMPARE(plain, 2);
        QVERIFY(RunGuarded(&box, [] {}));
    }
};

QTEST_MAIN(GuardedHandlerTest)
#include "GuardedHandlerTest.moc"
