#pragma once
// The disc in the drive: its MusicBrainz disc ID, read through libdiscid
// from the disc's table of contents.
#include <string>
#include <vector>

// The drives to offer: libdiscid's default drive first, then the optical
// drives the system shows (/dev/sr*, /dev/cdrom*), each once; only drives
// that exist. Empty when the machine has none.
std::vector<std::string> DiscDrives();

struct DiscReading {
    bool ok = false;
    std::string id;       // 28 characters, as MusicBrainz looks it up
    std::string toc;      // "first last leadout offset..." for a look-up by table of contents
    std::string message;  // why it could not be read (no disc, no drive: libdiscid's words)
};

// Reads the table of contents of the disc in `device` (empty: the default
// drive). Blocks while the drive spins up.
DiscReading ReadDiscId(const std::string& device);

// The ID of a table of contents given as numbers: the first and last track
// and the sector offsets, offsets[0] being the lead-out (as discid_put).
DiscReading DiscIdOfToc(int firstTrack, int lastTrack, const std::vector<int>& offsets);
