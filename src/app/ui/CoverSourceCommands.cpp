#include "app/ui/CoverSourceCommands.h"

#include "app/KorvaneDoc.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ui/WebLinks.h"
#include "sources/CoverQuery.h"
#include "sources/ServiceSettings.h"
#include "sources/SourceTexts.h"
#include "sources/ui/CoverSearchDialog.h"
#include "sources/ui/ScanDialog.h"

void OpenCoverSearch(CKorvaneDoc& doc, const std::string& leftName, QWidget* parent)
{
    CoverServiceSettings services = ReadCoverServiceSettings();
    services.contact = ContactMailAddress().toStdString();
    services.useProxy = RunningValues().useProxy;
    services.proxy = RunningValues().proxy;
    const CoverQuery query = QueryFromFileName(leftName, RunningValues().leftKeywords);
    auto* dialog = new CCoverSearchDialog(services, query, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &CCoverSearchDialog::CoversChosen, parent,
                     [&doc](const QString& front, const QString& back) {
                         if (!front.isEmpty())
                             doc.LoadImage(Slot::Left, front.toStdString(), true);
                         if (!back.isEmpty())
                             doc.LoadImage(Slot::Right, back.toStdString(), true);
                     });
    dialog->open();
}

void OpenCoverScan(CKorvaneDoc& doc, Slot slot, QWidget* parent)
{
    auto* dialog = new CScanDialog(
        slot,
        [&doc](Slot into, CRasterImage& picture) {
            doc.TakeScannedPicture(into, std::move(picture), Language().GetText(SourceText::ScannedLabel));
        },
        parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
