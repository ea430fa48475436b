// The main view's FormatEditor commands.
#include "app/ui/TheView.h"

bool CTheView::EditorCommandEnabled(int, bool&) const
{
    return false;
}

bool CTheView::RunEditorCommand(int)
{
    return false;
}
