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
    double spine(int i) const;  // 0 past the end
    void setSpine(int i, double v);
    bool hasSpine(int i) const;  // false past the end
    int paperSource(int i) const;
    void setPaperSource(int i, int v);
    int mediaType(int i) const;
    void setMediaType(int i, int v);
    int translationId(int i) const;
    void setTranslationId(int i, int v);
    int remapIndex(int i) const;
    void setRemapIndex(int i, int v);
    bool hasRemap(int i) const;

    // which = 0 left position, 1 right position (POSITION2).
    FormatPosition position(int i, int which, bool addCalibration) const;
    void setPosition(int i, int which, double x, double y, double width, double height, double holeSize);

    // Detection size: (detectWidth, detectHeight) and true when detectWidth > 0.01,
    // else (width, height) and false.
    bool detectSize(int i, double& w, double& h) const;
    double detectRatio(int i) const;  // height / width; 0 past the end
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

    void addNew(const std::string& name);
    void insertCopy(int i, const std::string& name, int at);
    void remove(int i);
    void swap(int i, int k);
    void makeBackup();
    void restoreBackup();
    // Empty names get language text translationId, or 7038 ("No Name") when 0.
    void fillEmptyNames(const std::function<std::string(int)>& textOf);

    // Reading and writing the formats file (FormatsReader.cpp, FormatsWriter.cpp).
    // load returns false when the file could not be opened (reported through reporter).
    bool load(const std::string& path, CFormatsReporter& reporter);
    // Returns 1 on success; 0 with a reason in `error` (the old file is kept whole).
    int save(std::string* error = nullptr) const;
    int saveAs(const std::string& path, std::string* error = nullptr) const;
};
