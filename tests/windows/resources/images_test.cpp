// The bitmaps and the icon as the program carries them, read from the resource bytes: sizes,
// 24-bit pixels, the toolbar strips' mask background, enabled and disabled strips not mixed
// up, and every icon size.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>

#include "ui/win32/res/resource_ids.h"
#include "ui/win32/res/resource_tables.h"

namespace zentrik::test {
namespace {

const BYTE* ResourceBytes(int id, int type, DWORD* size) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    *size = found != nullptr ? SizeofResource(module, found) : 0;
    return static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
}

struct Rgb {
    int red, green, blue;
};

// A bitmap resource: a BITMAPINFOHEADER and bottom-up rows of 24-bit pixels.
class Bitmap {
  public:
    explicit Bitmap(int id) {
        DWORD size = 0;
        const BYTE* data = ResourceBytes(id, 2, &size);  // RT_BITMAP
        if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) {
            return;
        }
        m_header = *reinterpret_cast<const BITMAPINFOHEADER*>(data);
        m_pixels = data + m_header.biSize;
        m_valid = m_header.biBitCount == 24 && m_header.biCompression == BI_RGB &&
                  m_header.biHeight > 0 && size >= m_header.biSize + Stride() * Height();
    }

    bool Valid() const { return m_valid; }
    const BITMAPINFOHEADER& Header() const { return m_header; }
    int Width() const { return m_header.biWidth; }
    int Height() const { return m_header.biHeight; }

    Rgb Pixel(int x, int y) const {
        const BYTE* p = m_pixels + (Height() - 1 - y) * Stride() + x * 3;
        return {p[2], p[1], p[0]};
    }

  private:
    int Stride() const { return (Width() * 3 + 3) & ~3; }

    BITMAPINFOHEADER m_header{};
    const BYTE* m_pixels = nullptr;
    bool m_valid = false;
};

int Saturation(Rgb c) {
    return std::max({c.red, c.green, c.blue}) - std::min({c.red, c.green, c.blue});
}

bool IsMask(Rgb c) {
    const auto mask = win32_res::kToolbarMaskColour;
    return c.red == mask.red && c.green == mask.green && c.blue == mask.blue;
}

TEST(BitmapResources, SizesAndDepthAtOnceAndTwiceTheSize) {
    const struct {
        int id;
        int width, height;
    } bitmaps[] = {{141, 340, 31}, {142, 340, 31}, {152, 600, 634}, {153, 520, 71}};
    for (const auto& want : bitmaps) {
        for (int scale : {1, win32_res::kDoubleSizeScale}) {
            const int id = scale == 1 ? want.id : want.id + IDB_DOUBLE_SIZE_OFFSET;
            SCOPED_TRACE("bitmap " + std::to_string(id));
            Bitmap bitmap(id);
            ASSERT_TRUE(bitmap.Valid()) << "missing, or not 24-bit uncompressed";
            EXPECT_EQ(bitmap.Width(), want.width * scale);
            EXPECT_EQ(bitmap.Height(), want.height * scale);
        }
    }
}

// Each strip holds one image per button on the mask colour; the enabled strip is in colour
// in every image, the disabled one grey throughout.
TEST(BitmapResources, ToolbarStripsAreFourImagesOnTheMaskColour) {
    const int buttons = static_cast<int>(win32_res::kToolbarButtons.size());
    for (int scale : {1, win32_res::kDoubleSizeScale}) {
        for (int base : {IDB_TOOLBAR, IDB_TOOLBAR_DISABLED}) {
            const int id = scale == 1 ? base : base + IDB_DOUBLE_SIZE_OFFSET;
            SCOPED_TRACE("bitmap " + std::to_string(id));
            Bitmap strip(id);
            ASSERT_TRUE(strip.Valid());
            const int w = win32_res::kToolbarImageWidth * scale;
            const int h = win32_res::kToolbarImageHeight * scale;
            ASSERT_EQ(strip.Width(), w * buttons);
            ASSERT_EQ(strip.Height(), h);
            for (int b = 0; b < buttons; ++b) {
                SCOPED_TRACE("image " + std::to_string(b));
                const int left = b * w;
                for (auto [x, y] : {std::pair{left, 0},
                                    {left + w - 1, 0},
                                    {left, h - 1},
                                    {left + w - 1, h - 1}}) {
                    EXPECT_TRUE(IsMask(strip.Pixel(x, y))) << "corner " << x << "," << y;
                }
                int drawn = 0;
                int coloured = 0;
                int maxSaturation = 0;
                for (int y = 0; y < h; ++y) {
                    for (int x = left; x < left + w; ++x) {
                        const Rgb c = strip.Pixel(x, y);
                        drawn += !IsMask(c);
                        coloured += Saturation(c) > 40;
                        maxSaturation = std::max(maxSaturation, Saturation(c));
                    }
                }
                EXPECT_GT(drawn, w * h / 10) << "an image barely drawn";
                if (base == IDB_TOOLBAR) {
                    EXPECT_GT(coloured, 0) << "a grey image in the enabled strip";
                } else {
                    EXPECT_LE(maxSaturation, 8) << "colour in the disabled strip";
                }
            }
        }
    }
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;  // 0 stands for 256
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(IconResource, EverySizeIsThereWithItsImage) {
    DWORD size = 0;
    const BYTE* group = ResourceBytes(IDR_MAINFRAME, 14, &size);  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    ASSERT_GE(size, 6u);
    const WORD count = reinterpret_cast<const WORD*>(group)[2];
    ASSERT_EQ(size, 6 + count * sizeof(IconGroupEntry));
    std::set<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        IconGroupEntry entry;
        std::memcpy(&entry, group + 6 + i * sizeof entry, sizeof entry);
        const int side = entry.width == 0 ? 256 : entry.width;
        SCOPED_TRACE("icon " + std::to_string(side));
        EXPECT_EQ(entry.width, entry.height);
        EXPECT_EQ(entry.bitCount, 32);
        DWORD imageSize = 0;
        EXPECT_NE(ResourceBytes(entry.id, 3, &imageSize), nullptr);  // RT_ICON
        EXPECT_EQ(imageSize, entry.bytes);
        sizes.insert(side);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 256}));
}

}  // namespace
}  // namespace zentrik::test
