// The main view's Options commands.
#include "app/ui/TheView.h"

bool CTheView::OptionsCommandEnabled(int, bool&) const
{
    return false;
}

bool CTheView::RunOptionsCommand(int)
{
    return false;
}
