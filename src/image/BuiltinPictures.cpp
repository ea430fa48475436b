#include "image/BuiltinPictures.h"

#include <cstring>

const BuiltinPicture* FindBuiltinPicture(const char* name, const char* resourceType) {
    for (const BuiltinPicture* p = kBuiltinPictures; p->name; ++p) {
        if (std::strcmp(p->name, name) == 0 && std::strcmp(p->resourceType, resourceType) == 0)
            return p;
    }
    return nullptr;
}
