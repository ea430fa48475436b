// Covers printed to a PDF file: the pictures arrive without loss (a JPEG as
// its file's own data, everything else as the same pixels), the page says
// what it is, and a disc label's hole lies where the placement puts it.
#include "image/AreaAverage.h"
#include "print/CairoPdfSink.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/PdfReadBack.h"
#include "print/PrintTestUtil.h"

#include "image/ColourPictures.h"
#include "image/TestEncoders.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <sstream>

using namespace testutil;
using namespace pdfread;

namespace {
const PageMetrics kA4At600 = PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600);

CoverPlacement PrintCover(const std::string& pdf, const CRasterImage& image, const CoverFormat& format,
                          const std::string& title = "Korvane - cover") {
    const CoverFormatList formats = List({format});
    PlacementJob job;
    const CoverPlacement p = ComputePlacement(kA4At600, formats, LeftFormat(0), job);
    CCairoPdfSink sink(pdf, kA4At600);
    EXPECT_TRUE(sink.StartJob(title));
    CDrawContext* surface = sink.StartPage(1);
    EXPECT_NE(surface, nullptr);
    if (surface)
        RenderCover(*surface, kA4At600, p, image, formats, LeftFormat(0), RenderOptions{0, 0, 0});
    EXPECT_TRUE(sink.EndPage());
    sink.EndJob();
    EXPECT_FALSE(sink.Failed()) << sink.Error();
    return p;
}

std::vector<std::uint8_t> JpegFile(int w, int h) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.pixels.insert(s.pixels.end(), {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 3),
                                             static_cast<std::uint8_t>((x + y) & 0xFF)});
    s.quality = 90;
    return EncodeJpeg(s);
}

CoverFormat CdFront() { return Format("CD Front", "CD_FRONT", 120.0, 120.0); }
}  // namespace

TEST(PdfOutput, JpegCoverHoldsTheFilesOwnBytesAndThePageSaysWhatItIs) {
    TempFolder dir;
    const std::vector<std::uint8_t> file = JpegFile(64, 48);
    WriteFile(dir.file("cover.jpg"), file);
    CRasterImage image;
    ASSERT_TRUE(image.Load(dir.file("cover.jpg"), IMAGE_JPG));
    const std::string pdf = dir.file("out.pdf");
    const CoverPlacement p = PrintCover(pdf, image, CdFront(), "Korvane - cover.jpg");

    std::filesystem::create_directory(dir.file("x"));
    const std::vector<std::string> images = Images(pdf, "-j", dir.file("x"));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].substr(images[0].size() - 4), ".jpg");
    EXPECT_TRUE(Bytes(images[0]) == file) << "the PDF's JPEG is not the file's";

    // The data fills the cover: sampled at 100 dpi, each source pixel's
    // centre shows that pixel (as far as two JPEG decoders agree).
    const Page page = Rasterise(pdf, 100, p.x / 6, p.y / 6, p.width / 6, p.height / 6, dir.path());
    ASSERT_EQ(page.width, p.width / 6);
    for (const auto& [sx, sy] : {std::pair{0, 0}, {63, 0}, {0, 47}, {63, 47}, {30, 20}}) {
        const Rgb want = image.GetPixelColor(sx, 47 - sy);
        const Rgb got = page.at(static_cast<int>((sx + 0.5) * page.width / 64), static_cast<int>((sy + 0.5) * page.height / 48));
        EXPECT_LE(std::abs(want.r - got.r) + std::abs(want.g - got.g) + std::abs(want.b - got.b), 9)
            << sx << "," << sy << ": " << want << " " << got;
    }

    EXPECT_EQ(Info(pdf, "Title"), "Korvane - cover.jpg");
    EXPECT_EQ(Info(pdf, "Creator"), "Korvane 1.23");
    EXPECT_EQ(Info(pdf, "Pages"), "1");
    EXPECT_NE(Info(pdf, "Page size").find("(A4)"), std::string::npos) << Info(pdf, "Page size");
}

