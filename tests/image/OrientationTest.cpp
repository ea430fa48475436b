// Pictures stored on their side with an Exif orientation come in upright:
// JPEG (its data kept and turned losslessly where it can be), WebP's EXIF
// chunk; an upright JPEG keeps its own bytes.
#include "image/RasterImage.h"

#include "PictureFiles.h"
#include "TestEncoders.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
// Flat 8 x 8 blocks, every one its own colour: JPEG keeps them within a few
// levels, and any turn or mirror moves a block somewhere it shows.
RgbaPicture BlockPicture(int w, int h) {
    RgbaPicture p;
    p.width = w;
    p.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.rgba.insert(p.rgba.end(), {static_cast<std::uint8_t>(x / 8 * 60 + 20),
                                         static_cast<std::uint8_t>(y / 8 * 70 + 10),
                                         static_cast<std::uint8_t>((x / 8 + y / 8) % 2 ? 220 : 30), 255});
    return p;
}

std::vector<std::uint8_t> OrientedJpeg(const RgbaPicture& stored, int orientation) {
    JpegRecipe s;
    s.width = stored.width;
    s.height = stored.height;
    s.lumaH = s.lumaV = 1;
    s.quality = 98;
    for (std::size_t i = 0; i < stored.rgba.size(); i += 4)
        s.pixels.insert(s.pixels.end(), stored.rgba.begin() + static_cast<std::ptrdiff_t>(i),
                        stored.rgba.begin() + static_cast<std::ptrdiff_t>(i) + 3);
    if (orientation > 0)
        s.exif = ExifOrientationBlock(orientation);
    return EncodeJpeg(s);
}
}  // namespace

TEST(ExifOrientation, EveryJpegOrientationComesInUpright) {
    ScratchFolder dir;
    const RgbaPicture upright = BlockPicture(40, 24);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const std::vector<std::uint8_t> file = OrientedJpeg(StoredForOrientation(upright, orientation), orientation);
        const std::string path = dir.file("o" + std::to_string(orientation) + ".jpg");
        WriteBytesFile(path, file);
        CRasterImage image;
        ASSERT_TRUE(image.Load(path, IMAGE_JPG)) << image.GetLastError();
        EXPECT_EQ(CompareWithReference(image, upright, 8, false), "");
        EXPECT_EQ(image.GetFileWidth(), 40);
        // Turns keep the data (turned when asked for, or by the page); a
        // mirror is noted for the page where it can be.
        const bool mirrored = orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
        if (!mirrored)
            EXPECT_TRUE(image.HasJpegData());
        if (orientation == 1) {
            EXPECT_TRUE(*image.GetJpegData() == file) << "an upright picture keeps the file's own bytes";
        }
        if (!mirrored && orientation != 1) {
            // The turned data, without its Exif block, decodes upright too.
            const auto data = image.GetJpegData();
            ASSERT_TRUE(data);
            CRasterImage again;
            CMemorySource source(data->data(), data->size());
            ASSERT_TRUE(again.Decode(source, IMAGE_JPG));
            EXPECT_EQ(CompareWithReference(again, upright, 8, false), "");
        }
        // A preview's reduced decode is upright as well.
        CRasterImage preview;
        preview.SetDecodeLimit(10, 10);
        ASSERT_TRUE(preview.Load(path, IMAGE_JPG));
        EXPECT_GT(preview.GetWidth(), preview.GetHeight());
        EXPECT_EQ(preview.GetFileWidth(), 40);
        EXPECT_EQ(preview.GetFileHeight(), 24);
    }
    // No Exif block at all, and a damaged one, leave the picture as stored.
    const std::vector<std::uint8_t> plain = OrientedJpeg(upright, 0);
    WriteBytesFile(dir.file("plain.jpg"), plain);
    CRasterImage image;
    ASSERT_TRUE(image.Load(dir.file("plain.jpg"), IMAGE_JPG));
    EXPECT_EQ(CompareWithReference(image, upright, 8, false), "");
    EXPECT_TRUE(*image.GetJpegData() == plain);
    JpegRecipe s;
    s.width = 8;
    s.height = 16;
    s.pixels.assign(8 * 16 * 3, 128);
    s.exif = ExifOrientationBlock(6);
    s.exif.resize(s.exif.size() - 10);  // the entry cut off
    CRasterImage damaged;
    ASSERT_TRUE(DecodeBytes(damaged, EncodeJpeg(s), IMAGE_JPG));
    EXPECT_EQ(damaged.GetWidth(), 8);
}

TEST(ExifOrientation, WebpExifChunkTurnsThePicture) {
    ScratchFolder dir;
    const RgbaPicture upright = PatternPicture(30, 17, false);
    for (int orientation : {3, 5, 6, 8}) {
        SCOPED_TRACE(orientation);
        WritePngFile(dir.file("s.png"), StoredForOrientation(upright, orientation), false);
        ASSERT_TRUE(RunTool("cwebp -quiet -lossless -exact " + Quoted(dir.file("s.png")) + " -o " + Quoted(dir.file("s.webp"))));
        WriteBytesFile(dir.file("exif.bin"), ExifOrientationBlock(orientation, false));
        ASSERT_TRUE(RunTool("webpmux -set exif " + Quoted(dir.file("exif.bin")) + " " + Quoted(dir.file("s.webp")) + " -o " +
                        Quoted(dir.file("o.webp"))));
        CRasterImage image;
        ASSERT_TRUE(image.Load(dir.file("o.webp"), IMAGE_WEBP)) << image.GetLastError();
        EXPECT_EQ(CompareWithReference(image, upright, 0, false), "");
    }
}
