// The editor's geometry against the committed bitmaps: the bitmap drawer sizes
// every picture from it, the editor takes its controls' sizes from the
// pictures, so a size changed in one place and not redrawn shows up here.
#include <gtest/gtest.h>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"
#include "support/EditedInstrument.h"
#include "support/FakeServices.h"
#include "toolkit/Support.h"

namespace {

using namespace editor;

struct Family {
    int first;
    Spot spot;
};

const Family kFamilies[] = {
    {kVolumeFader, spot::kFaderBox},
    {kPanKnob, spot::kPanKnobBox},
    {kPitchKnob, spot::kPitchKnobBox},
    {kAmpDecayKnob, spot::kAmpDecayKnobBox},
    {kPitchDecayKnob, spot::kPitchDecayKnobBox},
    {kNoteDown, spot::kNoteDownBox},
    {kNoteUp, spot::kNoteUpBox},
    {kChokeOff, spot::kChokeBoxes[0]},
    {kChoke1, spot::kChokeBoxes[1]},
    {kChoke2, spot::kChokeBoxes[2]},
    {kOut1, spot::kOutBoxes[0]},
    {kOut2, spot::kOutBoxes[1]},
    {kOut3, spot::kOutBoxes[2]},
    {kOut4, spot::kOutBoxes[3]},
    {kNoteNumber, spot::kNoteNumberBox},
    {kUnload, spot::kUnloadBox},
    {kMute, spot::kMuteBox},
    {kSolo, spot::kSoloBox},
};

TEST(Geometry, EveryControlStandsWhereTheDrawerFittedItsPictures) {
    testsupport::ScopedFakeServices services;
    testsupport::EditedInstrument instrument{nullptr};
    auto* ui = static_cast<InstrumentEditor*>(instrument.padEditor());
    ASSERT_NE(ui, nullptr);
    ASSERT_EQ(ui->open(nullptr), 1);
    auto expect = [&](int i, const Spot& s, int p) {
        int x, y, w, h;
        ui->control(i)->GetRegion(&x, &y, &w, &h);
        EXPECT_EQ(x, s.x + kColumn * p) << "control " << i;
        EXPECT_EQ(y, s.y) << "control " << i;
        EXPECT_EQ(w, s.w) << "control " << i;
        EXPECT_EQ(h, s.h) << "control " << i;
    };
    int families = 0;
    for (const Family& f : kFamilies) {
        families++;
        for (int p = 0; p < kColumns; p++) expect(f.first + p, f.spot, p);
    }
    for (int p = 0; p < kColumns; p++) expect(kPadName + p, p % 2 ? spot::kPadNameOddBox : spot::kPadNameEvenBox, p);
    EXPECT_EQ((families + 1) * kColumns, kControlCount);
    ui->close();
}

// The pictures that stand for no control of their own.
TEST(Geometry, BackgroundThumbAndKnobStripAreTheSizesDrawn) {
    testsupport::ScopedFakeServices services;
    testsupport::EditedInstrument instrument{nullptr};
    auto* ui = static_cast<InstrumentEditor*>(instrument.padEditor());
    ASSERT_NE(ui, nullptr);
    int w = 0, h = 0;
    toolkit::bitmapSize(ui->m_background, &w, &h);
    EXPECT_EQ(w, kWidth);
    EXPECT_EQ(h, kHeight);
    ASSERT_NE(ui->m_faderFactory, nullptr);
    EXPECT_EQ(ui->m_faderFactory->m_thumbWidth, spot::kThumbW);
    EXPECT_EQ(ui->m_faderFactory->m_thumbHeight, spot::kThumbH);
    ASSERT_NE(ui->m_knobFactory, nullptr);
    toolkit::bitmapSize(ui->m_knobFactory->m_image, &w, &h);
    EXPECT_EQ(w, bitmap::kKnobFrames * spot::kKnobSize);
    EXPECT_EQ(h, spot::kKnobSize);
}

bool samePicture(HBITMAP held, int id) {
    HBITMAP loaded = toolkit::loadBitmap(platform::gdi::thisModule(), id);
    int w = -1, h = -1, lw = -2, lh = -2;
    toolkit::bitmapSize(held, &w, &h);
    toolkit::bitmapSize(loaded, &lw, &lh);
    bool same = loaded && w == lw && h == lh;
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    HGDIOBJ oldA = SelectObject(a, held), oldB = SelectObject(b, loaded);
    for (int y = 0; same && y < h; y++)
        for (int x = 0; same && x < w; x++) same = GetPixel(a, x, y) == GetPixel(b, x, y);
    SelectObject(a, oldA);
    SelectObject(b, oldB);
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(loaded);
    return same;
}

// Each button family shows the pictures drawn for it, in the right states.
TEST(Geometry, ButtonFactoriesHoldTheirFamiliesPictures) {
    testsupport::ScopedFakeServices services;
    testsupport::EditedInstrument instrument{nullptr};
    auto* ui = static_cast<InstrumentEditor*>(instrument.padEditor());
    ASSERT_NE(ui, nullptr);
    struct Expected {
        const char* name;
        CButtonFactory* factory;
        int mask, off, held, on;
    };
    // The resource numbers written out on their own, as the resource script
    // has them, so that a misnumbered name shows up as well as a swap.
    const Expected expected[] = {
        {"note down", ui->m_noteDownFactory, 199, 198, 197, 198}, {"note up", ui->m_noteUpFactory, 202, 201, 200, 201},
        {"choke", ui->m_chokeFactory, 206, 207, 205, 208},        {"out", ui->m_outFactory, 212, 213, 211, 214},
        {"unload", ui->m_unloadFactory, 225, 224, 226, 224},      {"mute", ui->m_muteFactory, 217, 219, 218, 220},
        {"solo", ui->m_soloFactory, 217, 222, 221, 223},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        ASSERT_NE(e.factory, nullptr);
        EXPECT_TRUE(samePicture(e.factory->m_offMask, e.mask));
        EXPECT_TRUE(samePicture(e.factory->m_downMask, e.mask));
        EXPECT_TRUE(samePicture(e.factory->m_onMask, e.mask));
        EXPECT_TRUE(samePicture(e.factory->m_offImage, e.off));
        EXPECT_TRUE(samePicture(e.factory->m_downImage, e.held));
        EXPECT_TRUE(samePicture(e.factory->m_onImage, e.on));
    }
    // Pictures that differ are told apart.
    EXPECT_FALSE(samePicture(ui->m_muteFactory->m_offImage, 220));
}

}  // namespace
