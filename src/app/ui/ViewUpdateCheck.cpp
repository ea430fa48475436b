// Where the update check starts after the main view's first timer. The check
// itself (a worker thread asking the web site) is not built yet.
#include "app/ui/TheView.h"

void CTheView::StartUpdateCheck() {}
