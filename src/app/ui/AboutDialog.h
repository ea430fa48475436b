#pragma once
// CAboutDlg: the About box (408 x 145 dialog units) with the version, the
// build's date and time, the contact and web links, and the photos-and-videos
// picture over the top right corner.
#include "controls/ui/FormLayout.h"
#include "image/RasterImage.h"

#include <QDialog>

class CLinkLabel;
class QLabel;

class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateWidth = 408;
    static constexpr int kTemplateHeight = 145;

    explicit CAboutDlg(QWidget* parent = nullptr);

    QString VersionText() const;
    QString BuildText() const;
    CLinkLabel* ContactLink() const { return contact_; }
    CLinkLabel* WebLink() const { return web_; }

    // "Dec 8 2026 - 09:05:01" from the compiler's "Dec  8 2026" and "09:05:01".
    static QString BuildStamp(const char* date, const char* time);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* AddText(const QString& text, int x, int y, int cx, int cy);
    CLinkLabel* AddLink(const QString& address, const QString& shown, int x, int y, int cx, int cy);

    CFormLayout layout_;
    CRasterImage picture_;
    QLabel* version_ = nullptr;
    QLabel* build_ = nullptr;
    CLinkLabel* contact_ = nullptr;
    CLinkLabel* web_ = nullptr;
};
