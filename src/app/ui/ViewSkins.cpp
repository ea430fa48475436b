// The main view's Skins commands.
#include "app/ui/TheView.h"

bool CTheView::SkinCommandEnabled(int, bool&) const
{
    return false;
}

bool CTheView::RunSkinCommand(int)
{
    return false;
}
