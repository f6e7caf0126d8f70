#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace draw {

Color hex(unsigned rgb) { return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f}; }

Color mix(Color a, Color b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

Color scale(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }

Canvas::Canvas(int width, int height) : w_(width), h_(height), px_(size_t(width) * height) {}

void Canvas::over(int x, int y, Color c, float cov) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || cov <= 0) return;
    cov = std::min(cov, 1.0f);
    Pixel& p = at(x, y);
    p.c = {c.r * cov + p.c.r * (1 - cov), c.g * cov + p.c.g * (1 - cov), c.b * cov + p.c.b * (1 - cov)};
    p.a = cov + p.a * (1 - cov);
}

void Canvas::fill(Box b, const Inside& inside, const Paint& paint) {
    constexpr int n = 8;
    int x0 = std::max(0, int(std::floor(b.x0))), x1 = std::min(w_, int(std::ceil(b.x1)));
    int y0 = std::max(0, int(std::floor(b.y0))), y1 = std::min(h_, int(std::ceil(b.y1)));
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            int hits = 0;
            for (int j = 0; j < n; j++)
                for (int i = 0; i < n; i++) hits += inside(x + (i + 0.5f) / n, y + (j + 0.5f) / n);
            if (hits) over(x, y, paint(x + 0.5f, y + 0.5f), hits / float(n * n));
        }
}

Color Canvas::composite(int x, int y, Color backdrop) const {
    const Pixel& p = at(x, y);
    return {p.c.r + backdrop.r * (1 - p.a), p.c.g + backdrop.g * (1 - p.a), p.c.b + backdrop.b * (1 - p.a)};
}

Inside circle(float cx, float cy, float r) {
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Inside ring(float cx, float cy, float r0, float r1, float a0, float a1) {
    return [=](float x, float y) {
        float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        if (d2 < r0 * r0 || d2 > r1 * r1) return false;
        float a = std::atan2(x - cx, cy - y) * 180.0f / 3.14159265f;  // 0 up, clockwise
        return a >= a0 && a <= a1;
    };
}

Inside roundRect(float x0, float y0, float x1, float y1, float r) {
    return [=](float x, float y) {
        if (x < x0 || x > x1 || y < y0 || y > y1) return false;
        float dx = std::max({x0 + r - x, 0.0f, x - (x1 - r)});
        float dy = std::max({y0 + r - y, 0.0f, y - (y1 - r)});
        return dx * dx + dy * dy <= r * r;
    };
}

Inside triangle(float ax, float ay, float bx, float by, float cx, float cy) {
    return [=](float x, float y) {
        auto edge = [&](float px, float py, float qx, float qy) { return (qx - px) * (y - py) - (qy - py) * (x - px); };
        float e0 = edge(ax, ay, bx, by), e1 = edge(bx, by, cx, cy), e2 = edge(cx, cy, ax, ay);
        return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
    };
}

Inside segment(float ax, float ay, float bx, float by, float width) {
    return [=](float x, float y) {
        float vx = bx - ax, vy = by - ay;
        float t = std::clamp(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy), 0.0f, 1.0f);
        float dx = x - (ax + t * vx), dy = y - (ay + t * vy);
        return dx * dx + dy * dy <= width * width / 4;
    };
}

Inside rect(float x0, float y0, float x1, float y1) {
    return [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

Paint vertical(float y0, Color top, float y1, Color bottom) {
    return [=](float, float y) { return mix(top, bottom, std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f)); };
}

bool writeBmp(const std::string& path, int width, int height, const std::vector<unsigned>& rgb) {
    int stride = (width * 3 + 3) & ~3;
    unsigned size = 54 + unsigned(stride) * height;
    unsigned char header[54] = {'B', 'M'};
    auto put = [&](int at, unsigned v, int bytes) {
        for (int i = 0; i < bytes; i++) header[at + i] = (v >> (8 * i)) & 255;
    };
    put(2, size, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, unsigned(width), 4);
    put(22, unsigned(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, unsigned(stride) * height, 4);
    put(38, 2835, 4);  // 72 dpi
    put(42, 2835, 4);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(header, 1, 54, f);
    std::vector<unsigned char> row(stride);
    for (int y = height - 1; y >= 0; y--) {
        for (int x = 0; x < width; x++) {
            unsigned v = rgb[size_t(y) * width + x];
            row[x * 3] = v & 255;
            row[x * 3 + 1] = (v >> 8) & 255;
            row[x * 3 + 2] = (v >> 16) & 255;
        }
        std::fwrite(row.data(), 1, stride, f);
    }
    return std::fclose(f) == 0;
}

}  // namespace draw
