// The toolkit's window: a child window of a caller's parent, an off-screen
// back buffer into which everything is drawn, and a background bitmap from
// the module's resources. Paint and left-button messages become virtual
// calls on the object.
#pragma once

#include "platform/Gdi.h"
#include "toolkit/Export.h"

class KZ_EXPORT AppWindow {
public:
    AppWindow(HINSTANCE hInstance, int width, int height, int backgroundId);
    AppWindow(const AppWindow& other);
    AppWindow& operator=(const AppWindow& other);
    virtual ~AppWindow();

    // Copies the back buffer to the window: whole, or one rectangle.
    virtual void WinPaint();
    // Copies the background into the back buffer: whole, or one rectangle.
    virtual void PrePaint();
    virtual void RgnPaint(int x, int y, int width, int height);
    virtual void PreRgnPaint(int x, int y, int width, int height);
    // Hooks for derived windows; x and y are the unsigned halves of the
    // message's position word.
    virtual void MouseDown(HWND hwnd, int x, int y);
    virtual void MouseUp(HWND hwnd, int x, int y);
    virtual void MouseMove(HWND hwnd, int x, int y);
    virtual void PostPaint();

    void OpenWindow(HWND parent);
    void CloseWindow();

    HINSTANCE m_hInstance;
    HWND m_hWnd;
    HBITMAP m_background;
    HBITMAP m_backBuffer;
    HDC m_memDC;
    HGDIOBJ m_oldBitmap;
    int m_width;
    int m_height;
};
