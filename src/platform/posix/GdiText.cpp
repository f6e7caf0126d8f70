// GDI stand-in: fonts and text. Faces are found by fontconfig, so "Arial"
// becomes its metric-compatible substitute, and drawn by FreeType with the
// cell height and average width that GDI gives a font of these arguments.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>

#include "platform/posix/GdiObjects.h"

namespace platform {
namespace gdi {

struct Glyph {
    int left = 0, top = 0, width = 0, rows = 0, advance = 0;
    std::vector<unsigned char> coverage;
};

// Set when the FreeType library is released (at unload), which releases
// every face with it.
bool libraryGone = false;

struct FontRenderer {
    FT_Face face = nullptr;
    int ascent = 0;
    int lineHeight = 0;
    std::unordered_map<uint32_t, Glyph> glyphs;
    ~FontRenderer() {
        std::lock_guard<std::recursive_mutex> guard(lock());
        if (face && !libraryGone) FT_Done_Face(face);
    }
};

Font::Font() : Object(Kind::Font) {}
Font::~Font() = default;

namespace {

// Lives until the plug-in is unloaded, so a host that unloads it loses nothing.
struct Library {
    FT_Library handle = nullptr;
    Library() {
        if (FT_Init_FreeType(&handle) != 0) handle = nullptr;
    }
    ~Library() {
        std::lock_guard<std::recursive_mutex> guard(lock());
        if (handle) FT_Done_FreeType(handle);
        libraryGone = true;
    }
};

FT_Library library() {
    static Library lib;
    return lib.handle;
}

// The font file fontconfig chooses for a face name (cached per request).
// Fontconfig belongs to the whole process, whose host may use it too and may
// shut it down (FcFini) while the plug-in is loaded, which fails while anyone
// holds a configuration: the match uses a configuration of our own that
// lives for the call only, and fontconfig is never shut down here.
std::string matchFile(const char* faceName, bool bold, bool italic, int* index) {
    static std::map<std::string, std::pair<std::string, int>> cache;
    std::string key = std::string(faceName) + (bold ? "|b" : "|") + (italic ? "i" : "");
    auto hit = cache.find(key);
    if (hit != cache.end()) {
        *index = hit->second.second;
        return hit->second.first;
    }
    // Fontconfig keeps some state of its own from its first use to its
    // shutdown; unloaded with the plug-in, it would lose that at every unload.
    static bool pinned = false;
    if (!pinned) keepLoaded(reinterpret_cast<const void*>(&FcInitLoadConfigAndFonts));
    pinned = true;
    std::string file;
    *index = 0;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (FcPattern* pattern = config ? FcPatternCreate() : nullptr) {
        if (*faceName) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
            FcChar8* path = nullptr;
            if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
            FcPatternGetInteger(match, FC_INDEX, 0, index);
            FcPatternDestroy(match);
        }
        FcPatternDestroy(pattern);
    }
    if (config) FcConfigDestroy(config);
    cache[key] = {file, *index};
    return file;
}

// GDI's average character width of a face: the weighted mean of the lower
// case letters and the space, in font units.
double averageWidth(FT_Face face) {
    static const int weights[27] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                    56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
    double sum = 0;
    for (int i = 0; i < 27; i++) {
        FT_Fixed advance = 0;
        FT_Get_Advance(face, FT_Get_Char_Index(face, i < 26 ? 'a' + i : ' '), FT_LOAD_NO_SCALE, &advance);
        sum += static_cast<double>(advance) * weights[i];
    }
    return sum / 1000.0;
}

std::unique_ptr<FontRenderer> makeRenderer(const Font& font) {
    auto r = std::make_unique<FontRenderer>();
    int index = 0;
    std::string file = matchFile(font.face, font.weight >= 600, font.italic, &index);
    if (file.empty() || !library() || FT_New_Face(library(), file.c_str(), index, &r->face) != 0) {
        r->face = nullptr;
        return r;
    }
    FT_Face face = r->face;
    double units = face->units_per_EM;
    double ascender = face->ascender, descender = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    }
    // A positive height is the cell (ascent plus descent), a negative one the em.
    int height = font.height ? font.height : 16;
    double emY = height > 0 ? height * units / (ascender + descender) : -height;
    double average = averageWidth(face);
    double emX = font.width > 0 && average > 0 ? font.width * units / average : emY;
    FT_Set_Char_Size(face, std::lround(emX * 64), std::lround(emY * 64), 72, 72);
    r->ascent = static_cast<int>(std::lround(ascender * emY / units));
    r->lineHeight = height > 0 ? height : static_cast<int>(std::lround((ascender + descender) * emY / units));
    return r;
}

const Glyph& glyph(FontRenderer& r, uint32_t codepoint) {
    auto it = r.glyphs.find(codepoint);
    if (it != r.glyphs.end()) return it->second;
    Glyph& g = r.glyphs[codepoint];
    if (FT_Load_Char(r.face, codepoint, FT_LOAD_RENDER) != 0) return g;
    FT_GlyphSlot slot = r.face->glyph;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(slot->bitmap.width);
    g.rows = static_cast<int>(slot->bitmap.rows);
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.coverage.resize(size_t(g.width) * g.rows);
    for (int y = 0; y < g.rows; y++)
        std::memcpy(&g.coverage[size_t(y) * g.width], slot->bitmap.buffer + y * slot->bitmap.pitch, g.width);
    return g;
}

// Text is UTF-8 where it decodes as such (file names on this system), and
// Windows-1252 byte by byte where it does not.
uint32_t nextCodepoint(const unsigned char*& p, const unsigned char* end) {
    static const uint16_t cp1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                        0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    unsigned char c = *p++;
    if (c < 0x80) return c;
    int extra = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    if (extra > 0 && end - p >= extra) {
        uint32_t cp = c & (0x3F >> extra);
        bool ok = true;
        for (int i = 0; i < extra && ok; i++) {
            ok = (p[i] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        static const uint32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
        if (ok && cp >= minimum[extra] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF)) {
            p += extra;
            return cp;
        }
    }
    return c < 0xA0 ? cp1252[c - 0x80] : c;
}

void blend(COLORREF& dst, COLORREF color, unsigned alpha) {
    COLORREF out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int d = (dst >> shift) & 0xFF, s = (color >> shift) & 0xFF;
        out |= static_cast<COLORREF>(d + ((s - d) * static_cast<int>(alpha) + (s > d ? 127 : -127)) / 255) << shift;
    }
    dst = out;
}

void drawLine(Bitmap& to, FontRenderer& r, const std::vector<uint32_t>& line, int top, const RECT& rect, UINT format,
              COLORREF color) {
    int extent = 0;
    for (uint32_t cp : line) extent += glyph(r, cp).advance;
    int pen = (format & DT_CENTER) ? rect.left + (rect.right - rect.left - extent) / 2 : rect.left;
    int baseline = top + r.ascent;
    int clipLeft = std::max<int>(rect.left, 0), clipRight = std::min<int>(rect.right, to.width);
    int clipTop = std::max<int>(rect.top, 0), clipBottom = std::min<int>(rect.bottom, to.height);
    for (uint32_t cp : line) {
        const Glyph& g = glyph(r, cp);
        for (int gy = 0; gy < g.rows; gy++) {
            int y = baseline - g.top + gy;
            if (y < clipTop || y >= clipBottom) continue;
            for (int gx = 0; gx < g.width; gx++) {
                int x = pen + g.left + gx;
                unsigned a = g.coverage[size_t(gy) * g.width + gx];
                if (a && x >= clipLeft && x < clipRight) blend(to.row(y)[x], color, a);
            }
        }
        pen += g.advance;
    }
}

}  // namespace