TEST(PdfOutput, TurnedJpegCoverIsTheTurnedJpegInTheSamePlace) {
    TempFolder dir;
    // The file's own data goes in, turned by the page's transform.
    WriteFile(dir.file("cover.jpg"), JpegFile(64, 48));
    CRasterImage upright;
    ASSERT_TRUE(upright.Load(dir.file("cover.jpg"), IMAGE_JPG));
    CRasterImage turned(upright);
    ASSERT_TRUE(turned.Rotate(90));
    ASSERT_TRUE(turned.HasJpegData());
    CRasterImage pixels(turned);
    pixels.DropJpegData();

    CoverFormat label = Format("CD Label", "CUSTOM", 117.0, 117.0);
    label.label = 1;
    label.holeSize = 41.0;
    for (const CoverFormat& format : {CdFront(), label}) {
        const std::string sub = dir.file(format.label ? "label" : "front");
        std::filesystem::create_directories(sub + "/x");
        const CoverPlacement p = PrintCover(sub + "/jpeg.pdf", turned, format);
        PrintCover(sub + "/pixels.pdf", pixels, format);

        // One DCT picture of the file's size (pdfimages -list: page, num,
        // type, width, height, color, comp, bpc, enc, ...).
        const std::vector<std::string> list = ImageList(sub + "/jpeg.pdf");
        ASSERT_EQ(list.size(), 1u);
        std::istringstream fields(list[0]);
        std::string page, num, type, width, height, color, comp, bpc, enc;
        fields >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc;
        EXPECT_EQ(enc, "jpeg") << list[0];
        EXPECT_EQ(width, "64");
        EXPECT_EQ(height, "48");
        const std::vector<std::string> images = Images(sub + "/jpeg.pdf", "-png", sub + "/x");
        ASSERT_EQ(images.size(), 1u);
        CRasterImage back;
        ASSERT_TRUE(back.Load(images[0], IMAGE_PNG));
        ASSERT_EQ(back.GetWidth(), 64);
        ASSERT_EQ(back.GetHeight(), 48);
        int most = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const Rgb a = back.GetPixelColor(x, y), b = upright.GetPixelColor(x, y);
                most = std::max({most, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            }
        EXPECT_LE(most, 3) << "the PDF's JPEG is not the file's picture";

        // The page is the one the turned pixels print: the same place, the
        // same frame or disc and hole, colours within the decoders' rounding
        // (and one gradient step where the two rasterisations pick
        // neighbouring source pixels). Only the pixels the outline of a disc
        // or its hole crosses may blend otherwise.
        const double centre = p.width / 12.0 + 3, outer = p.width / 12.0, hole = p.holeSize / 12.0;
        auto onOutline = [&](int x, int y) {
            if (!format.label)
                return false;
            const double r = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
            return std::abs(r - outer) < 1.5 || std::abs(r - hole) < 1.5;
        };
        const Page withJpeg = Rasterise(sub + "/jpeg.pdf", 100, p.x / 6 - 3, p.y / 6 - 3, p.width / 6 + 6,
                                        p.height / 6 + 6, sub);
        const Page withPixels = Rasterise(sub + "/pixels.pdf", 100, p.x / 6 - 3, p.y / 6 - 3, p.width / 6 + 6,
                                          p.height / 6 + 6, sub);
        ASSERT_EQ(withJpeg.width, p.width / 6 + 6);
        ASSERT_EQ(withPixels.width, withJpeg.width);
        int differing = 0;
        for (int y = 0; y < withJpeg.height; ++y)
            for (int x = 0; x < withJpeg.width; ++x) {
                const Rgb a = withJpeg.at(x, y), b = withPixels.at(x, y);
                differing += !onOutline(x, y) &&
                             std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}) > 8;
            }
        EXPECT_EQ(differing, 0) << sub;
    }
}

// A phone's JPEG, upright (Exif orientation 1) or lying on its side (6),
// prints as the file's own bytes; the side one stands upright in the slot
// and is turned by the page.
TEST(PdfOutput, ExifOrientedJpegPrintsUprightAndAnUprightOneAsItsOwnBytes) {
    TempFolder dir;
    const std::uint8_t exifStart[] = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0};
    for (int orientation : {1, 6}) {
        JpegRecipe s;
        s.width = 64;
        s.height = 48;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                s.pixels.insert(s.pixels.end(), {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 5), 90});
        s.exif.assign(std::begin(exifStart), std::end(exifStart));
        s.exif.insert(s.exif.end(), {static_cast<std::uint8_t>(orientation), 0, 0, 0, 0, 0, 0, 0});
        const std::vector<std::uint8_t> file = EncodeJpeg(s);
        const std::string sub = dir.file("o" + std::to_string(orientation));
        std::filesystem::create_directories(sub + "/x");
        WriteFile(sub + "/phone.jpg", file);
        CRasterImage image;
        ASSERT_TRUE(image.Load(sub + "/phone.jpg", IMAGE_JPG));
        PrintCover(sub + "/out.pdf", image, CdFront());
        const std::vector<std::string> images = Images(sub + "/out.pdf", "-j", sub + "/x");
        ASSERT_EQ(images.size(), 1u);
        ASSERT_EQ(images[0].substr(images[0].size() - 4), ".jpg") << "not passed as JPEG data";
        EXPECT_TRUE(Bytes(images[0]) == file) << "the PDF's JPEG is not the file's";
        EXPECT_EQ(image.GetWidth(), orientation == 1 ? 64 : 48) << "not upright in the slot";
    }
}

