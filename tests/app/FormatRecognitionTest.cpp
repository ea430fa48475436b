// Recognising a cover's format from its proportions, and turning landscape
// scans upright.
#include "app/FormatRecognition.h"
#include "app/RecognitionReason.h"
#include "settings/LanguageTable.h"
#include "print/PrintTestUtil.h"
#include "image/TestEncoders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

using namespace testutil;

namespace {
CoverFormat Candidate(const std::string& name, const std::string& type, double w, double h) {
    CoverFormat f = Format(name, type, w, h);
    f.autodetect = 1;
    return f;
}

// A picture with a red top-left corner, to see which way it was turned.
CRasterImage Marked(int w, int h) {
    return Picture(w, h, [](int x, int y) { return x < 2 && y < 2 ? kRed : kBlue; });
}
Rgb TopLeft(const CRasterImage& i) { return i.GetPixelColor(0, i.GetHeight() - 1); }
Rgb TopRight(const CRasterImage& i) { return i.GetPixelColor(i.GetWidth() - 1, i.GetHeight() - 1); }
Rgb BottomLeft(const CRasterImage& i) { return i.GetPixelColor(0, 0); }
}  // namespace

TEST(DetectFormat, NearestRatioWinsAndTiesKeepTheEarlierFormat) {
    const CoverFormatList formats =
        List({Candidate("Three quarters", "CUSTOM", 100.0, 75.0), Candidate("Square", "CUSTOM", 100.0, 100.0)});
    CRasterImage a = Solid(1000, 750, kBlue), b = Solid(1000, 1000, kBlue), c = Solid(1000, 875, kBlue);
    EXPECT_EQ(DetectFormat(a, formats, 1, nullptr), 0);
    EXPECT_EQ(DetectFormat(b, formats, 1, nullptr), 1);
    EXPECT_EQ(DetectFormat(c, formats, 1, nullptr), 0);
    EXPECT_EQ(c.GetWidth(), 1000);  // nothing turned
}

TEST(DetectFormat, DetectionSizeAndCandidacyDecide) {
    CoverFormat wide = Candidate("Wide", "CUSTOM", 100.0, 100.0);
    wide.detectWidth = 200.0;
    wide.detectHeight = 100.0;  // recognised as 2:1 although printed square
    CoverFormat square = Format("Square, not recognised", "CUSTOM", 100.0, 100.0);
    const CoverFormatList formats = List({Candidate("Tall", "CUSTOM", 50.0, 100.0), wide, square});
    CRasterImage landscape = Solid(400, 200, kBlue), squareImage = Solid(300, 300, kBlue);
    EXPECT_EQ(DetectFormat(landscape, formats, 1, nullptr), 1);
    EXPECT_EQ(DetectFormat(squareImage, formats, 1, nullptr), 1);  // 0.5 is nearer than 2.0
}

TEST(DetectFormat, LandscapeFrontPlusInsideIsTurnedClockwise) {
    const CoverFormatList formats =
        List({Candidate("Back", "CUSTOM", 100.0, 75.0), Candidate("Booklet", "CD_FRONT_INSIDE", 120.0, 240.0)});
    for (int autoRotate : {1, 0}) {
        CRasterImage scan = Marked(240, 120);  // r = 0.5: the booklet on its side
        RecordingPrompter prompter;
        EXPECT_EQ(DetectFormat(scan, formats, autoRotate, &prompter), 1);
        EXPECT_EQ(scan.GetWidth(), 120);
        EXPECT_EQ(scan.GetHeight(), 240);
        EXPECT_EQ(TopRight(scan), kRed);  // clockwise: the top-left corner went to the top right
        EXPECT_EQ(prompter.information, autoRotate ? std::vector<int>{} : std::vector<int>{kTextFrontInsideRotated});
    }
}

