// GDI stand-in: LoadBitmapA over the bitmaps compiled into the library.
#include <cstring>

#include "platform/Gdi.h"
#include "platform/posix/GdiObjects.h"
#include "platform/posix/GdiResources.h"

namespace platform {
namespace gdi {
namespace {

uint32_t le(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = (v << 8) | p[i];
    return v;
}

// Decodes an uncompressed 24-bit BMP file; null for anything else or for a
// file shorter than its header says.
Bitmap* decodeBmp(const unsigned char* data, size_t size) {
    if (size < 54 || data[0] != 'B' || data[1] != 'M') return nullptr;
    uint32_t offset = le(data + 10, 4);
    uint32_t headerSize = le(data + 14, 4);
    int32_t width = static_cast<int32_t>(le(data + 18, 4));
    int32_t height = static_cast<int32_t>(le(data + 22, 4));
    if (headerSize < 40 || le(data + 26, 2) != 1 || le(data + 28, 2) != 24 || le(data + 30, 4) != 0) return nullptr;
    bool topDown = height < 0;
    long long rows = topDown ? -static_cast<long long>(height) : height;
    if (width <= 0 || rows <= 0 || static_cast<long long>(width) * rows > (1LL << 26)) return nullptr;
    size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    if (offset > size || (size - offset) / stride < static_cast<size_t>(rows)) return nullptr;
    Bitmap* bitmap = new Bitmap(width, static_cast<int>(rows));
    for (int y = 0; y < bitmap->height; y++) {
        const unsigned char* src = data + offset + stride * (topDown ? y : bitmap->height - 1 - y);
        COLORREF* dst = bitmap->row(y);
        for (int x = 0; x < width; x++, src += 3) dst[x] = RGB(src[2], src[1], src[0]);
    }
    return bitmap;
}

}  // namespace
}  // namespace gdi
}  // namespace platform

using namespace platform::gdi;

// Every module of this system keeps its bitmaps in the library itself, so the
// instance handle does not choose among resource sets. Named (non-integer)
// resources are not used.
HBITMAP LoadBitmapA(HINSTANCE, LPCSTR name) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    for (int i = 0; i < moduleBitmapCount; i++) {
        const BitmapResource& r = moduleBitmaps[i];
        if (r.id == id) return static_cast<HBITMAP>(adopt(decodeBmp(r.data, r.size)));
    }
    return nullptr;
}

// The bitmaps are compiled into the library; no handle is needed to find them.
HINSTANCE platform::gdi::thisModule() { return nullptr; }
