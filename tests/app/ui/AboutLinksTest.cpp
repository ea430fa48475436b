// The About box, the link control and the Help menu's web links.
#include "../../app/ui/UiTestHome.h"

#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/TheView.h"
#include "controls/ui/LinkLabel.h"
#include "app/ui/AboutDialog.h"
#include "settings/ui/WebLinks.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>

namespace {

// Opened addresses go to the test, never to a browser or mail program.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    OpenedUrls()
    {
        for (const char* scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
    ~OpenedUrls() override
    {
        for (const char* scheme : {"http", "https", "mailto", "file"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QStringList urls;
public slots:
    void Open(const QUrl& url) { urls << url.toString(); }
};

QStringList LabelTexts(const QWidget& w)
{
    QStringList texts;
    for (const QLabel* label : w.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

}  // namespace

class AboutLinksTest : public QObject {
    Q_OBJECT

    // Clicks the link and returns the text of the message box that came up
    // (empty when none did).
    static QString ClickLink(CLinkLabel& link)
    {
        QString message;
        AnswerNextModal(
            [&](QWidget* w) {
                if (auto* box = qobject_cast<QMessageBox*>(w)) {
                    message = box->text();
                    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
                }
            },
            3000);
        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::qWait(50);
        return message;
    }

private slots:
    void aboutBoxTexts()
    {
        qputenv("KORVANE_HOME_URL", "https://korvane.org/");
        CAboutDlg about;
        qunsetenv("KORVANE_HOME_URL");
        QCOMPARE(about.windowTitle(), QStringLiteral("About Korvane"));
        QCOMPARE(about.VersionText(), QStringLiteral("V1.23"));
        QVERIFY2(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [1-9][0-9]? [0-9]{4} - [0-9]{2}:[0-9]{2}:[0-9]{2}$"))
                     .match(about.BuildText())
                     .hasMatch(),
                 qPrintable(about.BuildText()));
        QCOMPARE(CAboutDlg::BuildStamp("Dec  8 2026", "09:05:01"), QStringLiteral("Dec 8 2026 - 09:05:01"));
        QCOMPARE(CAboutDlg::BuildStamp("Nov 30 2026", "23:59:59"), QStringLiteral("Nov 30 2026 - 23:59:59"));

        const QStringList texts = LabelTexts(about);
        for (const char* fixed : {"Version:", "Build:", "Contact:", "Web:",
                                  "Send your bugs, compliments or just a friendly word to the email address below.",
                                  "Thank you for using Korvane and have fun,"})
            QVERIFY2(texts.contains(QString::fromLatin1(fixed)), fixed);

        // The links show their addresses, in bold blue, orange under the mouse.
        CLinkLabel* contact = about.ContactLink();
        QCOMPARE(contact->text(), ContactMailAddress());
        QCOMPARE(contact->Address(), QStringLiteral("mailto:") + ContactMailAddress());
        QCOMPARE(contact->toolTip(), contact->Address());
        CLinkLabel* web = about.WebLink();
        QCOMPARE(web->text(), QStringLiteral("https://korvane.org/"));
        QCOMPARE(web->Address(), QStringLiteral("https://korvane.org/"));
        QCOMPARE(web->font().weight(), QFont::Bold);
        QCOMPARE(web->CurrentColour(), QColor(0, 0, 255));
        // Fitted to its text, which it shows whole.
        const int textWidth = QFontMetrics(web->font()).horizontalAdvance(web->text());
        QVERIFY2(web->width() >= textWidth && web->width() <= textWidth + 4, qPrintable(QString::number(web->width())));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseMove(web, QPoint(2, 2));
        QVERIFY(web->IsHovering());
        QCOMPARE(web->CurrentColour(), QColor(255, 165, 0));
        QVERIFY(web->font().underline());
    }

    void linkThatCannotBeOpened()
    {
        QWidget window;
        CLinkLabel link(QStringLiteral("my covers"), &window);
        link.SetAddress(QStringLiteral("file:///etc/passwd"));
        link.Attach();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        OpenedUrls opened;
        QCOMPARE(ClickLink(link), QStringLiteral("Unable to open hyperlink:\n\nThe operating system denied\naccess "
                                                 "to the specified file."));
        QVERIFY(!link.IsVisited());
        QCOMPARE(link.CurrentColour(), QColor(0, 0, 238));
        QVERIFY(opened.urls.isEmpty());

        // An address that opens turns the link visited.
        link.SetAddress(QStringLiteral("https://korvane.org/covers"));
        QCOMPARE(ClickLink(link), QString());
        QVERIFY(link.IsVisited());
        QCOMPARE(link.CurrentColour(), QColor(85, 26, 139));
        QCOMPARE(opened.urls, QStringList(QStringLiteral("https://korvane.org/covers")));

        QCOMPARE(CLinkLabel::ErrorText(4), QStringLiteral("Unknown Error (4) occurred."));
        QCOMPARE(CLinkLabel::ErrorText(31),
                 QStringLiteral("There is no application associated\nwith the given filename extension."));
    }

    void attachFillsTextOrAddressAndHoverEnds()
    {
        QWidget window;
        window.resize(300, 100);
        CLinkLabel fromText(QStringLiteral("https://korvane.org/"), &window);
        fromText.Attach();
        QCOMPARE(fromText.Address(), QStringLiteral("https://korvane.org/"));
        CLinkLabel fromAddress(&window);
        fromAddress.setGeometry(100, 40, 150, 40);
        fromAddress.SetAddress(QStringLiteral("mailto:someone@korvane.org"));
        QFont large = fromAddress.font();
        large.setPointSize(14);
        fromAddress.setFont(large);  // the font it is given keeps through hovering
        fromAddress.Attach();
        QCOMPARE(fromAddress.text(), QStringLiteral("mailto:someone@korvane.org"));
        // Fitted around its vertical centre (the label centres vertically).
        QCOMPARE(fromAddress.geometry().center().y(), 59);
        QCOMPARE(fromAddress.x(), 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCursor::setPos(fromAddress.mapToGlobal(QPoint(3, 3)));
        QTest::mouseMove(&fromAddress, QPoint(3, 3));
        QVERIFY(fromAddress.IsHovering());
        QCOMPARE(fromAddress.CurrentColour(), QColor(255, 0, 0));
        QVERIFY(fromAddress.font().underline());
        // The mouse leaves without an event: the watch notices within 100 ms.
        QCursor::setPos(window.mapToGlobal(QPoint(5, 90)));
        QTest::qWait(CLinkLabel::kHoverWatchMs + 60);
        QVERIFY(!fromAddress.IsHovering());
        QCOMPARE(fromAddress.CurrentColour(), QColor(0, 0, 238));
        QVERIFY(!fromAddress.font().underline());
        QCOMPARE(fromAddress.font().pointSize(), 14);
    }

    void helpMenuOpensTheSites()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n");
        qputenv("KORVANE_HOME_URL", "https://korvane.org/");
        CKorvaneApp app;
        QVERIFY(app.InitInstance());
        CTheView* view = app.View();
        OpenedUrls opened;
        for (int id : {Cmd::OnlineHelp, Cmd::Website, Cmd::DownloadCovers1, Cmd::DownloadCovers2, Cmd::MailTranslation}) {
            QVERIFY(view->IsCommandEnabled(id));
            view->OnCommand(id);
        }
        qunsetenv("KORVANE_HOME_URL");
        QCOMPARE(opened.urls, QStringList({OnlineHelpAddress(), QStringLiteral("https://korvane.org/"),
                                           CoverSiteAddress(0), CoverSiteAddress(1),
                                           QUrl(TranslationContactAddress()).toString()}));
        QVERIFY(TranslationContactAddress().startsWith(ContactAddress()));

        QString title;
        AnswerNextModal([&](QWidget* w) {
            title = w->windowTitle();
            if (auto* about = qobject_cast<CAboutDlg*>(w))
                about->accept();
        });
        view->OnCommand(Cmd::About);
        QCOMPARE(title, QStringLiteral("About Korvane"));
    }
};

QTEST_MAIN(AboutLinksTest)
#include "AboutLinksTest.moc"
