// The module's bitmaps: every identifier present, sizes as the editor lays
// them out, masks two-valued, images black wherever their mask is white.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "unit/toolkit/Canvas.h"

using kztest::BitmapReader;

namespace {

struct Size {
    int width, height;
};

const std::map<int, Size> kSizes = {
    {196, {16, 94}},   {216, {16, 94}}, {203, {16, 13}}, {204, {16, 13}}, {209, {1600, 25}}, {210, {1600, 25}},
    {197, {9, 17}},    {198, {9, 17}},  {199, {9, 17}},  {200, {9, 17}},  {201, {9, 17}},    {202, {9, 17}},
    {205, {11, 14}},   {206, {11, 14}}, {207, {11, 14}}, {208, {11, 14}}, {211, {13, 13}},   {212, {13, 13}},
    {213, {13, 13}},   {214, {13, 13}}, {217, {17, 12}}, {218, {17, 12}}, {219, {17, 12}},   {220, {17, 12}},
    {221, {17, 12}},   {222, {17, 12}}, {223, {17, 12}}, {224, {32, 9}},  {225, {32, 9}},    {226, {32, 9}},
    {215, {670, 400}},
};

// Mask -> the images drawn through it.
const std::map<int, std::vector<int>> kMasks = {
    {216, {196}},      {204, {203}},           {209, {210}},           {199, {197, 198}},
    {202, {200, 201}}, {206, {205, 207, 208}}, {212, {211, 213, 214}}, {217, {218, 219, 220, 221, 222, 223}},
    {225, {224, 226}},
};

struct Loaded {
    HBITMAP bitmap;
    explicit Loaded(int id) : bitmap(LoadBitmapA(kztest::kModule, MAKEINTRESOURCEA(id))) {}
    ~Loaded() {
        if (bitmap) DeleteObject(bitmap);
    }
};

TEST(Bitmaps, EveryIdentifierHasItsSize) {
    for (int id = 196; id <= 226; id++) {
        Loaded b(id);
        ASSERT_NE(b.bitmap, nullptr) << id;
        BITMAP info;
        ASSERT_EQ(GetObjectA(b.bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, kSizes.at(id).width) << id;
        EXPECT_EQ(info.bmHeight, kSizes.at(id).height) << id;
        EXPECT_EQ(info.bmBitsPixel, 24);
    }
    EXPECT_EQ(Loaded(195).bitmap, nullptr);
    EXPECT_EQ(Loaded(227).bitmap, nullptr);
}

TEST(Bitmaps, MasksFollowTheConvention) {
    for (const auto& [maskId, images] : kMasks) {
        Loaded mask(maskId);
        BitmapReader m(mask.bitmap);
        Size s = kSizes.at(maskId);
        int opaque = 0, grey = 0;
        for (int y = 0; y < s.height; y++)
            for (int x = 0; x < s.width; x++) {
                COLORREF c = m.at(x, y);
                opaque += c == 0;
                grey += c != 0 && c != 0xFFFFFFu;
            }
        EXPECT_EQ(grey, 0) << maskId;
        EXPECT_GT(opaque, s.width * s.height / 3) << maskId;
        for (int imageId : images) {
            Loaded image(imageId);
            BitmapReader i(image.bitmap);
            int stray = 0;
            for (int y = 0; y < s.height; y++)
                for (int x = 0; x < s.width; x++) stray += m.at(x, y) != 0 && i.at(x, y) != 0;
            EXPECT_EQ(stray, 0) << imageId << " through " << maskId;
        }
    }
}

// Each of the 64 knob frames differs from its neighbours: the pointer moves.
TEST(Bitmaps, KnobFramesSweep) {
    Loaded strip(210);
    BitmapReader k(strip.bitmap);
    for (int f = 1; f < 64; f++) {
        int differ = 0;
        for (int y = 0; y < 25; y++)
            for (int x = 0; x < 25; x++) differ += k.at(f * 25 + x, y) != k.at((f - 1) * 25 + x, y);
        EXPECT_GT(differ, 3) << "frame " << f;
    }
}

}  // namespace
