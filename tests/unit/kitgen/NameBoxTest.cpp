// The demo kit's names as the editor shows them: drawn with the editor's own
// pad name font, every one must fit its box whole, neither end cut off.
#include <gtest/gtest.h>

#include <string>

#include "editor/DisplayName.h"
#include "editor/EditorGeometry.h"
#include "editor/InstrumentEditor.h"
#include "Sounds.h"
#include "support/EditedInstrument.h"

namespace {

struct Ink {
    bool any = false;
    int left = 0, right = 0;  // first and last column with ink
};

// Draws text centred as a pad name is, in a box widened by kMargin on each
// side so that nothing is clipped; columns are relative to the real box.
const int kMargin = 40;

Ink inkOf(const std::string& text, const CStaticTextFactory& font) {
    const int width = font.m_width + 2 * kMargin, height = 3 * font.m_height;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(dc, width, height);
    HGDIOBJ oldBitmap = SelectObject(dc, canvas);
    HGDIOBJ oldFont = SelectObject(dc, font.m_font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, 0xFFFFFF);
    RECT box = {0, 0, width, height};
    DrawTextA(dc, text.c_str(), -1, &box, DT_CENTER);
    Ink ink;
    for (int x = 0; x < width; x++)
        for (int y = 0; y < height; y++)
            if (GetPixel(dc, x, y) != 0) {
                if (!ink.any) ink.left = x - kMargin;
                ink.any = true;
                ink.right = x - kMargin;
                break;
            }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(canvas);
    DeleteDC(dc);
    return ink;
}

class NameBox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ui, nullptr);
        ASSERT_NE(ui->m_nameTextFactory, nullptr);
        ASSERT_NE(ui->m_nameTextFactory->m_font, nullptr);
        ASSERT_EQ(ui->m_nameTextFactory->m_width, editor::spot::kPadNameEvenBox.w);
    }
    const CStaticTextFactory& font() const { return *ui->m_nameTextFactory; }

    testsupport::EditedInstrument instrument{nullptr};
    InstrumentEditor* ui = static_cast<InstrumentEditor*>(instrument.padEditor());
};

TEST_F(NameBox, MeasuresWhatTheBoxCuts) {
    Ink fits = inkOf("kick", font());
    EXPECT_TRUE(fits.any);
    EXPECT_GE(fits.left, 0);
    EXPECT_LT(fits.right, font().m_width);
    Ink cut = inkOf("16-tambourine", font());
    EXPECT_LT(cut.left, 0);
    EXPECT_GE(cut.right, font().m_width);
    EXPECT_FALSE(inkOf("", font()).any);
}

TEST_F(NameBox, EveryDemoNameShowsWhole) {
    for (const std::string& sound : kitgen::kitNames()) {
        char shown[editor::kDisplayNameSize];
        editor::displayName(("kit/" + sound + ".wav").c_str(), shown);
        ASSERT_EQ(std::string(shown), sound) << "the editor shows the file name itself";
        Ink ink = inkOf(shown, font());
        EXPECT_TRUE(ink.any) << sound;
        EXPECT_GE(ink.left, 0) << sound << " reaches column " << ink.left;
        EXPECT_LT(ink.right, font().m_width) << sound << " reaches column " << ink.right;
    }
}

}  // namespace
