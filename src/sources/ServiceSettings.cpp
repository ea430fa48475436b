#include "sources/ServiceSettings.h"

#include "sources/ServiceRequests.h"

#include <algorithm>

CoverServiceSettings ReadCoverServiceSettings(CSettingsStore& store)
{
    CoverServiceSettings s;
    s.musicBrainzServer = store.GetCfgString("Cover Search", "MusicBrainzServer", kMusicBrainzServer);
    s.coverArtServer = store.GetCfgString("Cover Search", "CoverArtServer", kCoverArtServer);
    s.timeoutMs = std::clamp(store.GetCfgInt("Cover Search", "Timeout", s.timeoutMs), 100, 300000);
    return s;
}
