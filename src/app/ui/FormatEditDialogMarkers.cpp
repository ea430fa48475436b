// CFormatEditDialog: the cut-marker list of the selected format and the
// buttons that add, change and remove its lines and rectangles.
#include "app/ui/FormatEditDialog.h"

#include "formats/MarkerText.h"

#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace {
QString MarkerItemText(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

void CFormatEditDialog::RefreshMarkers()
{
    const int row = markers_->currentRow();
    markers_->clear();
    const int i = shown_;
    if (i >= 0 && i < formats_.count()) {
        const bool inches = InchMode();
        for (int j = 0; j < formats_.lineCount(i); ++j) {
            auto* item = new QListWidgetItem(MarkerItemText(LineText(formats_.line(i, j), inches)), markers_);
            item->setData(Qt::UserRole, j);
        }
        for (int j = 0; j < formats_.rectCount(i); ++j) {
            auto* item = new QListWidgetItem(MarkerItemText(RectText(formats_.rect(i, j), inches)), markers_);
            item->setData(Qt::UserRole, kMarkerRectData + j);
        }
    }
    if (row >= 0 && markers_->count() > 0)
        markers_->setCurrentRow(std::min(row, markers_->count() - 1));
    UpdateMarkerButtons();
    RepaintPreviews();
}

void CFormatEditDialog::UpdateMarkerButtons()
{
    const bool on = shown_ >= 0 && markers_->currentRow() >= 0;
    Control(EditMarker)->setEnabled(on);
    Control(DeleteMarker)->setEnabled(on);
}

void CFormatEditDialog::OnAddLine()
{
    const int i = shown_;
    if (i < 0)
        return;
    CutLine line{0, 0, 0, 0, 1};
    if (!lineEditor_(line, InchMode(), this))
        return;
    formats_.addLine(i, line.x1, line.y1, line.x2, line.y2, line.solid);
    Changed();
    RefreshMarkers();
}

void CFormatEditDialog::OnAddRect()
{
    const int i = shown_;
    if (i < 0)
        return;
    CutRect rect{0, 0, 100, 100, 1};
    if (!rectEditor_(rect, InchMode(), this))
        return;
    formats_.addRect(i, rect.x, rect.y, rect.width, rect.height, rect.solid);
    Changed();
    RefreshMarkers();
}

void CFormatEditDialog::OnEditMarker()
{
    const int i = shown_;
    QListWidgetItem* item = markers_->currentItem();
    if (i < 0 || !item)
        return;
    const int data = item->data(Qt::UserRole).toInt();
    if (data < kMarkerRectData) {
        CutLine line = formats_.line(i, data);
        if (!lineEditor_(line, InchMode(), this))
            return;
        formats_.setLine(i, data, line.x1, line.y1, line.x2, line.y2, line.solid);
    } else {
        CutRect rect = formats_.rect(i, data - kMarkerRectData);
        if (!rectEditor_(rect, InchMode(), this))
            return;
        formats_.setRect(i, data - kMarkerRectData, rect.x, rect.y, rect.width, rect.height, rect.solid);
    }
    Changed();
    RefreshMarkers();
}

void CFormatEditDialog::OnDeleteMarker()
{
    const int i = shown_;
    QListWidgetItem* item = markers_->currentItem();
    if (i < 0 || !item)
        return;
    const int data = item->data(Qt::UserRole).toInt();
    if (data < kMarkerRectData)
        formats_.removeLine(i, data);
    else
        formats_.removeRect(i, data - kMarkerRectData);
    Changed();
    RefreshMarkers();  // keeps the row, or the one before when the last went
}
