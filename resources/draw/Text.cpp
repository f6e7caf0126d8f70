#include "Text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace draw {

struct Font::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

namespace {

std::string findFile(const std::string& pattern) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    FcConfigSubstitute(config, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result;
    FcPattern* match = FcFontMatch(config, p, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(p);
    FcConfigDestroy(config);
    return file;
}

}  // namespace

Font::Font(const std::string& pattern, float pixelSize) : impl_(new Impl) {
    std::string file = findFile(pattern);
    if (FT_Init_FreeType(&impl_->library) || FT_New_Face(impl_->library, file.c_str(), 0, &impl_->face)) {
        std::fprintf(stderr, "cannot open font %s (%s)\n", pattern.c_str(), file.c_str());
        std::exit(1);
    }
    FT_Set_Char_Size(impl_->face, 0, FT_F26Dot6(std::lround(pixelSize * 64)), 72, 72);
}

Font::~Font() {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->library);
}

int Font::width(const std::string& text, int tracking) {
    int w = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(impl_->face, ch, FT_LOAD_DEFAULT)) continue;
        w += int((impl_->face->glyph->advance.x + 32) >> 6) + tracking;
    }
    return text.empty() ? 0 : w - tracking;
}

int Font::capHeight() {
    if (FT_Load_Char(impl_->face, 'H', FT_LOAD_RENDER)) return 0;
    return impl_->face->glyph->bitmap_top;
}

void Font::draw(Canvas& canvas, int x, int baseline, const std::string& text, Color color, int tracking) {
    for (unsigned char ch : text) {
        if (FT_Load_Char(impl_->face, ch, FT_LOAD_RENDER)) continue;
        FT_GlyphSlot g = impl_->face->glyph;
        for (unsigned r = 0; r < g->bitmap.rows; r++)
            for (unsigned c = 0; c < g->bitmap.width; c++) {
                float a = g->bitmap.buffer[r * g->bitmap.pitch + c] / 255.0f;
                canvas.over(x + g->bitmap_left + int(c), baseline - g->bitmap_top + int(r), color, a);
            }
        x += int((g->advance.x + 32) >> 6) + tracking;
    }
}

void Font::centred(Canvas& canvas, float cx, float cy, const std::string& text, Color color, int tracking) {
    int w = width(text, tracking);
    int x = int(std::floor(cx - w / 2.0f + 0.5f));
    int baseline = int(std::floor(cy + capHeight() / 2.0f + 0.5f));
    draw(canvas, x, baseline, text, color, tracking);
}

}  // namespace draw
