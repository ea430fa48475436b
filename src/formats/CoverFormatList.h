#pragma once
// The ordered list of cover formats owned by the document. A format's position
// in the list is its identity everywhere (combo boxes, slots, REMAP, settings).
// Index arguments out of range raise std::invalid_argument.
#include "formats/CoverFormat.h"

#include <functional>
#include <string>
#include <vector>

class CFormatsReporter;  // formats/FormatsReporter.h

struct FormatPosition {
    double x = 0, y = 0, width = 0, height = 0, holeSize = 0;
};

class CoverFormatList {
public:
    std::vector<CoverFormat> formats;
    std::vector<CoverFormat> backup;
    std::string filePath;
    double calibrateX = 0;
    double calibrateY = 0;
    std::string trailer;

    int count() const { return static_cast<int>(formats.size()); }
    const CoverFormat& at(int i) const;
    CoverFormat& at(int i);

    const std::string& name(int i) const;
    void setName(int i, const std::string& v);
    const std::string& type(int i) const;
    void setType(int i, const std::string& v);
    double paperWidth(int i) const;
    void setPaperWidth(int i, double v);
    double paperHeight(int i) const;
    void setPaperHeight(int i, double v);
    int label(int i) const;
    void setLabel(int i, int v);
    int autodetect(int i) const;
    void setAutodetect(int i, int v);
    double holeSize(int i) const;
    void setHoleSize(int i, double v);
    double spine(int i) const;  // 0 for an index outside the list
    void setSpine(int i, double v);
    bool hasSpine(int i) const;  // false for an index outside the list
    int paperSource(int i) const;
    void setPaperSource(int i, int v);
    int mediaType(int i) const;
    void setMediaType(int i, int v);
    int translationId(int i) const;
    void setTranslationId(int i, int v);
    int remapIndex(int i) const;
    void setRemapIndex(int i, int v);
    bool hasRemap(int i) const;

    // which = 0 left position, 1 right position (POSITION2); other values raise.
    // With addCalibration, calibrateX/Y are added to coordinates that are
    // neither -1 nor AUTO_POSITION.
    FormatPosition position(int i, int which, bool addCalibration) const;
    void setPosition(int i, int which, double x, double y, double width, double height, double holeSize);

    // Detection size: (detectWidth, detectHeight) and true when detectWidth > 0.01,
    // else (width, height) and false.
    bool detectSize(int i, double& w, double& h) const;
    // height / width of the detection size; 0 for an index outside the list
    // and for a width that is not positive.
    double detectRatio(int i) const;
    int findByType(const std::string& typeName) const;

    int lineCount(int i) const;
    const CutLine& line(int i, int j) const;
    void addLine(int i, double x1, double y1, double x2, double y2, int solid);
    void setLine(int i, int j, double x1, double y1, double x2, double y2, int solid);
    void removeLine(int i, int j);
    int rectCount(int i) const;
    const CutRect& rect(int i, int j) const;
    void addRect(int i, double x, double y, double width, double height, int solid);
    void setRect(int i, int j, double x, double y, double width, double height, int solid);
    void removeRect(int i, int j);

    // List operations. insertCopy, remove and swap keep every remapIndex
    // pointing at the same format; a link to a removed format becomes -1.
    void addNew(const std::string& name);
    void insertCopy(int i, const std::string& name, int at);  // at in 0..count()
    void remove(int i);
    void swap(int i, int k);
    void makeBackup();
    void restoreBackup();
    // Empty names get language text translationId, or 7038 ("No Name") when 0.
    void fillEmptyNames(const std::function<std::string(int)>& textOf);

    // Reading and writing the formats file (FormatsReader.cpp, FormatsWriter.cpp).
    // load appends the file's formats to the list and sets filePath and
    // trailer; it returns false when the file could not be opened or read
    // (reported through reporter; nothing changes then).
    bool load(const std::string& path, CFormatsReporter& reporter);
    // The same from the file's bytes in memory; filePath becomes `path`.
    void loadText(const std::string& bytes, const std::string& path, CFormatsReporter& reporter);
    // The bytes the writer stores: sections in a fixed key order, CR LF line
    // ends, then the trailer.
    std::string fileText() const;
    // Writes fileText() to filePath atomically (temporary file, flush,
    // rename): returns 1 on success; 0 with a reason in `error`, and the old
    // file stays whole.
    int save(std::string* error = nullptr) const;
    int saveAs(const std::string& path, std::string* error = nullptr) const;
};
