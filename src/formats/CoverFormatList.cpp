#include "formats/CoverFormatList.h"

#include <stdexcept>
#include <utility>

namespace {
[[noreturn]] void outOfRange(const char* what, int index) {
    throw std::invalid_argument(std::string("CoverFormatList: ") + what + " index " + std::to_string(index) +
                                " out of range");
}

template <class T>
void checkIndex(const std::vector<T>& v, int i, const char* what) {
    if (i < 0 || i >= static_cast<int>(v.size())) outOfRange(what, i);
}
}  // namespace

const CoverFormat& CoverFormatList::at(int i) const {
    checkIndex(formats, i, "format");
    return formats[static_cast<std::size_t>(i)];
}

CoverFormat& CoverFormatList::at(int i) {
    checkIndex(formats, i, "format");
    return formats[static_cast<std::size_t>(i)];
}

const std::string& CoverFormatList::name(int i) const { return at(i).name; }
void CoverFormatList::setName(int i, const std::string& v) { at(i).name = v; }
const std::string& CoverFormatList::type(int i) const { return at(i).type; }
void CoverFormatList::setType(int i, const std::string& v) { at(i).type = v; }
double CoverFormatList::paperWidth(int i) const { return at(i).paperWidth; }
void CoverFormatList::setPaperWidth(int i, double v) { at(i).paperWidth = v; }
double CoverFormatList::paperHeight(int i) const { return at(i).paperHeight; }
void CoverFormatList::setPaperHeight(int i, double v) { at(i).paperHeight = v; }
int CoverFormatList::label(int i) const { return at(i).label; }
void CoverFormatList::setLabel(int i, int v) { at(i).label = v; }
int CoverFormatList::autodetect(int i) const { return at(i).autodetect; }
void CoverFormatList::setAutodetect(int i, int v) { at(i).autodetect = v; }
double CoverFormatList::holeSize(int i) const { return at(i).holeSize; }
void CoverFormatList::setHoleSize(int i, double v) { at(i).holeSize = v; }
int CoverFormatList::paperSource(int i) const { return at(i).paperSource; }
void CoverFormatList::setPaperSource(int i, int v) { at(i).paperSource = v; }
int CoverFormatList::mediaType(int i) const { return at(i).mediaType; }
void CoverFormatList::setMediaType(int i, int v) { at(i).mediaType = v; }
int CoverFormatList::translationId(int i) const { return at(i).translationId; }
void CoverFormatList::setTranslationId(int i, int v) { at(i).translationId = v; }
int CoverFormatList::remapIndex(int i) const { return at(i).remapIndex; }
void CoverFormatList::setRemapIndex(int i, int v) { at(i).remapIndex = v; }
bool CoverFormatList::hasRemap(int i) const { return at(i).remapIndex != -1; }

// The slot code asks these with whatever index it holds (-1 for "none"), so
// they answer for any index outside the list instead of failing.
double CoverFormatList::spine(int i) const {
    return i >= 0 && i < count() ? formats[static_cast<std::size_t>(i)].spine : 0;
}
void CoverFormatList::setSpine(int i, double v) { at(i).spine = v; }
bool CoverFormatList::hasSpine(int i) const {
    return i >= 0 && i < count() && formats[static_cast<std::size_t>(i)].spine != NO_SPINE;
}

FormatPosition CoverFormatList::position(int i, int which, bool addCalibration) const {
    const CoverFormat& f = at(i);
    if (which != 0 && which != 1) outOfRange("position", which);
    FormatPosition p;
    p.x = which == 0 ? f.leftX : f.rightX;
    p.y = which == 0 ? f.leftY : f.rightY;
    p.width = f.width;
    p.height = f.height;
    p.holeSize = f.holeSize;
    if (addCalibration) {
        // -1 (unset) and the automatic marker are not places on the paper.
        if (p.x != -1.0 && p.x != AUTO_POSITION) p.x += calibrateX;
        if (p.y != -1.0 && p.y != AUTO_POSITION) p.y += calibrateY;
    }
    return p;
}

void CoverFormatList::setPosition(int i, int which, double x, double y, double width, double height,
                                  double holeSize) {
    CoverFormat& f = at(i);
    if (which != 0 && which != 1) outOfRange("position", which);
    (which == 0 ? f.leftX : f.rightX) = x;
    (which == 0 ? f.leftY : f.rightY) = y;
    f.width = width;
    f.height = height;
    f.holeSize = holeSize;
}

