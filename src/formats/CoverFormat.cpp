#include "formats/CoverFormat.h"

CoverFormat CoverFormat::FromFileSection(const std::string& name) {
    // A section without SIZE keeps 100 x 100, the size a new format gets in
    // the editor, so that it is visible and can be corrected.
    CoverFormat f;
    f.name = name;
    return f;
}

CoverFormat CoverFormat::NewFormat(const std::string& name) {
    CoverFormat f;
    f.name = name;
    f.leftY = AUTO_POSITION;
    f.rightY = AUTO_POSITION;
    return f;
}
