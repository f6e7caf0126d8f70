// The subset of GDI32 and USER32 that the control toolkit uses, for systems
// without them: 24-bit in-memory bitmaps and device contexts, text through
// FreeType, windows with user data, capture and a window procedure. Same
// names, types and semantics as the Windows calls, so the toolkit is one
// source for every platform.
//
// Every window made here has a client image into which its device contexts
// draw, and which platform::gdi::writeClientPng saves. A child window whose
// parent is no window of ours takes that parent for a native X11 window
// (a host's editor parent) and shows its image in an X11 child of it; with
// a null parent, or without a display, it stays off-screen.
#pragma once

#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD ATOM;
typedef DWORD COLORREF;
typedef void* LPVOID;
typedef void* HGDIOBJ;
typedef const char* LPCSTR;
typedef char* LPSTR;

#define KZ_DECLARE_HANDLE(name) \
    struct name##__ {           \
        int unused;             \
    };                          \
    typedef struct name##__* name
KZ_DECLARE_HANDLE(HWND);
KZ_DECLARE_HANDLE(HDC);
KZ_DECLARE_HANDLE(HBITMAP);
KZ_DECLARE_HANDLE(HFONT);
KZ_DECLARE_HANDLE(HBRUSH);
KZ_DECLARE_HANDLE(HINSTANCE);
KZ_DECLARE_HANDLE(HICON);
KZ_DECLARE_HANDLE(HMENU);
#undef KZ_DECLARE_HANDLE
typedef HICON HCURSOR;

#define CALLBACK
#define WINAPI
#define TRUE 1
#define FALSE 0

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r)) | ((WORD)((BYTE)(g)) << 8) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)(((WORD)(c)) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define IS_INTRESOURCE(p) ((((ULONG_PTR)(p)) >> 16) == 0)
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)(((WORD)(l)) | (((DWORD)(WORD)(h)) << 16)))

#define SRCCOPY 0x00CC0020
#define SRCAND 0x008800C6
#define SRCPAINT 0x00EE0086
#define WHITENESS 0x00FF0062

#define TRANSPARENT 1
#define OPAQUE 2
#define DT_LEFT 0x0
#define DT_CENTER 0x1

#define ANSI_CHARSET 0
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define GWLP_USERDATA (-21)

#define WM_PAINT 0x000F
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define MK_LBUTTON 0x0001

// Bitmaps and device contexts.
HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
int GetObjectA(HGDIOBJ object, int size, LPVOID out);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HDC CreateCompatibleDC(HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ object);

// Text.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR faceName);
int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF color);
int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);

// Windows.
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
HWND GetParent(HWND window);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
// Disabled windows receive no input from the display (messages sent
// directly still arrive, as on Windows).
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);

namespace platform {
namespace gdi {

// Saves the window's current client image as a 24-bit PNG file.
bool writeClientPng(HWND window, const char* path);

// GDI objects (bitmaps, brushes, fonts, device contexts) alive now.
int liveObjects();

}  // namespace gdi
}  // namespace platform