bool CoverFormatList::detectSize(int i, double& w, double& h) const {
    const CoverFormat& f = at(i);
    if (f.detectWidth > 0.01) {
        w = f.detectWidth;
        h = f.detectHeight;
        return true;
    }
    w = f.width;
    h = f.height;
    return false;
}

double CoverFormatList::detectRatio(int i) const {
    if (i < 0 || i >= count()) return 0;
    double w = 0, h = 0;
    detectSize(i, w, h);
    // A format without a usable width has no proportions to compare with.
    if (!(w > 0)) return 0;
    return h / w;
}

int CoverFormatList::findByType(const std::string& typeName) const {
    for (int i = 0; i < count(); ++i)
        if (formats[static_cast<std::size_t>(i)].type == typeName) return i;
    return -1;
}

int CoverFormatList::lineCount(int i) const { return static_cast<int>(at(i).lines.size()); }

const CutLine& CoverFormatList::line(int i, int j) const {
    const CoverFormat& f = at(i);
    checkIndex(f.lines, j, "line");
    return f.lines[static_cast<std::size_t>(j)];
}

void CoverFormatList::addLine(int i, double x1, double y1, double x2, double y2, int solid) {
    at(i).lines.push_back(CutLine{x1, y1, x2, y2, solid});
}

void CoverFormatList::setLine(int i, int j, double x1, double y1, double x2, double y2, int solid) {
    CoverFormat& f = at(i);
    checkIndex(f.lines, j, "line");
    f.lines[static_cast<std::size_t>(j)] = CutLine{x1, y1, x2, y2, solid};
}

void CoverFormatList::removeLine(int i, int j) {
    CoverFormat& f = at(i);
    checkIndex(f.lines, j, "line");
    f.lines.erase(f.lines.begin() + j);
}

int CoverFormatList::rectCount(int i) const { return static_cast<int>(at(i).rects.size()); }

const CutRect& CoverFormatList::rect(int i, int j) const {
    const CoverFormat& f = at(i);
    checkIndex(f.rects, j, "rectangle");
    return f.rects[static_cast<std::size_t>(j)];
}

void CoverFormatList::addRect(int i, double x, double y, double width, double height, int solid) {
    at(i).rects.push_back(CutRect{x, y, width, height, solid});
}

void CoverFormatList::setRect(int i, int j, double x, double y, double width, double height, int solid) {
    CoverFormat& f = at(i);
    checkIndex(f.rects, j, "rectangle");
    f.rects[static_cast<std::size_t>(j)] = CutRect{x, y, width, height, solid};
}

void CoverFormatList::removeRect(int i, int j) {
    CoverFormat& f = at(i);
    checkIndex(f.rects, j, "rectangle");
    f.rects.erase(f.rects.begin() + j);
}

void CoverFormatList::addNew(const std::string& name) { formats.push_back(CoverFormat::NewFormat(name)); }

// insertCopy, remove and swap keep every REMAP link pointing at the same
// format (a link to a removed format is dropped), so that editing the list
// never silently redirects another format's remapping.
void CoverFormatList::insertCopy(int i, const std::string& name, int at_) {
    CoverFormat copy = at(i);  // CoverFormat holds its lines and rects by value: a deep copy
    if (at_ < 0 || at_ > count()) outOfRange("insert position", at_);
    copy.name = name;
    if (copy.remapIndex >= at_) ++copy.remapIndex;
    for (CoverFormat& f : formats)
        if (f.remapIndex >= at_) ++f.remapIndex;
    formats.insert(formats.begin() + at_, std::move(copy));
}

void CoverFormatList::remove(int i) {
    at(i);
    formats.erase(formats.begin() + i);
    for (CoverFormat& f : formats) {
        if (f.remapIndex == i)
            f.remapIndex = -1;
        else if (f.remapIndex > i)
            --f.remapIndex;
    }
}

void CoverFormatList::swap(int i, int k) {
    at(i);
    at(k);
    std::swap(formats[static_cast<std::size_t>(i)], formats[static_cast<std::size_t>(k)]);
    for (CoverFormat& f : formats) {
        if (f.remapIndex == i)
            f.remapIndex = k;
        else if (f.remapIndex == k)
            f.remapIndex = i;
    }
}

void CoverFormatList::makeBackup() { backup = formats; }

void CoverFormatList::restoreBackup() { formats = backup; }

void CoverFormatList::fillEmptyNames(const std::function<std::string(int)>& textOf) {
    for (CoverFormat& f : formats)
        if (f.name.empty()) f.name = textOf(f.translationId != 0 ? f.translationId : 7038);
}
