// Internals of the GDI stand-in: the objects behind the handles, and the
// table that tells live handles from stale or foreign ones.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/posix/GdiApi.h"

namespace platform {
namespace gdi {

enum class Kind { Bitmap, Brush, Font, Dc };

struct Object {
    explicit Object(Kind kind) : kind(kind) {}
    virtual ~Object() = default;
    const Kind kind;
    int selections = 0;  // device contexts holding it; such an object cannot be deleted
    bool stock = false;  // shared default object, never deleted
};

// 24-bit pixels as COLORREF values (0x00BBGGRR), rows top to bottom.
struct Bitmap : Object {
    static constexpr Kind Type = Kind::Bitmap;
    Bitmap(int width, int height)
        : Object(Kind::Bitmap), width(width), height(height), pixels(size_t(width) * height) {}
    int width;
    int height;
    std::vector<COLORREF> pixels;
    COLORREF* row(int y) { return pixels.data() + size_t(y) * width; }
};

struct Brush : Object {
    static constexpr Kind Type = Kind::Brush;
    explicit Brush(COLORREF color) : Object(Kind::Brush), color(color) {}
    COLORREF color;
};

struct FontRenderer;  // FreeType side, in GdiText.cpp

struct Font : Object {
    static constexpr Kind Type = Kind::Font;
    Font();
    ~Font() override;
    int height = 0;
    int width = 0;
    int weight = 0;
    bool italic = false;
    char face[32] = {};
    std::unique_ptr<FontRenderer> renderer;  // made at first use
};

struct Dc : Object {
    static constexpr Kind Type = Kind::Dc;
    Dc() : Object(Kind::Dc) {}
    bool memory = false;       // memory context (draws into its bitmap) or window context
    HWND window = nullptr;     // window context: the window it draws into; null for the screen
    Bitmap* bitmap = nullptr;  // memory context: the selected bitmap
    Font* font = nullptr;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
};

// Guards the handle table and everything shared between objects.
std::recursive_mutex& lock();

// Registers a new object and returns it as a handle.
void* adopt(Object* object);
// The object behind a handle if it is alive and of that kind, else null.
Object* find(const void* handle, Kind kind);
template <class T>
T* find(const void* handle) {
    return static_cast<T*>(find(handle, T::Type));
}

// The default bitmap and font of a new device context.
Bitmap* stockBitmap();
Font* stockFont();

// What a device context draws into: its bitmap, or its window's client image.
Bitmap* target(Dc* dc);
// The client image of a live window, null otherwise.
Bitmap* clientImage(HWND window);

// Keeps the shared object that holds address loaded until the process ends.
void keepLoaded(const void* address);

// Draws text into a context's target; the work of DrawTextA.
int drawText(Dc* dc, const char* text, int length, const RECT& rect, UINT format);

}  // namespace gdi
}  // namespace platform