// A JPEG whose pixels were changed after decoding prints its pixels
// losslessly.
TEST(PdfOutput, PngAndRotatedJpegComeBackPixelIdentical) {
    TempFolder dir;
    // A picture smaller than the cover goes in at its own size.
    CRasterImage png = Picture(50, 30, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 8), static_cast<std::uint8_t>(x ^ y)};
    });
    WriteFile(dir.file("jpeg.jpg"), JpegFile(40, 24));
    CRasterImage rotated;
    ASSERT_TRUE(rotated.Load(dir.file("jpeg.jpg"), IMAGE_JPG));
    ASSERT_TRUE(rotated.Rotate(90));
    rotated.SetPixelColor(0, 0, Rgb{1, 2, 3});
    ASSERT_FALSE(rotated.HasJpegData());

    for (const CRasterImage* source : {&png, &rotated}) {
        const std::string sub = dir.file(source == &png ? "png" : "rot");
        std::filesystem::create_directory(sub);
        PrintCover(sub + "/out.pdf", *source, CdFront());
        const std::vector<std::string> list = ImageList(sub + "/out.pdf");
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].find("jpeg"), std::string::npos) << "stored lossy: " << list[0];
        std::filesystem::create_directory(sub + "/x");
        const std::vector<std::string> images = Images(sub + "/out.pdf", "-png", sub + "/x");
        ASSERT_EQ(images.size(), 1u);
        CRasterImage back;
        ASSERT_TRUE(back.Load(images[0], IMAGE_PNG));
        EXPECT_TRUE(SamePixels(back, *source)) << sub;
    }
}

TEST(PdfOutput, PureRedPrintsAsPureRedWhereThePlacementSays) {
    TempFolder dir;
    const std::string pdf = dir.file("red.pdf");
    const CoverPlacement p = PrintCover(pdf, Solid(300, 300, kRed), CdFront());
    ASSERT_EQ(p.x, 1063);
    // The cover's corners and a margin around them, at the placement's resolution.
    const Page page = Rasterise(pdf, 600, p.x - 4, p.y - 4, p.width + 8, p.height + 8, dir.path());
    ASSERT_EQ(page.width, p.width + 8);
    for (int i : {4, 5, 100, p.width / 2, p.width + 2})
        EXPECT_EQ(page.at(i, i), kRed) << i;
    // The frame just outside the cover, the page white around it.
    EXPECT_EQ(page.at(2, 50), kWhite);
    EXPECT_EQ(page.at(3, 50), kBlack);
    EXPECT_EQ(page.at(4, 50), kRed);
    EXPECT_EQ(page.at(p.width + 3, 50), kRed);
    EXPECT_EQ(page.at(p.width + 4, 50), kBlack);
    EXPECT_EQ(page.at(p.width + 5, 50), kWhite);
    EXPECT_EQ(page.at(50, p.height + 3), kRed);
    EXPECT_EQ(page.at(50, p.height + 4), kBlack);
}

TEST(PdfOutput, DiscLabelHasItsHoleWhereThePlacementSays) {
    TempFolder dir;
    CoverFormat label = Format("CD Label", "CUSTOM", 117.0, 117.0);
    label.label = 1;
    label.holeSize = 41.0;
    const std::string pdf = dir.file("label.pdf");
    // A picture finer than the label: it is reduced, never cut to a square.
    const CoverPlacement p = PrintCover(pdf, Solid(3000, 3000, kBlue), label);
    const Page page = Rasterise(pdf, 600, p.x, p.y, p.width, p.height, dir.path());
    ASSERT_EQ(page.width, p.width);
    const int c = p.width / 2, r = p.width / 2, hole = p.holeSize / 2;
    auto atRadius = [&](int radius) { return page.at(c + radius, c); };
    EXPECT_EQ(page.at(c, c), kWhite);                 // the hole's centre
    EXPECT_EQ(atRadius(hole - 3), kWhite);            // just inside the hole
    EXPECT_EQ(atRadius(hole + 3), kBlue);             // just outside it
    EXPECT_EQ(atRadius(-(hole + 3)), kBlue);
    EXPECT_EQ(atRadius(r - 3), kBlue);                // just inside the disc's edge
    // On the diagonal the disc's edge is 0.29 radii from the box's corner.
    const int in = static_cast<int>(r * 0.35), out = static_cast<int>(r * 0.22);
    EXPECT_EQ(page.at(out, out), kWhite);
    EXPECT_EQ(page.at(in, in), kBlue);
    EXPECT_EQ(page.at(p.width - 1 - out, p.height - 1 - out), kWhite);
    EXPECT_EQ(page.at(p.width - 1 - in, p.height - 1 - in), kBlue);
    // The picture went in reduced to the label's pixels.
    const std::vector<std::string> list = ImageList(pdf);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NE(list[0].find(" " + std::to_string(p.width) + " "), std::string::npos) << list[0];
}

