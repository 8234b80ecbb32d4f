// What the font generator's stages share: the fonts' table rows, the glyphs
// they render to, and the writer of the records.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

enum Hinting { TT35, TT40, AUTO, LIGHT };
inline const char *const HINTING_NAMES[] = {"tt35", "tt40", "auto", "light"};

// One row per font: the metrics the text call and the layouts rely on, and
// how it is rendered.
struct FontRow {
    int size;
    int height;
    int first, last;
    int byte6;
    int cap_top, cap_bottom; // rows of the capitals and digits
    int space, digit;
    const char *source;
    int ppem;
    Hinting hinting;
};

// A glyph in its box: width x height, 0/1 row-major.
struct Glyph {
    int width = 0;
    std::vector<uint8_t> px;
};

struct BuiltFont {
    const FontRow *row;
    std::vector<Glyph> glyphs; // first..last
    std::vector<std::string> adjusted;
};

// Says what went wrong and stops the generator.
[[noreturn]] void fail(const std::string &message);

// Writes the fonts as font records, the C++ source the instrument builds.
void write_records(const char *path, const std::vector<BuiltFont> &fonts);
