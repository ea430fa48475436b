#pragma once
// Where downloaded covers are kept: the user's cache folder, one folder per
// release, the files named as a user would name them ("Artist - Album -
// Front.jpg"), so that the back cover matches its front by name.
#include <string>

// $XDG_CACHE_HOME/korvane/covers, else ~/.cache/korvane/covers.
std::string CoverCacheFolder();

// "Artist - Album - Front.jpg" (side "Front" or "Back"), the extension
// taken from the address when it names a picture kind, else ".jpg".
// Characters a file name cannot hold are replaced; long names are cut.
std::string CoverFileName(const std::string& artist, const std::string& album, const std::string& side,
                          const std::string& address);

// The cached file of a release (a MusicBrainz ID; anything else gives "").
std::string CoverCachePath(const std::string& releaseId, const std::string& fileName);