TEST(PdfOutput, PagesOfAJobAndAnAbortedJobLeavesNoFile) {
    TempFolder dir;
    const std::string pdf = dir.file("job.pdf");
    CCairoPdfSink sink(pdf, kA4At600);
    ASSERT_TRUE(sink.StartJob("Korvane"));
    for (int n = 1; n <= 3; ++n) {
        ASSERT_NE(sink.StartPage(n), nullptr);
        ASSERT_TRUE(sink.EndPage());
    }
    sink.EndJob();
    EXPECT_EQ(Info(pdf, "Pages"), "3");

    const std::string aborted = dir.file("aborted.pdf");
    CCairoPdfSink second(aborted, kA4At600);
    ASSERT_TRUE(second.StartJob("Korvane"));
    ASSERT_NE(second.StartPage(1), nullptr);
    second.AbortJob();
    EXPECT_FALSE(std::filesystem::exists(aborted));

    CCairoPdfSink nowhere(dir.file("no/such/folder/x.pdf"), kA4At600);
    ASSERT_TRUE(nowhere.StartJob("Korvane"));
    EXPECT_EQ(nowhere.StartPage(1), nullptr);
    EXPECT_TRUE(nowhere.Failed());
}

TEST(AreaAverage, MeansOfTheCoveredAreas) {
    // 3 x 1 pixels into 2: the middle one shared half and half.
    const std::uint8_t row[9] = {0, 0, 0, 90, 90, 90, 200, 200, 200};
    std::uint32_t out[2] = {};
    AreaAverage(PixelBlock{row, 9, 3, 1}, nullptr, 0, 2, 1, reinterpret_cast<std::uint8_t*>(out), 8);
    // (0 * 2 + 90 * 1) / 3 = 30, (90 * 1 + 200 * 2) / 3 = 163.3
    EXPECT_EQ(out[0], 0xFF1E1E1Eu);
    EXPECT_EQ(out[1], 0xFFA3A3A3u);

    // A flat colour stays exactly that colour at any ratio; masked pixels
    // leave a transparent, premultiplied result.
    const int w = 17, h = 13;
    std::vector<std::uint8_t> flat(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0; i < flat.size(); i += 3) {
        flat[i] = 0;
        flat[i + 1] = 0;
        flat[i + 2] = 255;
    }
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(w) * h, 0);
    for (int y = 0; y < h; ++y)
        mask[static_cast<std::size_t>(y) * w + 16] = 1;  // the last column
    std::vector<std::uint32_t> small(5 * 4);
    AreaAverage(PixelBlock{flat.data(), w * 3, w, h}, nullptr, 0, 5, 4, reinterpret_cast<std::uint8_t*>(small.data()),
                20);
    for (std::uint32_t v : small)
        EXPECT_EQ(v, 0xFFFF0000u);
    AreaAverage(PixelBlock{flat.data(), w * 3, w, h}, mask.data(), w, 5, 4,
                reinterpret_cast<std::uint8_t*>(small.data()), 20);
    EXPECT_EQ(small[0], 0xFFFF0000u);
    const std::uint32_t edge = small[4];
    EXPECT_LT(edge >> 24, 255u);
    EXPECT_EQ((edge >> 16) & 0xFF, edge >> 24);  // red premultiplied: equal to alpha
}

