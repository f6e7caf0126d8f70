// Labels for the pictures, drawn through FreeType with hinting at whole-pixel
// pen positions so that small capitals stay crisp.
#pragma once

#include <memory>
#include <string>

#include "Canvas.h"

namespace draw {

class Font {
public:
    // pattern: a fontconfig pattern such as "Liberation Sans Narrow:bold".
    Font(const std::string& pattern, float pixelSize);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    // Advance of a text with extra space after each letter.
    int width(const std::string& text, int tracking = 0);
    // Height of the capitals above the baseline.
    int capHeight();
    void draw(Canvas& canvas, int x, int baseline, const std::string& text, Color color, int tracking = 0);
    // Draws centred on cx, with the capitals centred on cy.
    void centred(Canvas& canvas, float cx, float cy, const std::string& text, Color color, int tracking = 0);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace draw