TEST(DetectFormat, LandscapeDvdIsTurnedOrAskedAbout) {
    const CoverFormatList formats = List({Candidate("DVD", "DVD", 100.0, 140.0)});
    {
        CRasterImage scan = Marked(1000, 720);
        RecordingPrompter prompter;  // answers No
        EXPECT_EQ(DetectFormat(scan, formats, 0, &prompter), 0);
        EXPECT_EQ(prompter.questions, std::vector<int>{kTextRotateDvdQuestion});
        EXPECT_EQ(scan.GetWidth(), 1000);  // No leaves it as it is
    }
    {
        CRasterImage scan = Marked(1000, 720);
        RecordingPrompter prompter;
        prompter.answer = true;
        EXPECT_EQ(DetectFormat(scan, formats, 0, &prompter), 0);
        EXPECT_EQ(scan.GetWidth(), 720);
        EXPECT_EQ(BottomLeft(scan), kRed);  // counter-clockwise
    }
    {
        CRasterImage scan = Marked(1000, 720);
        RecordingPrompter prompter;
        DetectFormat(scan, formats, 1, &prompter);
        EXPECT_TRUE(prompter.questions.empty());
        EXPECT_EQ(scan.GetWidth(), 720);
    }
    {
        // A portrait DVD fits upright: no question.
        CRasterImage scan = Marked(720, 1000);
        RecordingPrompter prompter;
        EXPECT_EQ(DetectFormat(scan, formats, 0, &prompter), 0);
        EXPECT_TRUE(prompter.questions.empty());
    }
}

TEST(DetectFormat, ReferenceFormatsMustTakePartInRecognition) {
    CoverFormat booklet = Format("Booklet", "CD_FRONT_INSIDE", 120.0, 240.0);  // autodetect off
    const CoverFormatList formats = List({Candidate("Back", "CUSTOM", 100.0, 75.0), booklet});
    CRasterImage scan = Solid(240, 120, kBlue);
    EXPECT_EQ(DetectFormat(scan, formats, 1, nullptr), 0);
    EXPECT_EQ(scan.GetWidth(), 240);
}

TEST(DetectFormat, RemapPointsAtTheFormatToUse) {
    CoverFormat old = Candidate("Old square", "CUSTOM", 100.0, 100.0);
    old.remapIndex = 2;
    const CoverFormatList formats =
        List({Candidate("Tall", "CUSTOM", 50.0, 100.0), old, Format("New square", "CUSTOM", 120.0, 120.0)});
    CRasterImage square = Solid(100, 100, kBlue);
    EXPECT_EQ(DetectFormat(square, formats, 1, nullptr), 2);
}

TEST(DetectFormat, FormatsWithoutARatioEmptyListsAndEmptyImages) {
    CoverFormat flat = Candidate("No height", "CUSTOM", 100.0, 0.0);
    CoverFormat thin = Candidate("No width", "CUSTOM", 0.0, 100.0);
    const CoverFormatList formats = List({Candidate("Tall", "CUSTOM", 50.0, 100.0), flat, thin});
    CRasterImage wide = Solid(1000, 10, kBlue);  // r = 0.01, nearest to the flat one's 0 if it counted
    EXPECT_EQ(DetectFormat(wide, formats, 1, nullptr), 0);
    CRasterImage any = Solid(10, 10, kBlue), empty;
    EXPECT_EQ(DetectFormat(any, CoverFormatList{}, 1, nullptr), 0);
    EXPECT_EQ(DetectFormat(empty, formats, 1, nullptr), 0);
    EXPECT_FALSE(empty.IsValid());
}

TEST(RotateForFormat, TurnsOnlyLandscapeImagesOfTheTwoReferenceFormats) {
    const CoverFormatList formats = List({Format("Front", "CD_FRONT", 120.0, 120.0),
                                          Format("Booklet", "CD_FRONT_INSIDE", 120.0, 240.0),
                                          Format("DVD", "DVD", 130.0, 180.0)});
    CRasterImage a = Marked(40, 20);
    RotateForFormat(a, formats, 1);
    EXPECT_EQ(a.GetWidth(), 20);
    EXPECT_EQ(TopRight(a), kRed);
    CRasterImage b = Marked(40, 20);
    RotateForFormat(b, formats, 2);
    EXPECT_EQ(b.GetWidth(), 20);
    EXPECT_EQ(BottomLeft(b), kRed);
    CRasterImage square = Marked(30, 30), portrait = Marked(20, 40), other = Marked(40, 20);
    RotateForFormat(square, formats, 1);
    RotateForFormat(portrait, formats, 2);
    RotateForFormat(other, formats, 0);
    EXPECT_EQ(TopLeft(square), kRed);
    EXPECT_EQ(portrait.GetWidth(), 20);
    EXPECT_EQ(other.GetWidth(), 40);
}

