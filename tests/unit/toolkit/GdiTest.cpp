// The GDI stand-in itself: raster operations, clipping, selection rules and
// the PNG snapshot.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "unit/toolkit/Canvas.h"

namespace {

struct Gdi : ::testing::Test {
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen), b = CreateCompatibleDC(screen);
    HBITMAP bitmapA = CreateCompatibleBitmap(screen, 8, 8), bitmapB = CreateCompatibleBitmap(screen, 8, 8);
    HGDIOBJ oldA = SelectObject(a, bitmapA), oldB = SelectObject(b, bitmapB);
    void TearDown() override {
        SelectObject(a, oldA);
        SelectObject(b, oldB);
        DeleteDC(a);
        DeleteDC(b);
        DeleteObject(bitmapA);
        DeleteObject(bitmapB);
        ReleaseDC(nullptr, screen);
    }
};

TEST_F(Gdi, RasterOperationsCombineChannelsBitwise) {
    EXPECT_EQ(GetPixel(a, 0, 0), 0u);  // new bitmaps are black
    SetPixel(a, 1, 1, 0x00F0F0F0);
    SetPixel(b, 1, 1, 0x000F3CFF);
    BitBlt(a, 1, 1, 1, 1, b, 1, 1, SRCAND);
    EXPECT_EQ(GetPixel(a, 1, 1), 0x000030F0u);
    BitBlt(a, 1, 1, 1, 1, b, 1, 1, SRCPAINT);
    EXPECT_EQ(GetPixel(a, 1, 1), 0x000F3CFFu);
    BitBlt(a, 0, 0, 2, 2, nullptr, 0, 0, WHITENESS);
    EXPECT_EQ(GetPixel(a, 1, 1), 0x00FFFFFFu);
    EXPECT_EQ(GetPixel(a, 2, 2), 0u);
    BitBlt(a, 0, 0, 8, 8, b, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(a, 1, 1), 0x000F3CFFu);
    EXPECT_EQ(GetPixel(a, 0, 0), 0u);
}

TEST_F(Gdi, TransfersClipToBothBitmaps) {
    BitBlt(b, 0, 0, 8, 8, nullptr, 0, 0, WHITENESS);
    BitBlt(a, -2, 6, 8, 8, b, 4, 0, SRCCOPY);  // only the source's last 4 columns exist
    EXPECT_EQ(GetPixel(a, 0, 6), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(a, 1, 7), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(a, 2, 7), 0u);
    EXPECT_EQ(GetPixel(a, 0, 5), 0u);
    EXPECT_EQ(GetPixel(a, 9, 9), 0xFFFFFFFFu);  // outside: invalid colour
}

TEST_F(Gdi, OverlappingCopyWithinOneBitmap) {
    for (int y = 0; y < 8; y++) SetPixel(a, 0, y, static_cast<COLORREF>(y));
    BitBlt(a, 0, 1, 1, 7, a, 0, 0, SRCCOPY);
    for (int y = 1; y < 8; y++) EXPECT_EQ(GetPixel(a, 0, y), static_cast<COLORREF>(y - 1));
}

TEST_F(Gdi, BitmapIsSelectedIntoOneContextAtATime) {
    HDC c = CreateCompatibleDC(screen);
    EXPECT_EQ(SelectObject(c, bitmapA), nullptr);
    EXPECT_EQ(SelectObject(a, bitmapA), bitmapA);  // already there
    EXPECT_FALSE(DeleteObject(bitmapA));           // selected: refused
    EXPECT_FALSE(DeleteObject(nullptr));
    DeleteDC(c);
    EXPECT_EQ(SelectObject(nullptr, bitmapA), nullptr);
}

TEST(GdiText, DrawTextReportsLineHeightsAndUsesTheFont) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 80, 40);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = CreateFontA(13, 6, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    RECT box = {0, 0, 80, 40};
    EXPECT_EQ(DrawTextA(dc, "ab\r\ncd\ne", -1, &box, DT_LEFT), 39);
    int lit = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 80; x++) lit += GetPixel(dc, x, y) != 0;
    EXPECT_GT(lit, 20);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    EXPECT_TRUE(DeleteObject(font));
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(GdiPng, WindowClientSnapshot) {
    kztest::Parent parent;
    const char* path = "gdi-snapshot-test.png";
    std::remove(path);
    ASSERT_TRUE(platform::gdi::writeClientPng(parent.hwnd(), path));
    FILE* f = std::fopen(path, "rb");
    ASSERT_NE(f, nullptr);
    unsigned char head[8] = {};
    EXPECT_EQ(std::fread(head, 1, 8, f), 8u);
    std::fclose(f);
    std::remove(path);
    EXPECT_EQ(std::memcmp(head, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_FALSE(platform::gdi::writeClientPng(nullptr, path));
}

}  // namespace
