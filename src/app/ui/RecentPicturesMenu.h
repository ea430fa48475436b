#pragma once
// The File menu's recent pictures: one item per picture, most recent first,
// a missing file shown but not available.
#include <optional>
#include <string>

class CMainMenu;

// Whether the recent picture at `index` (0 the most recent) can be opened.
bool RecentPictureUsable(int index);
// The items' texts, tooltips and visibility, and the sub-menu's availability.
void ShowRecentPictures(CMainMenu& menu);
// The recent picture at `index`, none past the end of the list.
std::optional<std::string> RecentPicture(int index);