// Pictures with a profile of their own go in as their file's data or
// samples, with an ICCBased colour space holding the profile's bytes; a
// colour-managed reader shows them as LittleCMS converts them. poppler
// reads them here: Debian's mutool is built without its colour management.
TEST(PdfOutput, TaggedPicturesKeepTheirOwnColourSpace) {
    using namespace colourtest;
    TempFolder dir;
    const std::vector<std::uint8_t> adobe = Bytes(kAdobeRgbProfile), cmyk = Bytes(kCmykProfile);
    ASSERT_FALSE(adobe.empty());
    ASSERT_FALSE(cmyk.empty());
    int components = 0;
    const std::vector<std::uint8_t> adobeJpeg = JpegWithProfile(adobe, 3), cmykJpeg = JpegWithProfile(cmyk, 4);
    const std::vector<std::uint8_t> jpegSamples = JpegSamples(adobeJpeg, components);
    const std::vector<std::uint8_t> inks = JpegSamples(cmykJpeg, components);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        int type;
        const std::vector<std::uint8_t>& profile;
        std::vector<std::uint8_t> srgb;  // what LittleCMS makes of the file's samples
    } cases[] = {
        {"adobe.png", PngWithProfile(adobe), IMAGE_PNG, adobe,
         LittleCmsToSrgb(adobe, PatchPixels(RgbPatches(), 3), TYPE_RGB_8, 3)},
        {"adobe.jpg", adobeJpeg, IMAGE_JPG, adobe, LittleCmsToSrgb(adobe, jpegSamples, TYPE_RGB_8, 3)},
        {"cmyk.jpg", cmykJpeg, IMAGE_JPG, cmyk, LittleCmsToSrgb(cmyk, inks, TYPE_CMYK_8_REV, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(dir.file(c.name), c.file);
        CRasterImage image;
        ASSERT_TRUE(image.Load(dir.file(c.name), c.type));
        const std::string pdf = dir.file(std::string(c.name) + ".pdf");
        const CoverPlacement p = PrintCover(pdf, image, CdFront());

        // The colour space is the profile, byte for byte (mutool names the
        // picture's object, qpdf shows it and the profile it points to).
        const std::string info = pdfread::Run("mutool info " + Quote(pdf));
        const std::size_t at = info.find("ICC (");
        ASSERT_NE(at, std::string::npos) << info;
        const std::string picture = pdfread::Run("qpdf --show-object=" + std::to_string(std::stoi(info.substr(at + 5))) +
                                                 " " + Quote(pdf));
        const std::size_t space = picture.find("/ICCBased ");
        ASSERT_NE(space, std::string::npos) << picture;
        pdfread::Run("qpdf --show-object=" + std::to_string(std::stoi(picture.substr(space + 10))) +
                     " --filtered-stream-data " + Quote(pdf) + " > " + Quote(dir.file("profile.icc")));
        EXPECT_TRUE(Bytes(dir.file("profile.icc")) == c.profile);
        if (c.type == IMAGE_JPG) {
            const std::string folder = dir.file(std::string(c.name) + "-images");
            std::filesystem::create_directory(folder);
            const std::vector<std::string> images = Images(pdf, "-j", folder);
            ASSERT_EQ(images.size(), 1u);
            EXPECT_TRUE(Bytes(images[0]) == c.file) << "the JPEG's own bytes";
        }
        // Each patch's middle, as poppler shows the page, is LittleCMS's colour.
        const Page page = Rasterise(pdf, 100, p.x / 6, p.y / 6, p.width / 6, p.height / 6, dir.path());
        ASSERT_GT(page.width, 0);
        const int patches = static_cast<int>(c.srgb.size()) / 3 / (kPatch * kPatch);
        for (int i = 0; i < patches; ++i) {
            const std::uint8_t* want = c.srgb.data() + (static_cast<std::size_t>(kPatch / 2) * patches * kPatch +
                                                        i * kPatch + kPatch / 2) * 3;
            const Rgb got = page.at((2 * i + 1) * page.width / (2 * patches), page.height / 2);
            EXPECT_LE(std::max({std::abs(got.r - want[0]), std::abs(got.g - want[1]), std::abs(got.b - want[2])}), 2)
                << "patch " << i << ": " << got << " want " << int(want[0]) << "," << int(want[1]) << "," << int(want[2]);
        }
    }

    // An sRGB JPEG stays as ever: its own bytes, no profile added.
    const std::vector<std::uint8_t> srgbJpeg = JpegWithProfile(Bytes(kSrgbProfile), 3);
    WriteFile(dir.file("srgb.jpg"), srgbJpeg);
    CRasterImage image;
    ASSERT_TRUE(image.Load(dir.file("srgb.jpg"), IMAGE_JPG));
    PrintCover(dir.file("srgb.pdf"), image, CdFront());
    EXPECT_EQ(pdfread::Run("mutool info " + Quote(dir.file("srgb.pdf"))).find("ICC"), std::string::npos);
    std::filesystem::create_directory(dir.file("srgb"));
    const std::vector<std::string> images = Images(dir.file("srgb.pdf"), "-j", dir.file("srgb"));
    ASSERT_EQ(images.size(), 1u);
    EXPECT_TRUE(Bytes(images[0]) == srgbJpeg);
}
