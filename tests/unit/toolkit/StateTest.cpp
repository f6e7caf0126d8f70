// The controls' state machines, grabs and drags, without drawing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "toolkit/ButtonsText.h"
#include "toolkit/KnobFader.h"
#include "unit/toolkit/Canvas.h"

using kztest::kModule;

namespace {

// Opened without a window: enough for hit tests and states.
template <class C>
std::unique_ptr<C> opened(C* control) {
    control->WOpen(nullptr, nullptr, nullptr);
    control->m_dirty = false;
    return std::unique_ptr<C>(control);
}

struct Buttons : ::testing::Test {
    CButtonFactory factory{kModule, 206, 206, 206, 207, 205, 208};  // choke buttons, 11 x 14
    std::unique_ptr<CLatchingButton> latch = opened(factory.CreateLatchingButton(100, 200));
    std::unique_ptr<CMomentaryButton> moment = opened(factory.CreateMomentaryButton(100, 200));
    const int inX = 105, inY = 205, outX = 300, outY = 300;
};

TEST_F(Buttons, FactoryTakesTheOnImageSize) {
    EXPECT_EQ(factory.m_type, ftButton);
    EXPECT_EQ(factory.m_bitmapCount, 6);
    EXPECT_EQ(factory.m_width, 11);
    EXPECT_EQ(factory.m_height, 14);
    // One identifier given three times is three separately owned bitmaps.
    EXPECT_NE(factory.m_offMask, factory.m_downMask);
    EXPECT_EQ(latch->m_type, ctLatchingButton);
    EXPECT_EQ(moment->m_type, ctMomentaryButton);
}

TEST_F(Buttons, NewButtonsStartDirtyAndLatchingOnesSaveOn) {
    std::unique_ptr<CLatchingButton> fresh(factory.CreateLatchingButton(0, 0));
    EXPECT_TRUE(fresh->m_dirty);
    EXPECT_FALSE(fresh->m_open);
    EXPECT_EQ(fresh->m_display, 0);
    EXPECT_EQ(fresh->m_latched, 2);
    EXPECT_FLOAT_EQ(fresh->GetState(), -0.1f);
}

TEST_F(Buttons, LatchingReleaseWithoutPressTogglesFromSavedOn) {
    EXPECT_EQ(latch->HitTest(inX, inY, true, true), 1);
    EXPECT_EQ(latch->m_display, 0);
    EXPECT_TRUE(latch->m_dirty);
}

TEST_F(Buttons, LatchingClickTurnsOnThenOff) {
    EXPECT_EQ(latch->HitTest(inX, inY, false, true), -1);
    EXPECT_EQ(latch->m_display, 1);
    EXPECT_FLOAT_EQ(latch->GetState(), -0.1f);  // held: the state before the press
    EXPECT_EQ(latch->HitTest(inX, inY, true, true), 2);
    EXPECT_FLOAT_EQ(latch->GetState(), 1.1f);
    EXPECT_EQ(latch->HitTest(inX, inY, false, true), -1);
    EXPECT_FLOAT_EQ(latch->GetState(), 1.1f);
    EXPECT_EQ(latch->HitTest(inX, inY, true, true), 1);
    EXPECT_FLOAT_EQ(latch->GetState(), -0.1f);
}

TEST_F(Buttons, LatchingReleaseOutsideCancelsAndAnswersEveryRelease) {
    latch->SetState(1.0f, false);
    latch->HitTest(inX, inY, false, true);
    latch->m_dirty = false;
    EXPECT_EQ(latch->HitTest(outX, outY, true, true), -1);
    EXPECT_EQ(latch->m_display, 2);
    EXPECT_TRUE(latch->m_dirty);
    latch->m_dirty = false;
    EXPECT_EQ(latch->HitTest(outX, outY, true, true), -1);  // not pressed: still -1, stays clean
    EXPECT_FALSE(latch->m_dirty);
    EXPECT_EQ(latch->HitTest(outX, outY, false, true), 0);  // press outside
}

TEST_F(Buttons, LatchingSetStateThresholdAndDirtiness) {
    latch->SetState(0.1f, false);
    EXPECT_EQ(latch->m_display, 2);
    EXPECT_TRUE(latch->m_dirty);
    latch->m_dirty = false;
    latch->SetState(0.5f, false);
    EXPECT_FALSE(latch->m_dirty);
    latch->SetState(0.0999f, false);
    EXPECT_EQ(latch->m_display, 0);
    EXPECT_EQ(latch->m_latched, 0);
    // A state set while held replaces the pressed display at once.
    latch->HitTest(inX, inY, false, true);
    latch->SetState(1.0f, false);
    EXPECT_EQ(latch->m_display, 2);
}

TEST_F(Buttons, MomentaryClicksAndCancels) {
    EXPECT_EQ(moment->HitTest(inX, inY, true, true), -1);  // release without a press
    EXPECT_EQ(moment->HitTest(inX, inY, false, true), -1);
    EXPECT_EQ(moment->m_display, 1);
    EXPECT_EQ(moment->HitTest(inX, inY, true, true), 1);
    EXPECT_EQ(moment->m_display, 0);
    EXPECT_EQ(moment->HitTest(inX, inY, false, true), -1);
    moment->m_dirty = false;
    EXPECT_EQ(moment->HitTest(outX, outY, true, true), -1);
    EXPECT_EQ(moment->m_display, 0);
    EXPECT_TRUE(moment->m_dirty);
    moment->m_dirty = false;
    EXPECT_EQ(moment->HitTest(outX, outY, true, true), -1);
    EXPECT_FALSE(moment->m_dirty);
    EXPECT_EQ(moment->HitTest(outX, outY, false, true), 0);
    EXPECT_FLOAT_EQ(moment->GetState(), 0.0f);
    moment->SetState(1.0f, false);
    EXPECT_FLOAT_EQ(moment->GetState(), 0.0f);
}

TEST_F(Buttons, NotConcernedWhenClosedOrNotLeftButton) {
    for (bool release : {false, true}) {
        EXPECT_EQ(latch->HitTest(inX, inY, release, false), 0);
        EXPECT_EQ(moment->HitTest(inX, inY, release, false), 0);
    }
    EXPECT_EQ(latch->m_display, 0);
    EXPECT_FALSE(latch->m_dirty);
    latch->WClose();
    moment->WClose();
    EXPECT_EQ(latch->HitTest(inX, inY, false, true), 0);
    EXPECT_EQ(moment->HitTest(inX, inY, false, true), 0);
    EXPECT_EQ(latch->m_display, 0);
}

TEST_F(Buttons, InsideTestIsStrict) {
    // The button covers x 100..110 and y 200..213.
    EXPECT_EQ(latch->HitTest(100, 205, false, true), 0);
    EXPECT_EQ(latch->HitTest(105, 200, false, true), 0);
    EXPECT_EQ(latch->HitTest(111, 205, false, true), 0);
    EXPECT_EQ(latch->HitTest(105, 214, false, true), 0);
    EXPECT_EQ(latch->HitTest(101, 201, false, true), -1);
    EXPECT_EQ(latch->HitTest(110, 213, false, true), -1);
}

TEST_F(Buttons, ReopeningMarksDirtyAndKeepsState) {
    latch->SetState(1.0f, false);
    latch->WClose();
    latch->m_dirty = false;
    latch->WOpen(nullptr, nullptr, nullptr);
    EXPECT_TRUE(latch->m_dirty);
    EXPECT_FLOAT_EQ(latch->GetState(), 1.1f);
    int x, y, w, h;
    latch->GetRegion(&x, &y, &w, &h);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(w, 11);
    EXPECT_EQ(h, 14);
}

struct Continuous : ::testing::Test {
    CKnobFactory knobs{kModule, 210, 209, false};
    CFaderFactory faders{kModule, 196, 216, 203, 204, false};
    std::unique_ptr<CKnob> knob = opened(knobs.CreateKnob(61, 115));
    std::unique_ptr<CFader> fader = opened(faders.CreateFader(67, 296));
};

TEST_F(Continuous, FactoriesTakeFrameAndTrackSizes) {
    EXPECT_EQ(knobs.m_width, 25);
    EXPECT_EQ(knobs.m_height, 25);
    EXPECT_EQ(faders.m_width, 16);
    EXPECT_EQ(faders.m_height, 94);
    EXPECT_EQ(faders.m_thumbWidth, 16);
    EXPECT_EQ(faders.m_thumbHeight, 13);
    EXPECT_EQ(knob->m_type, ctKnob);
    EXPECT_EQ(fader->m_type, ctFader);
}

TEST_F(Continuous, NewVerticalControlsStandAtStateOne) {
    EXPECT_FLOAT_EQ(knob->GetState(), 1.0f);
    EXPECT_FLOAT_EQ(fader->GetState(), 1.0f);
    std::unique_ptr<CKnob> fresh(knobs.CreateKnob(0, 0));
    EXPECT_FALSE(fresh->m_dirty);  // first marked by WOpen
}

TEST_F(Continuous, PressInsideGrabsWithoutChangingAnything) {
    EXPECT_EQ(knob->HitTest(61, 120, false, true), 0);  // left edge
    EXPECT_EQ(knob->HitTest(70, 115, false, true), 0);  // top edge
    EXPECT_EQ(knob->HitTest(86, 120, false, true), 0);  // one past the right edge
    EXPECT_EQ(knob->HitTest(70, 120, false, false), 0);
    EXPECT_FALSE(knob->m_dragging);
    EXPECT_EQ(knob->HitTest(70, 120, false, true), 1);
    EXPECT_TRUE(knob->m_dragging);
    EXPECT_EQ(knob->m_lastX, 70);
    EXPECT_EQ(knob->m_lastY, 120);
    EXPECT_FALSE(knob->m_dirty);
    EXPECT_EQ(knob->HitTest(70, 120, true, true), 0);  // a release never hits
    EXPECT_FALSE(knob->m_dragging);
    knob->WClose();
    EXPECT_EQ(knob->HitTest(70, 120, false, true), 0);
}

TEST_F(Continuous, KnobDragCoversItsRangeInTwiceItsHeight) {
    knob->SetState(0.5f, false);
    knob->HitTest(70, 120, false, true);
    knob->m_dirty = false;
    EXPECT_FLOAT_EQ(knob->MouseDrag(70, 110), 0.7f);
    EXPECT_FLOAT_EQ(knob->GetState(), 0.7f);
    EXPECT_TRUE(knob->m_dirty);
    knob->MouseDrag(300, 40);  // far past the top: clamped, x ignored
    EXPECT_FLOAT_EQ(knob->GetState(), 1.0f);
    knob->MouseDrag(300, 45);  // moves back at once
    EXPECT_FLOAT_EQ(knob->GetState(), 0.9f);
    knob->MouseDrag(300, 5000);
    EXPECT_FLOAT_EQ(knob->GetState(), 0.0f);
}

TEST_F(Continuous, FaderDragCoversItsRangeInTrackLength) {
    fader->SetState(0.5f, false);
    fader->HitTest(75, 340, false, true);
    EXPECT_FLOAT_EQ(fader->MouseDrag(75, 293), 1.0f);
    fader->MouseDrag(75, 340);
    EXPECT_FLOAT_EQ(fader->GetState(), 0.5f);
}

TEST_F(Continuous, HorizontalKnobFollowsX) {
    CKnobFactory sideways(kModule, 210, 209, true);
    std::unique_ptr<CKnob> k = opened(sideways.CreateKnob(0, 0));
    EXPECT_FLOAT_EQ(k->GetState(), 0.0f);
    k->HitTest(10, 10, false, true);
    float result = k->MouseDrag(20, 500);  // 10 right: +0.2, y ignored
    EXPECT_FLOAT_EQ(k->GetState(), 0.2f);
    EXPECT_FLOAT_EQ(result, 0.8f);  // 1 - position whatever the orientation
}

TEST_F(Continuous, SetStateOnlyDirtiesOnChange) {
    for (float state : {0.1f, 0.3f, 0.7f, 1.0f, 0.0f}) {
        knob->SetState(state, false);
        fader->SetState(state, false);
        knob->m_dirty = fader->m_dirty = false;
        knob->SetState(state, false);
        fader->SetState(state, false);
        EXPECT_FALSE(knob->m_dirty) << state;
        EXPECT_FALSE(fader->m_dirty) << state;
        EXPECT_FLOAT_EQ(knob->GetState(), state);
    }
}

struct Texts : ::testing::Test {
    CStaticTextFactory factory{kModule, 13, const_cast<char*>("Arial"), 63, 12, 0xFFDD22};
};

TEST_F(Texts, FactoryMakesHalfWidthFontAndBoxes) {
    EXPECT_EQ(factory.m_type, ftStaticText);
    EXPECT_EQ(factory.m_bitmapCount, 0);
    EXPECT_NE(factory.m_font, nullptr);
    std::unique_ptr<CStaticText> t(factory.CreateStaticText(5, 6, const_cast<char*>(" < none > ")));
    EXPECT_EQ(t->m_type, ctStaticText);
    EXPECT_STREQ(t->m_text, " < none > ");
    EXPECT_TRUE(t->m_dirty);
    EXPECT_EQ(t->m_width, 63);
    EXPECT_EQ(t->m_color, 0xFFDD22u);
}

TEST_F(Texts, NeverHitAndStateless) {
    std::unique_ptr<CStaticText> t = opened(factory.CreateStaticText(0, 0, const_cast<char*>("x")));
    EXPECT_EQ(t->HitTest(5, 5, false, true), 0);
    EXPECT_FLOAT_EQ(t->GetState(), 0.0f);
    t->SetState(1.0f, false);
    EXPECT_FALSE(t->m_dirty);
}

TEST_F(Texts, SetTextCopiesCutsAndKeeps) {
    std::unique_ptr<CStaticText> t(factory.CreateStaticText(0, 0, nullptr));
    EXPECT_EQ(t->m_text, nullptr);
    std::string exact(255, 'a');
    t->SetText(&exact[0]);
    EXPECT_EQ(std::string(t->m_text), exact);
    std::string longer(400, 'b');
    t->SetText(&longer[0]);
    EXPECT_EQ(std::string(t->m_text), std::string(255, 'b'));
    t->m_dirty = false;
    t->SetText(nullptr);
    EXPECT_TRUE(t->m_dirty);
    EXPECT_EQ(std::string(t->m_text), std::string(255, 'b'));
    t->SetText(t->m_text + 250);  // a text taken from its own buffer
    EXPECT_STREQ(t->m_text, "bbbbb");
}

TEST(Factories, EmptyAndMissingBitmapsAreHarmless) {
    CBaseFactory none(ftStaticText, 0);
    EXPECT_NE(none.m_bitmaps, nullptr);
    EXPECT_EQ(none.m_bitmapCount, 0);
    CKnobFactory missing(kModule, 9999, 9998, false);
    EXPECT_EQ(missing.m_image, nullptr);
    EXPECT_EQ(missing.m_width, 0);
    std::unique_ptr<CKnob> k = opened(missing.CreateKnob(0, 0));
    k->HitTest(0, 0, false, true);
    k->MouseDrag(0, 100);  // no size: no movement, no division by zero
    EXPECT_FLOAT_EQ(k->GetState(), 1.0f);
}

}  // namespace
