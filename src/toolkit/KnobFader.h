// The continuous controls: a knob showing one frame of a 64-frame strip, and
// a fader whose thumb slides along a track. Both keep a position from 0 to 1,
// are grabbed by a press inside them and follow relative pointer movement.
// The state is the position when horizontal, 1 minus it when vertical.
#pragma once

#include "toolkit/BaseControl.h"

class CKnob;
class CFader;

// A knob's strip holds this many frames side by side, from the lowest
// position to the highest.
const int kKnobFrames = 64;

class KZ_EXPORT CKnobFactory : public CBaseFactory {
public:
    CKnobFactory(HINSTANCE hInstance, int imageId, int maskId, bool horizontal);
    CKnobFactory(const CKnobFactory& other);
    CKnobFactory& operator=(const CKnobFactory& other);
    ~CKnobFactory() override;
    virtual CKnob* CreateKnob(int x, int y);

    HBITMAP m_image;
    HBITMAP m_mask;
    bool m_horizontal;
};

class KZ_EXPORT CKnob : public CBaseControl {
public:
    CKnob(HINSTANCE hInstance, CKnobFactory* factory, int x, int y);
    CKnob(const CKnob& other);
    CKnob& operator=(const CKnob& other);
    ~CKnob() override;
    float GetState() override;
    void SetState(float state, bool flag) override;  // [editor]
    int HitTest(int x, int y, bool release, bool leftButton) override;
    void Repaint() override;
    // Moves by the pointer's travel since the press or the last step; a
    // travel of twice the knob's size covers the range. Returns 1 - position.
    virtual float MouseDrag(int x, int y);  // [editor]

    bool m_horizontal;
    HBITMAP m_image;
    HBITMAP m_mask;
    int m_lastX;
    int m_lastY;
    float m_position;
    bool m_dragging;
};

class KZ_EXPORT CFaderFactory : public CBaseFactory {
public:
    CFaderFactory(HINSTANCE hInstance, int trackImageId, int trackMaskId, int thumbImageId, int thumbMaskId,
                  bool horizontal);
    CFaderFactory(const CFaderFactory& other);
    CFaderFactory& operator=(const CFaderFactory& other);
    ~CFaderFactory() override;
    virtual CFader* CreateFader(int x, int y);

    HBITMAP m_trackImage;
    HBITMAP m_trackMask;
    HBITMAP m_thumbImage;
    HBITMAP m_thumbMask;
    int m_thumbWidth;
    int m_thumbHeight;
    bool m_horizontal;
};

class KZ_EXPORT CFader : public CBaseControl {
public:
    CFader(HINSTANCE hInstance, CFaderFactory* factory, int x, int y);
    CFader(const CFader& other);
    CFader& operator=(const CFader& other);
    ~CFader() override;
    float GetState() override;
    void SetState(float state, bool flag) override;  // [editor]
    int HitTest(int x, int y, bool release, bool leftButton) override;
    void Repaint() override;
    // As the knob's, but a travel of the track's length covers the range.
    virtual float MouseDrag(int x, int y);  // [editor]

    int m_thumbWidth;
    int m_thumbHeight;
    bool m_horizontal;
    HBITMAP m_trackImage;
    HBITMAP m_trackMask;
    HBITMAP m_thumbImage;
    HBITMAP m_thumbMask;
    int m_lastX;
    int m_lastY;
    float m_position;
    bool m_dragging;
};
