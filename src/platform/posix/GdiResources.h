// The module's bitmap resources (24-bit BMP files), compiled into the
// library by the build; LoadBitmapA finds them by identifier.
#pragma once

#include <cstddef>

namespace platform {
namespace gdi {

struct BitmapResource {
    int id;
    const unsigned char* data;  // the whole BMP file
    size_t size;
};

extern const BitmapResource moduleBitmaps[];
extern const int moduleBitmapCount;

}  // namespace gdi
}  // namespace platform