int drawText(Dc* dc, const char* text, int length, const RECT& rect, UINT format) {
    Bitmap* to = target(dc);
    Font* font = dc->font ? dc->font : stockFont();
    if (!font->renderer) font->renderer = makeRenderer(*font);
    FontRenderer& r = *font->renderer;
    if (!text || !r.face) return 0;
    size_t n = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + n;
    int lines = 0;
    std::vector<uint32_t> line;
    while (true) {
        bool atEnd = p == end;
        if (atEnd || *p == '\r' || *p == '\n') {
            if (to) drawLine(*to, r, line, rect.top + lines * r.lineHeight, rect, format, dc->textColor);
            lines++;
            line.clear();
            if (atEnd) break;
            if (*p++ == '\r' && p != end && *p == '\n') p++;
            continue;
        }
        line.push_back(nextCodepoint(p, end));
    }
    return lines * r.lineHeight;
}

}  // namespace gdi
}  // namespace platform

using namespace platform::gdi;

HFONT CreateFontA(int height, int width, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  DWORD, LPCSTR faceName) {
    Font* font = new Font();
    font->height = height;
    font->width = width;
    font->weight = weight;
    font->italic = italic != 0;
    if (faceName) std::strncpy(font->face, faceName, sizeof font->face - 1);
    return static_cast<HFONT>(adopt(font));
}

int SetBkMode(HDC handle, int mode) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Dc* dc = find<Dc>(handle);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

COLORREF SetTextColor(HDC handle, COLORREF color) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Dc* dc = find<Dc>(handle);
    if (!dc) return 0xFFFFFFFFu;
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0xFFFFFFu;
    return previous;
}

// Text is drawn without a background box whatever the background mode: the
// toolkit draws only transparent text.
int DrawTextA(HDC handle, LPCSTR text, int length, RECT* rect, UINT format) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Dc* dc = find<Dc>(handle);
    if (!dc || !rect) return 0;
    return drawText(dc, text, length, *rect, format);
}
