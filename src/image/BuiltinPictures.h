#pragma once
// The program's built-in pictures, compiled in from resources/pictures/<TYPE>/.
// Resource types: "JPG" (image type 3), "GIF" (2), "PNG_IMAGES" (4).
#include <cstddef>

struct BuiltinPicture {
    const char* resourceType;
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

// Terminated by an entry whose name is null.
extern const BuiltinPicture kBuiltinPictures[];

// Finds a picture by name and resource type; null when there is none.
const BuiltinPicture* FindBuiltinPicture(const char* name, const char* resourceType);
