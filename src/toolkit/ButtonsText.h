// The discrete controls and the label: latching and momentary buttons made
// by one button factory (three masks, three images), and a static text in
// the font and colour of its factory.
#pragma once

#include "toolkit/BaseControl.h"

class CLatchingButton;
class CMomentaryButton;
class CStaticText;

class KZ_EXPORT CButtonFactory : public CBaseFactory {
public:
    CButtonFactory(HINSTANCE hInstance, int offMaskId, int downMaskId, int onMaskId, int offImageId, int downImageId,
                   int onImageId);
    CButtonFactory(const CButtonFactory& other);
    CButtonFactory& operator=(const CButtonFactory& other);
    ~CButtonFactory() override;
    virtual CLatchingButton* CreateLatchingButton(int x, int y);
    virtual CMomentaryButton* CreateMomentaryButton(int x, int y);

    HBITMAP m_offMask;
    HBITMAP m_downMask;
    HBITMAP m_onMask;
    HBITMAP m_offImage;
    HBITMAP m_downImage;
    HBITMAP m_onImage;
};

// What a button shows (m_display). A momentary button at rest shows its on
// pictures.
enum ButtonDisplay {
    bdOff = 0,
    bdRest = 0,
    bdPressed = 1,  // held
    bdOn = 2,
};

// Display states: off, pressed, on. A click toggles; a press released
// outside restores the state from before the press.
class KZ_EXPORT CLatchingButton : public CBaseControl {
public:
    CLatchingButton(HINSTANCE hInstance, CButtonFactory* factory, int x, int y);
    CLatchingButton(const CLatchingButton& other);
    CLatchingButton& operator=(const CLatchingButton& other);
    ~CLatchingButton() override;
    // -0.1 off, 1.1 on; while held, the state from before the press.
    float GetState() override;
    void SetState(float state, bool flag) override;  // [editor]
    // hitNone, hitTaken (no new value), hitClicked (now off) or hitClickedOn.
    int HitTest(int x, int y, bool release, bool leftButton) override;
    void Repaint() override;

    HBITMAP m_offMask;
    HBITMAP m_downMask;
    HBITMAP m_onMask;
    HBITMAP m_offImage;
    HBITMAP m_downImage;
    HBITMAP m_onImage;
    int m_display;
    int m_latched;
};

// Display states: at rest (the on pictures), pressed. A press and a release
// inside it is a click.
class KZ_EXPORT CMomentaryButton : public CBaseControl {
public:
    CMomentaryButton(HINSTANCE hInstance, CButtonFactory* factory, int x, int y);
    CMomentaryButton(const CMomentaryButton& other);
    CMomentaryButton& operator=(const CMomentaryButton& other);
    ~CMomentaryButton() override;
    float GetState() override;
    void SetState(float state, bool flag) override;  // [editor]
    // hitNone, hitTaken (no click) or hitClicked.
    int HitTest(int x, int y, bool release, bool leftButton) override;
    void Repaint() override;

    HBITMAP m_offMask;
    HBITMAP m_downMask;
    HBITMAP m_onMask;
    HBITMAP m_offImage;
    HBITMAP m_downImage;
    HBITMAP m_onImage;
    int m_display;
};

class KZ_EXPORT CStaticTextFactory : public CBaseFactory {
public:
    CStaticTextFactory(HINSTANCE hInstance, int fontHeight, char* faceName, int width, int height, COLORREF color);
    CStaticTextFactory(const CStaticTextFactory& other);
    CStaticTextFactory& operator=(const CStaticTextFactory& other);
    ~CStaticTextFactory() override;
    virtual CStaticText* CreateStaticText(int x, int y, char* text);

    HFONT m_font;
    COLORREF m_color;
};

// A text drawn centred at the top of its box, broken only at line breaks and
// clipped to the box. Never hit; has no state.
class KZ_EXPORT CStaticText : public CBaseControl {
public:
    CStaticText(HINSTANCE hInstance, CStaticTextFactory* factory, int x, int y, char* text);
    CStaticText(const CStaticText& other);
    CStaticText& operator=(const CStaticText& other);
    ~CStaticText() override;
    void Repaint() override;
    // Copies at most 255 characters; null keeps the text and only marks the
    // control for repainting.
    void SetText(char* text);  // [editor]

    HFONT m_font;
    char* m_text;
    COLORREF m_color;
};
