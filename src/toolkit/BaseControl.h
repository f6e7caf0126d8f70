// What every control and every factory of the toolkit shares. A factory
// loads (and owns) the bitmaps or font of one kind of control and makes any
// number of controls that share them; a control holds copies of the handles,
// its rectangle and its own state, and draws into its window's back buffer.
//
// Threads: a control and its factory belong to the thread that owns their
// window, the editor's ([editor], see instrument/DrumInstrument.h). No
// state setter locks; other threads must not call them.
#pragma once

#include "platform/Gdi.h"
#include "toolkit/Export.h"

enum ControlType {
    ctMomentaryButton = 0,
    ctLatchingButton = 1,
    ctKnob = 2,
    ctFader = 3,
    ctStaticText = 8,
};

enum FactoryType {
    ftButton = 1,
    ftKnob = 2,
    ftFader = 3,
    ftStaticText = 8,
};

// What HitTest reports for one event.
enum HitResult {
    hitTaken = -1,     // concerned, without a click or a new value
    hitNone = 0,       // not concerned
    hitClicked = 1,    // a momentary button clicked, a latching one clicked off
    hitGrabbed = 1,    // a knob or fader taken for a drag
    hitClickedOn = 2,  // a latching button clicked on
};

class KZ_EXPORT CBaseControl {
public:
    CBaseControl(HINSTANCE hInstance, ControlType type);
    CBaseControl(const CBaseControl& other);
    CBaseControl& operator=(const CBaseControl& other);
    virtual ~CBaseControl();

    // Attaches to a window's back buffer and memory context; marks dirty.
    virtual void WOpen(HWND hwnd, HBITMAP backBuffer, HDC memDC);  // [editor]
    virtual void WClose();                                         // [editor]
    virtual float GetState();                                      // [editor]
    virtual void SetState(float state, bool flag);                 // [editor]; marks dirty
    // One left-button event: a press (release false) or a release. 0 when the
    // event does not concern the control.
    virtual int HitTest(int x, int y, bool release, bool leftButton);  // [editor]
    // Draws when open and dirty, then clears the flag.
    virtual void Repaint();  // [editor]
    virtual void GetRegion(int* x, int* y, int* width, int* height);

    ControlType m_type;
    bool m_dirty;
    int m_x;
    int m_y;
    int m_width;
    int m_height;
    bool m_open;
    HWND m_hWnd;
    HINSTANCE m_hInstance;
    HBITMAP m_backBuffer;
    HDC m_memDC;
};

class KZ_EXPORT CBaseFactory {
public:
    CBaseFactory(FactoryType type, int count);
    CBaseFactory(const CBaseFactory& other);
    CBaseFactory& operator=(const CBaseFactory& other);
    // Releases every bitmap the factory loaded.
    virtual ~CBaseFactory();

    FactoryType m_type;
    HINSTANCE m_hInstance;
    HBITMAP* m_bitmaps;
    int m_bitmapCount;
    int m_width;
    int m_height;
};
