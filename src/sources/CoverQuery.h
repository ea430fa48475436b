#pragma once
// What to search for, guessed from a cover's file name: "Artist - Album -
// Front.jpg", "Artist - Album (front).png", "Artist_-_Album-f.jpg",
// "Album.jpg" and the like.
#include <string>
#include <vector>

struct CoverQuery {
    std::string artist;
    std::string album;
};

// The artist before the first " - ", the album after it, once the
// extension and a trailing front-cover word are gone (`frontKeywords`: the
// front keywords of the settings, "front", "-f", ...; "cover" and
// "front cover" always count). A name with no " - " is the album alone.
CoverQuery QueryFromFileName(const std::string& fileName, const std::vector<std::string>& frontKeywords);
