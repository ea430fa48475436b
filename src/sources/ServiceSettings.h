#pragma once
// The settings of the online cover search (section "Cover Search" of
// Korvane.cfg): the two services' addresses, so that a mirror or a test
// server can stand in, and how long a request may stay unanswered.
#include "settings/SettingsStore.h"

#include <string>

struct CoverServiceSettings {
    std::string musicBrainzServer;  // MusicBrainzServer, default https://musicbrainz.org
    std::string coverArtServer;     // CoverArtServer, default https://coverartarchive.org
    int timeoutMs = 20000;          // Timeout (milliseconds, 100 to 300000)
    std::string contact;            // for the User-Agent: the program's contact address
    // The Options dialog's proxy (UseProxy 1: "host:port"), else the
    // system's proxies, as for the update check.
    int useProxy = 0;
    std::string proxy;
};

CoverServiceSettings ReadCoverServiceSettings(CSettingsStore& store = Settings());
