// The main view's Options command: the options dialog, and the skin shown
// again in (or out of) grey when the dialog changed the grey-scale option.
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"
#include "app/ui/OptionsDialog.h"

void CTheView::ShowOptions()
{
    AppSettings& s = RunningValues();
    const int grayBefore = s.grayScale;
    {
        COptionsDialog dialog(s, this);
        dialog.exec();
    }
    // Random keeps the skin it drew.
    if (s.grayScale != grayBefore)
        ApplySkin(skin_.selectedSkin, true);
}
