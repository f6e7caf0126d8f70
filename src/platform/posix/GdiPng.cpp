// GDI stand-in: snapshots of a window's client image as PNG files.
#include <png.h>

#include "platform/posix/GdiObjects.h"

bool platform::gdi::writeClientPng(HWND window, const char* path) {
    std::vector<unsigned char> rgb;
    png_image image = {};
    {
        std::lock_guard<std::recursive_mutex> guard(lock());
        Bitmap* client = clientImage(window);
        if (!client || !path) return false;
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(client->width);
        image.height = static_cast<png_uint_32>(client->height);
        image.format = PNG_FORMAT_RGB;
        rgb.reserve(client->pixels.size() * 3);
        for (COLORREF c : client->pixels) {
            rgb.push_back(GetRValue(c));
            rgb.push_back(GetGValue(c));
            rgb.push_back(GetBValue(c));
        }
    }
    bool ok = png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}
