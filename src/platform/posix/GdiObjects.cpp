// GDI stand-in: handles, bitmaps, device contexts and block transfers.
#include "platform/posix/GdiObjects.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace platform {
namespace gdi {
namespace {

// Larger bitmaps are refused, as a real driver refuses what it cannot hold.
constexpr long long kMaxPixels = 1LL << 26;

std::unordered_set<const void*>& table() {
    static std::unordered_set<const void*> live;
    return live;
}

// Which end of a source/destination pair limits a transfer along one axis.
struct Span {
    int dst, src, count;
};

// Clips a transfer of count pixels at dst (from src) to both extents.
Span clip(int dst, int src, int count, int dstExtent, int srcExtent) {
    long long lo = std::max({0LL, -static_cast<long long>(dst), -static_cast<long long>(src)});
    long long hi = std::min({static_cast<long long>(count), static_cast<long long>(dstExtent) - dst,
                             static_cast<long long>(srcExtent) - src});
    if (hi <= lo) return {0, 0, 0};
    return {static_cast<int>(dst + lo), static_cast<int>(src + lo), static_cast<int>(hi - lo)};
}

void combine(COLORREF* d, const COLORREF* s, int n, DWORD rop) {
    switch (rop) {
        case SRCCOPY: std::memmove(d, s, sizeof(COLORREF) * n); break;
        case SRCAND:
            for (int i = 0; i < n; i++) d[i] &= s[i];
            break;
        case SRCPAINT:
            for (int i = 0; i < n; i++) d[i] |= s[i];
            break;
    }
}

}  // namespace

void keepLoaded(const void* address) {
    Dl_info info;
    if (dladdr(address, &info) && info.dli_fname) dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

std::recursive_mutex& lock() {
    static std::recursive_mutex m;
    return m;
}

void* adopt(Object* object) {
    if (!object) return nullptr;
    std::lock_guard<std::recursive_mutex> guard(lock());
    table().insert(object);
    return object;
}

Object* find(const void* handle, Kind kind) {
    if (!handle) return nullptr;
    std::lock_guard<std::recursive_mutex> guard(lock());
    if (!table().count(handle)) return nullptr;
    Object* object = static_cast<Object*>(const_cast<void*>(handle));
    return object->kind == kind ? object : nullptr;
}

// A stock object lives until the library is unloaded (or the process ends):
// then it goes, so a host that unloads the plug-in loses nothing.
template <class T>
class Stock {
public:
    explicit Stock(T* object) : object(object) {
        object->stock = true;
        adopt(object);
    }
    ~Stock() {
        std::lock_guard<std::recursive_mutex> guard(lock());
        table().erase(object);
        delete object;
    }
    Stock(const Stock&) = delete;
    Stock& operator=(const Stock&) = delete;
    T* const object;
};

Bitmap* stockBitmap() {
    lock();  // made before the stock object, so still there when it goes
    table();
    static Stock<Bitmap> bitmap(new Bitmap(1, 1));
    return bitmap.object;
}

Font* stockFont() {
    lock();
    table();
    static Stock<Font> font([] {
        Font* f = new Font();
        f->height = 16;
        std::strcpy(f->face, "Arial");
        return f;
    }());
    return font.object;
}

Bitmap* target(Dc* dc) {
    if (!dc) return nullptr;
    return dc->memory ? dc->bitmap : clientImage(dc->window);
}

int liveObjects() {
    std::lock_guard<std::recursive_mutex> guard(lock());
    int count = 0;
    for (const void* h : table())
        if (!static_cast<const Object*>(h)->stock) count++;
    return count;
}

}  // namespace gdi
}  // namespace platform

using namespace platform::gdi;

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    if (!find<Dc>(dc) || width <= 0 || height <= 0 || static_cast<long long>(width) * height > kMaxPixels)
        return nullptr;
    return static_cast<HBITMAP>(adopt(new Bitmap(width, height)));
}