TEST(RecognitionReason, SaysWhichFormatFromWhichProportionsAndWhetherTurned) {
    const CoverFormatList formats = List({Candidate("CD Front", "CD_FRONT", 120.0, 120.0),
                                          Candidate("Booklet", "CD_FRONT_INSIDE", 120.0, 240.0),
                                          Candidate("DVD", "DVD", 100.0, 140.0)});
    auto english = [](int n) { return BuiltinEnglishText(n); };
    CRasterImage square = Solid(1400, 1400, kBlue);
    const RecognitionFacts front = RecogniseFormat(square, formats, 1, nullptr);
    EXPECT_TRUE(front.recognised);
    EXPECT_EQ(front.format, 0);
    EXPECT_EQ(front.turn, 0);
    EXPECT_EQ(RecognitionReason(front, 0, "CD Front", formats.detectRatio(0), english),
              "CD Front: 1400 x 1400 px, ratio 1.00 (format 1.00); not turned");

    CRasterImage booklet = Solid(2400, 1210, kBlue);
    const RecognitionFacts turned = RecogniseFormat(booklet, formats, 1, nullptr);
    EXPECT_EQ(turned.format, 1);
    EXPECT_EQ(turned.turn, 90);
    EXPECT_EQ(booklet.GetWidth(), 1210);
    EXPECT_EQ(RecognitionReason(turned, 1, "Booklet", 2.0, english),
              "Booklet: 2400 x 1210 px, ratio 1.98 (format 2.00); turned a quarter turn clockwise");

    const CoverFormatList sleeves =
        List({Candidate("CD Front", "CD_FRONT", 120.0, 120.0), Candidate("DVD", "DVD", 100.0, 140.0)});
    CRasterImage sleeve = Solid(1400, 1000, kBlue);
    const RecognitionFacts dvd = RecogniseFormat(sleeve, sleeves, 1, nullptr);
    EXPECT_EQ(dvd.format, 1);
    EXPECT_EQ(dvd.turn, -90);
    EXPECT_NE(RecognitionReason(dvd, 1, "DVD", 1.4, english).find("; turned a quarter turn counter-clockwise"),
              std::string::npos);

    // Another format chosen in the list since, or recognition off: the
    // picture's own facts beside the chosen format's ratio.
    EXPECT_EQ(RecognitionReason(front, 2, "DVD", 1.4, english),
              "DVD: chosen in the list; the picture is 1400 x 1400 px, ratio 1.00 (format 1.40)");
    const RecognitionFacts plain = PictureFacts(square);
    EXPECT_FALSE(plain.recognised);
    EXPECT_EQ(RecognitionReason(plain, 0, "CD Front", 1.0, english),
              "CD Front: chosen in the list; the picture is 1400 x 1400 px, ratio 1.00 (format 1.00)");
    // Nothing to say for an empty slot or a slot without a format.
    EXPECT_EQ(RecognitionReason(PictureFacts(CRasterImage()), 0, "CD Front", 1.0, english), "");
    EXPECT_EQ(RecognitionReason(front, -1, "", 0, english), "");
    EXPECT_EQ(RatioText(0.7071), "0.71");
    EXPECT_EQ(RatioText(std::nan("")), "0.00");
}

// A picture decoded at a reduced scale (for a small view, or for printing
// when its JPEG data passes through) is recognised by the size its file
// holds, and a turn turns that size with the pixels.
namespace {
std::string WriteFlatJpeg(int w, int h, const std::string& name) {
    JpegRecipe recipe;
    recipe.width = w;
    recipe.height = h;
    recipe.makeRow = [w](int, std::uint8_t* row) { std::fill(row, row + w * 3, std::uint8_t{90}); };
    const std::vector<std::uint8_t> bytes = EncodeJpeg(recipe);
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
}
}  // namespace

TEST(DetectFormat, AReducedDecodeIsRecognisedAndTurnedByTheFileSize) {
    const std::string path = WriteFlatJpeg(2000, 1001, "reduced-recognition.jpg");
    CRasterImage full, reduced;
    ASSERT_TRUE(full.Load(path, IMAGE_JPG));
    reduced.SetDecodeLimit(250, 126);
    ASSERT_TRUE(reduced.Load(path, IMAGE_JPG));
    ASSERT_LT(reduced.GetWidth(), full.GetWidth());
    EXPECT_EQ(reduced.GetFileWidth(), 2000);

    const CoverFormatList formats = List({Candidate("Three quarters", "CUSTOM", 100.0, 75.0),
                                          Candidate("Booklet", "CD_FRONT_INSIDE", 120.0, 240.0)});
    for (CRasterImage* image : {&full, &reduced}) {
        EXPECT_EQ(DetectFormat(*image, formats, 1, nullptr), 1);  // the booklet on its side, turned
        EXPECT_EQ(image->GetFileWidth(), 1001);
        EXPECT_EQ(image->GetFileHeight(), 2000);
        EXPECT_GT(image->GetHeight(), image->GetWidth());
    }
}
