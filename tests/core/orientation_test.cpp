// Pictures shown the way their EXIF orientation tag says, through every decode path of the image
// layer and the micro image a new file gets: one small generated JPEG per orientation value,
// read small (the quick path for small pictures) and large (shrunk by the loader).
#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "model/CkxFileImage.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"
#include "support/gui/OrientedPhoto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using guitest::OrientedView;

// The colours at the centres of the four quarters of the rectangle (x, y, w, h) of a picture,
// y counted from the top.
void ExpectQuarters(const CxImage& img, int x, int y, int w, int h, const OrientedView& v) {
    struct Spot {
        const char* where;
        int px, py;
        uint32_t want;
    };
    const Spot spots[] = {{"top-left", x + w / 4, y + h / 4, v.tl},
                          {"top-right", x + 3 * w / 4, y + h / 4, v.tr},
                          {"bottom-left", x + w / 4, y + 3 * h / 4, v.bl},
                          {"bottom-right", x + 3 * w / 4, y + 3 * h / 4, v.br}};
    for (const Spot& s : spots) {
        const CxPixel p = img.GetPixelColor(s.px, static_cast<long>(img.GetHeight()) - 1 - s.py);
        int distance = 0;
        EXPECT_EQ(guitest::NearestQuarterColour(p.r, p.g, p.b, &distance), s.want) << s.where;
        EXPECT_LT(distance, 60) << s.where;
    }
}

struct Size {
    const char* name;
    uint32_t w, h; // stored
};
const Size kSizes[] = {{"small", 64, 32}, {"large", 1600, 800}};

} // namespace

TEST(Orientation, EveryDecodePathShowsThePictureAsItsTagSays) {
    TempDir dir;
    for (const Size& size : kSizes)
        for (const OrientedView& v : guitest::OrientedViews()) {
            SCOPED_TRACE(std::string(size.name) + " orientation " + std::to_string(v.orientation));
            const std::vector<uint8_t> jpeg = guitest::QuarterJpeg(size.w, size.h, v.orientation);
            ASSERT_FALSE(jpeg.empty());
            const uint32_t W = v.swapped ? size.h : size.w, H = v.swapped ? size.w : size.h;

            CxImageInfo info;
            ASSERT_TRUE(CxImage::ReadInfo(jpeg.data(), jpeg.size(), info));
            EXPECT_EQ(info.width, W);
            EXPECT_EQ(info.height, H);

            CxImage whole;
            ASSERT_TRUE(whole.Decode(jpeg.data(), jpeg.size())) << whole.GetLastError();
            ASSERT_EQ(whole.GetWidth(), W);
            ASSERT_EQ(whole.GetHeight(), H);
            ExpectQuarters(whole, 0, 0, static_cast<int>(W), static_cast<int>(H), v);

            CxImage thumb;
            ASSERT_TRUE(thumb.DecodeThumbnail(jpeg.data(), jpeg.size(), W / 2, H / 2)) << thumb.GetLastError();
            ASSERT_EQ(thumb.GetWidth(), W / 2);
            ASSERT_EQ(thumb.GetHeight(), H / 2);
            ExpectQuarters(thumb, 0, 0, static_cast<int>(W / 2), static_cast<int>(H / 2), v);

            // A new file records the size as shown and gets its micro image the right way up;
            // the file itself is left as it was.
            const std::string path = dir.file(std::string(size.name) + std::to_string(v.orientation) + ".jpg");
            ASSERT_TRUE(guitest::WriteBytes(path, jpeg));
            CkxFileImage f;
            ASSERT_EQ(f.LoadFileInfo(path), 1);
            EXPECT_EQ(f.m_nWidth, static_cast<int>(W));
            EXPECT_EQ(f.m_nHeight, static_cast<int>(H));
            EXPECT_EQ(FileBytes(path), std::string(jpeg.begin(), jpeg.end()));
            ASSERT_TRUE(f.IsMemMicroValid());
            CxImage micro;
            ASSERT_TRUE(micro.Decode(f.GetMemMicroBuf(), static_cast<size_t>(f.GetMemMicroSize())));
            const unsigned S = CkxFileImage::MicroSide(W, H);
            ASSERT_EQ(micro.GetWidth(), S);
            const auto at = CkxImageTool::MicroGeometry(W, H, S);
            ExpectQuarters(micro, at.x, at.y, at.w, at.h, v);
        }
}
