#pragma once
// The program's own windows opened from the main view: the Options dialog,
// the About box and the update check.
class QWidget;

// The Options dialog over the running values; returns whether it changed
// the grey-scale option (the skin is then shown again, in or out of grey).
bool RunOptionsDialog(QWidget* parent);
void ShowAboutBox(QWidget* parent);
// Asks the web site for a newer version on a worker thread; its messages
// come up over `parent`. Without a site to ask there is no request at all.
void StartUpdateCheck(QWidget* parent);
