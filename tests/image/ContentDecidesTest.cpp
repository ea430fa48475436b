// A file's content decides which decoder reads it, whatever its name says:
// pictures saved under another kind's extension, or with none, load; what no
// decoder knows gets the usual message.
#include "image/RasterImage.h"

#include "PictureFiles.h"
#include "TestEncoders.h"
#include "TestImages.h"

#include <filesystem>

#include <gtest/gtest.h>

TEST(ContentDecides, PicturesUnderTheWrongNameOrNoneLoadByTheirSignature) {
    ScratchFolder dir;
    const RgbaPicture picture = PatternPicture(21, 13, false);
    WritePngFile(dir.file("p.png"), picture, false);
    ASSERT_TRUE(RunTool("cwebp -quiet -lossless " + Quoted(dir.file("p.png")) + " -o " + Quoted(dir.file("p.webp"))));
    ASSERT_TRUE(RunTool("cjxl --quiet -d 0 " + Quoted(dir.file("p.png")) + " " + Quoted(dir.file("p.jxl"))));
    struct Case {
        const char* from;
        const char* as;
        int type;
    };
    for (const Case& c : {Case{"p.webp", "cover.jpg", IMAGE_WEBP}, Case{"p.png", "cover.jpg", IMAGE_PNG},
                          Case{"p.webp", "cover", IMAGE_WEBP}, Case{"p.jxl", "cover.png", IMAGE_JXL},
                          Case{"p.png", "cover.webp", IMAGE_PNG}, Case{"p.jxl", "download.php", IMAGE_JXL}}) {
        SCOPED_TRACE(c.as);
        std::filesystem::copy_file(dir.file(c.from), dir.file(c.as), std::filesystem::copy_options::overwrite_existing);
        const int byName = ImageTypeFromExtension(c.as);
        CRasterImage image;
        ASSERT_TRUE(image.Load(dir.file(c.as), byName < 0 ? IMAGE_UNKNOWN : byName)) << image.GetLastError();
        EXPECT_EQ(image.GetType(), c.type);
        EXPECT_EQ(CompareWithReference(image, picture, 0, false), "");
    }
}

TEST(ContentDecides, ContentNoDecoderKnowsGetsTheUsualMessage) {
    ScratchFolder dir;
    WriteBytesFile(dir.file("notes"), {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'});
    CRasterImage image;
    EXPECT_FALSE(image.Load(dir.file("notes"), IMAGE_UNKNOWN));
    EXPECT_EQ(image.GetLastError(), kUnknownFormatText);
    // A damaged WebP under a JPEG name is named by the WebP decoder, which
    // its signature chose.
    WriteBytesFile(dir.file("broken.jpg"), {'R', 'I', 'F', 'F', 40, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', ' '});
    EXPECT_FALSE(image.Load(dir.file("broken.jpg"), IMAGE_JPG));
    EXPECT_NE(image.GetLastError().find("WebP"), std::string::npos) << image.GetLastError();
    EXPECT_FALSE(image.IsValid());
}