HDC CreateCompatibleDC(HDC dc) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    if (dc && !find<Dc>(dc)) return nullptr;
    Dc* memory = new Dc();
    memory->memory = true;
    memory->bitmap = stockBitmap();
    memory->font = stockFont();
    memory->bitmap->selections++;
    memory->font->selections++;
    return static_cast<HDC>(adopt(memory));
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Dc* dc = find<Dc>(handle);
    if (!dc) return nullptr;
    if (Bitmap* bitmap = find<Bitmap>(object)) {
        if (!dc->memory) return nullptr;
        if (bitmap == dc->bitmap) return bitmap;
        // A bitmap can be selected into one context at a time.
        if (bitmap->selections && !bitmap->stock) return nullptr;
        Bitmap* previous = dc->bitmap;
        previous->selections--;
        bitmap->selections++;
        dc->bitmap = bitmap;
        return previous;
    }
    if (Font* font = find<Font>(object)) {
        Font* previous = dc->font;
        previous->selections--;
        font->selections++;
        dc->font = font;
        return previous;
    }
    return nullptr;
}

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Bitmap* to = target(find<Dc>(dst));
    if (!to || width < 0 || height < 0) return FALSE;
    if (rop == WHITENESS) {
        Span cols = clip(x, x, width, to->width, to->width);
        Span rows = clip(y, y, height, to->height, to->height);
        for (int j = 0; j < rows.count; j++) std::fill_n(to->row(rows.dst + j) + cols.dst, cols.count, 0xFFFFFFu);
        return TRUE;
    }
    if (rop != SRCCOPY && rop != SRCAND && rop != SRCPAINT) return FALSE;
    Bitmap* from = target(find<Dc>(src));
    if (!from) return FALSE;
    Span cols = clip(x, srcX, width, to->width, from->width);
    Span rows = clip(y, srcY, height, to->height, from->height);
    if (!cols.count || !rows.count) return TRUE;
    // Within one bitmap, a transfer downwards runs bottom-up so that it never
    // reads a row it has already written; a row is staged when it overlaps.
    bool upwards = from == to && rows.dst > rows.src;
    std::vector<COLORREF> copy;
    for (int k = 0; k < rows.count; k++) {
        int j = upwards ? rows.count - 1 - k : k;
        const COLORREF* s = from->row(rows.src + j) + cols.src;
        if (from == to) {
            copy.assign(s, s + cols.count);
            s = copy.data();
        }
        combine(to->row(rows.dst + j) + cols.dst, s, cols.count, rop);
    }
    return TRUE;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Bitmap* b = target(find<Dc>(dc));
    if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return 0xFFFFFFFFu;  // CLR_INVALID
    return b->row(y)[x];
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Bitmap* b = target(find<Dc>(dc));
    if (!b || x < 0 || y < 0 || x >= b->width || y >= b->height) return 0xFFFFFFFFu;
    b->row(y)[x] = color & 0xFFFFFFu;
    return b->row(y)[x];
}

HBRUSH CreateSolidBrush(COLORREF color) { return static_cast<HBRUSH>(adopt(new Brush(color & 0xFFFFFFu))); }

BOOL DeleteDC(HDC handle) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Dc* dc = find<Dc>(handle);
    if (!dc) return FALSE;
    if (dc->bitmap) dc->bitmap->selections--;
    dc->font->selections--;
    table().erase(dc);
    delete dc;
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ handle) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Object* object = nullptr;
    for (Kind kind : {Kind::Bitmap, Kind::Brush, Kind::Font})
        if (!object) object = find(handle, kind);
    if (!object || object->selections > 0) return FALSE;
    if (object->stock) return TRUE;
    table().erase(object);
    delete object;
    return TRUE;
}

int GetObjectA(HGDIOBJ handle, int size, LPVOID out) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Bitmap* b = find<Bitmap>(handle);
    if (!b || !out || size < static_cast<int>(sizeof(BITMAP))) return 0;
    BITMAP info = {};
    info.bmWidth = b->width;
    info.bmHeight = b->height;
    info.bmWidthBytes = (b->width * 3 + 1) & ~1;
    info.bmPlanes = 1;
    info.bmBitsPixel = 24;
    std::memcpy(out, &info, sizeof info);
    return sizeof info;
}
