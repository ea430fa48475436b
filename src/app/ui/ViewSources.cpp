// Covers from the online services and the scanner: the dialogs open over
// the view without blocking it; what they bring goes into the slots as an
// opened or pasted picture would.
#include "app/KorvaneDoc.h"
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ui/WebLinks.h"
#include "sources/CoverQuery.h"
#include "sources/ServiceSettings.h"
#include "sources/SourceTexts.h"
#include "sources/ui/CoverSearchDialog.h"
#include "sources/ui/ScanDialog.h"

void CTheView::FindCoverOnline(Slot)
{
    CoverServiceSettings services = ReadCoverServiceSettings();
    services.contact = ContactMailAddress().toStdString();
    services.useProxy = RunningValues().useProxy;
    services.proxy = RunningValues().proxy;
    // The search starts from the left slot's file, the front cover.
    const CoverQuery query = QueryFromFileName(state_.leftName, RunningValues().leftKeywords);
    auto* dialog = new CCoverSearchDialog(services, query, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CCoverSearchDialog::CoversChosen, this, [this](const QString& front, const QString& back) {
        if (!front.isEmpty())
            doc_.LoadImage(Slot::Left, front.toStdString(), true);
        if (!back.isEmpty())
            doc_.LoadImage(Slot::Right, back.toStdString(), true);
    });
    dialog->open();
}

void CTheView::ScanCover(Slot slot)
{
    auto* dialog = new CScanDialog(
        slot,
        [this](Slot into, CRasterImage& picture) {
            doc_.TakeScannedPicture(into, std::move(picture), Language().GetText(SourceText::ScannedLabel));
        },
        this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
