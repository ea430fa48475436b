#include "app/ui/FormatMarkerList.h"

#include "formats/CoverFormatList.h"
#include "formats/MarkerText.h"
#include "formats/ui/EditLineDialog.h"
#include "formats/ui/EditRectDialog.h"

#include <QListWidget>

#include <algorithm>

namespace {

QString MarkerItemText(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool RunLineDialog(CutLine& line, bool inches, QWidget* parent)
{
    CEditLineDialog dialog(line, inches, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    line = dialog.Line();
    return true;
}

bool RunRectDialog(CutRect& rect, bool inches, QWidget* parent)
{
    CEditRectDialog dialog(rect, inches, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    rect = dialog.Rect();
    return true;
}

}  // namespace

CFormatMarkerList::CFormatMarkerList(CoverFormatList& formats)
    : formats_(formats), lineEditor_(RunLineDialog), rectEditor_(RunRectDialog)
{
}

void CFormatMarkerList::SetEditors(LineEditor line, RectEditor rect)
{
    lineEditor_ = std::move(line);
    rectEditor_ = std::move(rect);
}

void CFormatMarkerList::Show(int i, bool inches)
{
    const int row = list_->currentRow();
    list_->clear();
    if (i >= 0 && i < formats_.count()) {
        for (int j = 0; j < formats_.lineCount(i); ++j) {
            auto* item = new QListWidgetItem(MarkerItemText(LineText(formats_.line(i, j), inches)), list_);
            item->setData(Qt::UserRole, j);
        }
        for (int j = 0; j < formats_.rectCount(i); ++j) {
            auto* item = new QListWidgetItem(MarkerItemText(RectText(formats_.rect(i, j), inches)), list_);
            item->setData(Qt::UserRole, kRectData + j);
        }
    }
    if (row >= 0 && list_->count() > 0)
        list_->setCurrentRow(std::min(row, list_->count() - 1));
}

bool CFormatMarkerList::HasCurrent() const
{
    return list_->currentRow() >= 0;
}

bool CFormatMarkerList::AddLine(int i, bool inches, QWidget* parent)
{
    if (i < 0)
        return false;
    CutLine line{0, 0, 0, 0, 1};
    if (!lineEditor_(line, inches, parent))
        return false;
    formats_.addLine(i, line.x1, line.y1, line.x2, line.y2, line.solid);
    return true;
}

bool CFormatMarkerList::AddRect(int i, bool inches, QWidget* parent)
{
    if (i < 0)
        return false;
    CutRect rect{0, 0, 100, 100, 1};
    if (!rectEditor_(rect, inches, parent))
        return false;
    formats_.addRect(i, rect.x, rect.y, rect.width, rect.height, rect.solid);
    return true;
}

bool CFormatMarkerList::EditCurrent(int i, bool inches, QWidget* parent)
{
    QListWidgetItem* item = list_->currentItem();
    if (i < 0 || !item)
        return false;
    const int data = item->data(Qt::UserRole).toInt();
    if (data < kRectData) {
        CutLine line = formats_.line(i, data);
        if (!lineEditor_(line, inches, parent))
            return false;
        formats_.setLine(i, data, line.x1, line.y1, line.x2, line.y2, line.solid);
    } else {
        CutRect rect = formats_.rect(i, data - kRectData);
        if (!rectEditor_(rect, inches, parent))
            return false;
        formats_.setRect(i, data - kRectData, rect.x, rect.y, rect.width, rect.height, rect.solid);
    }
    return true;
}

bool CFormatMarkerList::DeleteCurrent(int i)
{
    QListWidgetItem* item = list_->currentItem();
    if (i < 0 || !item)
        return false;
    const int data = item->data(Qt::UserRole).toInt();
    if (data < kRectData)
        formats_.removeLine(i, data);
    else
        formats_.removeRect(i, data - kRectData);
    return true;
}
