// The main view's Options command: the options dialog, and the skin shown
// again in (or out of) grey when the dialog changed the grey-scale option.
#include "app/ui/CommandIds.h"
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"
#include "settings/ui/OptionsDialog.h"

bool CTheView::OptionsCommandEnabled(int id, bool& enabled) const
{
    if (id != Cmd::Options)
        return false;
    enabled = true;
    return true;
}

bool CTheView::RunOptionsCommand(int id)
{
    if (id != Cmd::Options)
        return false;
    AppSettings& s = RunningValues();
    const int grayBefore = s.grayScale;
    {
        COptionsDialog dialog(s, this);
        dialog.exec();
    }
    // Random keeps the skin it drew.
    if (s.grayScale != grayBefore)
        ApplySkin(skin_.selectedSkin, true);
    return true;
}
