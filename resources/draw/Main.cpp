// kz318-draw-bitmaps: draws the module's bitmaps 196..226 and writes them as
// 24-bit BMP files with the resource script that numbers them.
// Usage: kz318-draw-bitmaps RESOURCES_DIR [SHEET.png]
// Masks are black where a picture is opaque and white where the background
// shows; images are black wherever their mask is white. Edge pixels are
// blended with the panel under the control, so masks stay two-valued.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Pictures.h"

namespace draw {
namespace {

constexpr float kOpaque = 1.0f / 255;

unsigned to24(Color c) {
    auto ch = [](float v) { return unsigned(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    return (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

struct Bitmap {
    int id;
    std::string name;
    int width, height;
    std::vector<unsigned> rgb;
};

struct Output {
    std::vector<Bitmap> bitmaps;
    void add(int id, const std::string& name, int w, int h, std::vector<unsigned> rgb) {
        bitmaps.push_back({id, name, w, h, std::move(rgb)});
    }
};

// Where a family's controls stand; the first is where edges are blended.
using Spots = std::vector<Spot>;

Spots columns(Spot first) {
    Spots s;
    for (int p = 0; p < kPads; p++) s.push_back({first.x + kPitch * p, first.y, first.w, first.h});
    return s;
}

std::vector<bool> maskOf(const std::vector<const Canvas*>& states) {
    const Canvas& first = *states[0];
    std::vector<bool> opaque(size_t(first.width()) * first.height());
    for (const Canvas* c : states)
        for (int y = 0; y < c->height(); y++)
            for (int x = 0; x < c->width(); x++)
                if (c->at(x, y).a > kOpaque) opaque[size_t(y) * c->width() + x] = true;
    return opaque;
}

// Warns when the panel under a family's edge pixels differs between its
// places: such edges would show a seam.
void checkPanel(const Canvas& bg, const Spots& spots, const Canvas& picture, int offsetX = 0) {
    float worst = 0;
    for (const Spot& s : spots)
        for (int y = 0; y < picture.height(); y++)
            for (int x = 0; x < picture.width(); x++) {
                float a = picture.at(x + offsetX, y).a;
                if (a <= kOpaque || a >= 1) continue;
                const Pixel& p = bg.at(spots[0].x + x, spots[0].y + y);
                const Pixel& q = bg.at(s.x + x, s.y + y);
                worst = std::max({worst, std::fabs(p.c.r - q.c.r), std::fabs(p.c.g - q.c.g), std::fabs(p.c.b - q.c.b)});
            }
    if (worst > 2.0f / 255)
        std::fprintf(stderr, "warning: panel differs under edges (%.3f) at %d,%d\n", worst, spots[0].x, spots[0].y);
}

std::vector<unsigned> imageOf(const Canvas& bg, Spot at, const Canvas& picture, const std::vector<bool>& mask) {
    std::vector<unsigned> rgb(size_t(picture.width()) * picture.height(), 0);
    for (int y = 0; y < picture.height(); y++)
        for (int x = 0; x < picture.width(); x++)
            if (mask[size_t(y) * picture.width() + x])
                rgb[size_t(y) * picture.width() + x] = to24(picture.composite(x, y, bg.at(at.x + x, at.y + y).c));
    return rgb;
}

std::vector<unsigned> maskImage(const std::vector<bool>& mask) {
    std::vector<unsigned> rgb(mask.size());
    for (size_t i = 0; i < mask.size(); i++) rgb[i] = mask[i] ? 0x000000 : 0xFFFFFF;
    return rgb;
}

struct State {
    int id;
    std::string name;
    Canvas picture;
};

// A family of pictures sharing one mask: the union of their opaque parts.
void family(Output& out, const Canvas& bg, const Spots& spots, int maskId, const std::string& maskName,
            std::vector<State> states) {
    std::vector<const Canvas*> pictures;
    for (const State& s : states) pictures.push_back(&s.picture);
    std::vector<bool> mask = maskOf(pictures);
    int w = states[0].picture.width(), h = states[0].picture.height();
    for (const State& s : states) {
        checkPanel(bg, spots, s.picture);
        out.add(s.id, s.name, w, h, imageOf(bg, spots[0], s.picture, mask));
    }
    if (maskId) out.add(maskId, maskName, w, h, maskImage(mask));
}

void knobStrip(Output& out, const Canvas& bg) {
    const int n = bitmap::kKnobFrames, size = spot::kKnobSize;
    std::vector<unsigned> image(size_t(n) * size * size), mask(image.size());
    Spots spots;
    for (const Spot& knob : {spot::kPitchKnobBox, spot::kAmpDecayKnobBox, spot::kPitchDecayKnobBox, spot::kPanKnobBox})
        for (const Spot& s : columns(knob)) spots.push_back(s);
    for (int f = 0; f < n; f++) {
        Canvas frame = knob(f);
        checkPanel(bg, spots, frame);
        std::vector<bool> m = maskOf({&frame});
        std::vector<unsigned> rgb = imageOf(bg, spots[0], frame, m);
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                size_t to = size_t(y) * n * size + f * size + x, from = size_t(y) * size + x;
                image[to] = rgb[from];
                mask[to] = m[from] ? 0x000000 : 0xFFFFFF;
            }
    }
    out.add(bitmap::kKnobStrip, "knob-strip", n * size, size, image);
    out.add(bitmap::kKnobStripMask, "knob-strip-mask", n * size, size, mask);
}

Output drawAll() {
    Output out;
    Canvas bg = background();
    std::vector<unsigned> panel(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) panel[size_t(y) * kWidth + x] = to24(bg.composite(x, y, {}));
    out.add(bitmap::kBackground, "background", kWidth, kHeight, panel);

    family(out, bg, columns(spot::kFaderBox), bitmap::kFaderTrackMask, "fader-track-mask",
           {{bitmap::kFaderTrack, "fader-track", faderTrack()}});
    family(out, bg, columns({spot::kFaderBox.x, spot::kFaderBox.y, spot::kThumbW, spot::kThumbH}),
           bitmap::kFaderThumbMask, "fader-thumb-mask", {{bitmap::kFaderThumb, "fader-thumb", faderThumb()}});
    knobStrip(out, bg);
    family(out, bg, columns(spot::kNoteDownBox), bitmap::kNoteDownMask, "note-down-mask",
           {{bitmap::kNoteDownReleased, "note-down", noteButton(false, false)},
            {bitmap::kNoteDownPressed, "note-down-pressed", noteButton(false, true)}});
    family(out, bg, columns(spot::kNoteUpBox), bitmap::kNoteUpMask, "note-up-mask",
           {{bitmap::kNoteUpReleased, "note-up", noteButton(true, false)},
            {bitmap::kNoteUpPressed, "note-up-pressed", noteButton(true, true)}});
    Spots choke, outs;
    for (const Spot& s : spot::kChokeBoxes)
        for (const Spot& c : columns(s)) choke.push_back(c);
    for (const Spot& s : spot::kOutBoxes)
        for (const Spot& c : columns(s)) outs.push_back(c);
    family(out, bg, choke, bitmap::kChokeMask, "choke-mask",
           {{bitmap::kChokeUnlit, "choke-off", chokeButton(Press::Off)},
            {bitmap::kChokePressed, "choke-pressed", chokeButton(Press::Down)},
            {bitmap::kChokeLit, "choke-on", chokeButton(Press::On)}});
    family(out, bg, outs, bitmap::kOutMask, "out-mask",
           {{bitmap::kOutUnlit, "out-off", outButton(Press::Off)},
            {bitmap::kOutPressed, "out-pressed", outButton(Press::Down)},
            {bitmap::kOutLit, "out-on", outButton(Press::On)}});
    Spots muteSolo = columns(spot::kMuteBox);
    for (const Spot& s : columns(spot::kSoloBox)) muteSolo.push_back(s);
    family(out, bg, muteSolo, bitmap::kMuteSoloMask, "mute-solo-mask",
           {{bitmap::kMuteUnlit, "mute-off", muteSoloButton('M', Press::Off)},
            {bitmap::kMutePressed, "mute-pressed", muteSoloButton('M', Press::Down)},
            {bitmap::kMuteLit, "mute-on", muteSoloButton('M', Press::On)},
            {bitmap::kSoloUnlit, "solo-off", muteSoloButton('S', Press::Off)},
            {bitmap::kSoloPressed, "solo-pressed", muteSoloButton('S', Press::Down)},
            {bitmap::kSoloLit, "solo-on", muteSoloButton('S', Press::On)}});
    family(out, bg, columns(spot::kUnloadBox), bitmap::kUnloadMask, "unload-mask",
           {{bitmap::kUnloadReleased, "unload", unloadButton(false)},
            {bitmap::kUnloadPressed, "unload-pressed", unloadButton(true)}});
    std::sort(out.bitmaps.begin(), out.bitmaps.end(), [](const Bitmap& a, const Bitmap& b) { return a.id < b.id; });
    return out;
}

std::string fileName(const Bitmap& b) { return std::to_string(b.id) + "-" + b.name + ".bmp"; }

bool writeScript(const std::string& path, const Output& out) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    std::fprintf(f, "// The plug-in's bitmaps, drawn by resources/draw (kz318-draw-bitmaps).\n\n");
    for (const Bitmap& b : out.bitmaps) std::fprintf(f, "%d BITMAP \"bitmaps/%s\"\n", b.id, fileName(b).c_str());
    return std::fclose(f) == 0;
}

// A contact sheet for looking at the pictures: every bitmap, enlarged.
bool writeSheet(const std::string& path, const Output& out) {
    const int zoom = 4, width = 1200;
    std::vector<std::pair<const Bitmap*, std::pair<int, int>>> placed;
    int x = 8, y = 8, rowHeight = 0;
    for (const Bitmap& b : out.bitmaps) {
        if (b.id == bitmap::kBackground) continue;
        int w = std::min(b.width, 288) * zoom, h = b.height * zoom;
        if (x + w > width) {
            x = 8;
            y += rowHeight + 8;
            rowHeight = 0;
        }
        placed.push_back({&b, {x, y}});
        x += w + 8;
        rowHeight = std::max(rowHeight, h);
    }
    int height = y + rowHeight + 8;
    std::vector<unsigned char> rgb(size_t(width) * height * 3, 0x60);
    for (auto& [b, at] : placed)
        for (int j = 0; j < b->height * zoom; j++)
            for (int i = 0; i < std::min(b->width, 288) * zoom; i++) {
                unsigned v = b->rgb[size_t(j / zoom) * b->width + i / zoom];
                unsigned char* p = &rgb[(size_t(at.second + j) * width + at.first + i) * 3];
                p[0] = v >> 16;
                p[1] = (v >> 8) & 255;
                p[2] = v & 255;
            }
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace
}  // namespace draw

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s RESOURCES_DIR [SHEET.png]\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    draw::Output out = draw::drawAll();
    for (const draw::Bitmap& b : out.bitmaps)
        if (!draw::writeBmp(dir + "/bitmaps/" + draw::fileName(b), b.width, b.height, b.rgb)) {
            std::fprintf(stderr, "cannot write %s\n", draw::fileName(b).c_str());
            return 1;
        }
    if (!draw::writeScript(dir + "/kz318.rc", out)) return 1;
    if (argc > 2 && !draw::writeSheet(argv[2], out)) return 1;
    std::printf("%zu bitmaps written to %s/bitmaps\n", out.bitmaps.size(), dir.c_str());
    return 0;
}
