// A small anti-aliased raster for drawing the panel's pictures: premultiplied
// RGBA in floats, shapes filled by 8x8 supersampling.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace draw {

struct Color {
    float r = 0, g = 0, b = 0;
};

Color hex(unsigned rgb);
Color mix(Color a, Color b, float t);
Color scale(Color c, float k);

struct Pixel {
    Color c;  // premultiplied
    float a = 0;
};

struct Box {
    float x0, y0, x1, y1;
};

using Inside = std::function<bool(float x, float y)>;
using Paint = std::function<Color(float x, float y)>;

class Canvas {
public:
    Canvas(int width, int height);
    int width() const { return w_; }
    int height() const { return h_; }
    Pixel& at(int x, int y) { return px_[size_t(y) * w_ + x]; }
    const Pixel& at(int x, int y) const { return px_[size_t(y) * w_ + x]; }
    // Lays a colour over one pixel with the given coverage.
    void over(int x, int y, Color c, float coverage);
    // Fills the points of bounds for which inside holds.
    void fill(Box bounds, const Inside& inside, const Paint& paint);
    void fill(Box bounds, const Inside& inside, Color c) {
        fill(bounds, inside, [c](float, float) { return c; });
    }
    // Straight colour of a pixel laid over an opaque backdrop.
    Color composite(int x, int y, Color backdrop) const;

private:
    int w_, h_;
    std::vector<Pixel> px_;
};

// Shapes as inside tests, in pixel coordinates (pixel x covers x..x+1).
Inside circle(float cx, float cy, float r);
Inside ring(float cx, float cy, float r0, float r1, float a0, float a1);  // angles in degrees, 0 up, clockwise
Inside roundRect(float x0, float y0, float x1, float y1, float radius);
Inside triangle(float ax, float ay, float bx, float by, float cx, float cy);
Inside segment(float ax, float ay, float bx, float by, float width);
Inside rect(float x0, float y0, float x1, float y1);

// A vertical gradient between y0 and y1.
Paint vertical(float y0, Color top, float y1, Color bottom);

// Writes rows of 0x00RRGGBB pixels as an uncompressed 24-bit BMP file.
bool writeBmp(const std::string& path, int width, int height, const std::vector<unsigned>& rgb);

}  // namespace draw
