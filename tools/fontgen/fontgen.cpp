// Renders the instrument's nine bitmap fonts with FreeType's hinted 1-bit
// rasteriser and writes them as font records (display/fonts/font_records.cpp).
//
//   fontgen OUTPUT.cpp    generate, checking every fixed metric
//   fontgen --scan        list, per font and hinting, the pixel sizes whose
//                         hinted "H" fills the cap band, to choose table rows
//
// Each glyph is fitted into its prescribed width by centring the hinted
// advance in the box; it is never resampled or widened, so stems stay as the
// hinter drew them.

#include "tools/fontgen/fontgen.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char *const LIBERATION = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
const char *const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";


const FontRow FONTS[] = {
    {8, 16, 0, 255, 0, 3, 12, 4, 8, LIBERATION, 14, TT35},
    {9, 19, 32, 127, 62, 3, 14, 4, 9, LIBERATION, 17, AUTO},
    {10, 21, 0, 255, 0, 4, 17, 5, 11, LIBERATION, 20, AUTO},
    {12, 24, 32, 127, 67, 4, 18, 6, 12, LIBERATION, 22, TT35},
    {16, 33, 32, 127, 64, 6, 25, 8, 16, LIBERATION, 29, AUTO},
    {20, 41, 32, 57, 115, 7, 31, 10, 19, LIBERATION, 36, TT35},
    {24, 51, 32, 57, 127, 9, 39, 12, 24, LIBERATION, 45, TT35},
    {30, 62, 32, 57, 96, 11, 48, 15, 29, LIBERATION, 55, TT35},
    {34, 70, 32, 57, 96, 13, 56, 17, 33, LIBERATION, 64, TT35},
};
const int FONT_COUNT = sizeof FONTS / sizeof FONTS[0];

// Glyphs that start narrower than their font: at 14 px the hinter gives "F"
// and "f" 2 px stems where the rest of font 8 has 1 px; at 13 px they match.
struct GlyphSize {
    int size, code, xppem;
};
const GlyphSize GLYPH_SIZES[] = {{8, 'F', 13}, {8, 'f', 13}};

int start_xppem(const FontRow &font, int code) {
    for (const GlyphSize &g : GLYPH_SIZES)
        if (g.size == font.size && g.code == code) return g.xppem;
    return font.ppem;
}

const int DEGREE = 176;

// Font 8 widths for the codes 32..126.
const char *const FONT8_WIDTHS =
    "4 4 6 7 8 10 10 3 4 4 5 8 4 4 4 4 8 7 8 8 8 8 8 8 8 8 4 4 8 8 8 8 14 9 10 10 10 9 9 10 9 4 8 "
    "10 9 11 10 10 8 11 10 9 8 9 9 13 9 8 9 4 4 4 8 8 4 9 8 7 9 9 6 8 9 4 4 7 4 11 9 8 8 9 7 8 5 "
    "8 7 11 8 7 7 5 3 5 8";

// Widths of ". - : %" (0 where the font has no such code) and of A..Z.
struct SharedWidths {
    int size;
    int period, minus, colon, percent;
    const char *capitals;
};
const SharedWidths SHARED_WIDTHS[] = {
    {9, 4, 5, 6, 16, "11 12 12 12 11 10 12 12 4 9 12 10 13 12 12 11 12 12 11 10 12 11 15 11 10 9"},
    {10, 5, 6, 7, 17,
     "13 14 14 14 13 12 15 13 5 11 14 12 17 13 15 13 15 13 13 13 13 13 17 13 13 11"},
    {12, 6, 7, 7, 17,
     "15 15 15 15 14 13 16 14 5 12 15 13 17 14 16 14 16 15 14 13 14 13 21 14 13 12"},
    {16, 8, 9, 10, 25,
     "19 19 20 20 19 17 22 20 8 15 20 17 25 20 21 18 21 20 19 18 20 19 27 19 18 17"},
    {20, 10, 12, 0, 31, ""},
    {24, 12, 14, 0, 39, ""},
    {30, 15, 18, 0, 47, ""},
    {34, 17, 20, 0, 51, ""},
};

// Widths of  " + ( ) / * ? g m r s  in fonts 9, 10, 12 and 16.
const char *const TEXT_CODES = "\"+()/*?gmrs";
const std::map<int, const char *> TEXT_WIDTHS = {
    {9, "8 9 5 5 4 6 10 10 14 6 9"},
    {10, "9 11 6 6 5 7 12 12 17 8 11"},
    {12, "10 12 7 7 6 8 13 13 19 8 12"},
    {16, "13 16 9 9 8 11 17 17 26 11 15"},
};

std::vector<int> numbers(const char *text) {
    std::vector<int> out;
    std::istringstream in(text);
    for (int n; in >> n;) out.push_back(n);
    return out;
}

// The widths a font must have, by code.
std::map<int, int> fixed_widths(const FontRow &font) {
    std::map<int, int> w;
    if (font.size == 8) {
        std::vector<int> n = numbers(FONT8_WIDTHS);
        if (n.size() != 95) fail("font 8 width table is not 95 long");
        for (int i = 0; i < 95; i++) w[32 + i] = n[i];
        w[DEGREE] = 5;
        return w;
    }
    w[' '] = font.space;
    for (int c = '0'; c <= '9'; c++) w[c] = font.digit;
    for (const SharedWidths &s : SHARED_WIDTHS) {
        if (s.size != font.size) continue;
        w['.'] = s.period;
        w['-'] = s.minus;
        if (s.colon) w[':'] = s.colon;
        w['%'] = s.percent;
        std::vector<int> caps = numbers(s.capitals);
        for (size_t i = 0; i < caps.size(); i++) w['A' + (int)i] = caps[i];
    }
    auto text = TEXT_WIDTHS.find(font.size);
    if (text != TEXT_WIDTHS.end()) {
        std::vector<int> n = numbers(text->second);
        for (size_t i = 0; i < n.size(); i++) w[(uint8_t)TEXT_CODES[i]] = n[i];
    }
    if (font.size == 10) w[DEGREE] = 8;
    return w;
}

bool in_band_set(int code) {
    return (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9');
}

// Codes rendered from the source; the rest of a font's range is blank.
bool has_outline(const FontRow &font, int code) {
    if (code < 32 || code == 127) return false;
    if (code < 128) return true;
    if (font.last < 255) return false;
    return code == DEGREE || code >= 160;
}

// A rendered glyph: ink pixels, 0/1 row-major, with the pen origin at
// (-left, top) in bitmap coordinates.
struct Render {
    int width = 0, rows = 0;
    int left = 0, top = 0;
    int advance = 0;
    std::vector<uint8_t> px;
    uint8_t at(int x, int y) const { return px[y * width + x]; }
};

// FreeType state per source file and hinting mode: the TrueType interpreter
// version is a library property, so each mode has its own library.
class Renderer {
  public:
    Renderer(const char *path, Hinting hinting) : hinting_(hinting) {
        if (FT_Init_FreeType(&library_)) fail("cannot start FreeType");
        FT_UInt version = hinting == TT40 ? TT_INTERPRETER_VERSION_40 : TT_INTERPRETER_VERSION_35;
        FT_Property_Set(library_, "truetype", "interpreter-version", &version);
        if (FT_New_Face(library_, path, 0, &face_)) fail(std::string("cannot open ") + path);
    }
    ~Renderer() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    Renderer(const Renderer &) = delete;
    Renderer &operator=(const Renderer &) = delete;

    // Renders code at x / y sizes in 1/64 pixel per em.
    Render render(int code, int x64, int y64) {
        if (FT_Set_Char_Size(face_, x64, y64, 72, 72)) fail("cannot set size");
        FT_Int32 flags = FT_LOAD_TARGET_MONO;
        if (hinting_ == AUTO) flags |= FT_LOAD_FORCE_AUTOHINT;
        if (hinting_ == LIGHT) flags = FT_LOAD_TARGET_LIGHT;
        FT_UInt index = FT_Get_Char_Index(face_, (FT_ULong)code);
        if (!index) fail("source has no glyph for code " + std::to_string(code));
        if (FT_Load_Glyph(face_, index, flags) ||
            FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO))
            fail("cannot render code " + std::to_string(code));
        const FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap &bm = slot->bitmap;
        Render r;
        r.width = (int)bm.width;
        r.rows = (int)bm.rows;
        r.left = slot->bitmap_left;
        r.top = slot->bitmap_top;
        r.advance = (int)((slot->advance.x + 32) >> 6);
        r.px.resize((size_t)r.width * r.rows);
        for (int y = 0; y < r.rows; y++)
            for (int x = 0; x < r.width; x++)
                r.px[y * r.width + x] = (bm.buffer[y * bm.pitch + x / 8] >> (7 - x % 8)) & 1;
        return r;
    }

  private:
    Hinting hinting_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

Renderer &renderer(const char *path, Hinting hinting) {
    static std::map<std::pair<std::string, int>, std::unique_ptr<Renderer>> cache;
    auto &slot = cache[{path, hinting}];
    if (!slot) slot = std::make_unique<Renderer>(path, hinting);
    return *slot;
}

struct Extent {
    int x0, x1, y0, y1; // inclusive; x0 > x1 when there is no ink
    bool empty() const { return x0 > x1; }
};

Extent ink_extent(const std::vector<uint8_t> &px, int width, int rows) {
    Extent e{width, -1, rows, -1};
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < width; x++)
            if (px[y * width + x]) {
                e.x0 = std::min(e.x0, x);
                e.x1 = std::max(e.x1, x);
                e.y0 = std::min(e.y0, y);
                e.y1 = std::max(e.y1, y);
            }
    return e;
}

// The first cell row below the baseline.
int baseline_row(const FontRow &font) {
    return font.cap_bottom + 1;
}

// Rows of a render below the baseline may be dropped to fit a descender into
// the cell: first a row that repeats the row above it (a plain stem), else a
// single run that continues the stroke above and below it.
bool drop_stem_row(const FontRow &font, std::vector<std::vector<uint8_t>> &rows, int origin) {
    auto below_baseline = [&](int r) { return origin + r - 1 >= baseline_row(font); };
    for (int r = (int)rows.size() - 1; r > 0; r--)
        if (below_baseline(r) && rows[r] == rows[r - 1]) {
            rows.erase(rows.begin() + r);
            return true;
        }
    auto overlaps = [](const std::vector<uint8_t> &a, const std::vector<uint8_t> &b) {
        for (size_t i = 0; i < a.size(); i++)
            if (a[i] && b[i]) return true;
        return false;
    };
    for (int r = (int)rows.size() - 2; r > 0; r--) {
        if (origin + r < baseline_row(font)) break;
        int runs = 0;
        for (size_t i = 0; i < rows[r].size(); i++)
            runs += rows[r][i] && (i == 0 || !rows[r][i - 1]);
        if (runs == 1 && overlaps(rows[r], rows[r - 1]) && overlaps(rows[r], rows[r + 1])) {
            rows.erase(rows.begin() + r);
            return true;
        }
    }
    return false;
}

bool is_letter(int code) {
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code >= 192;
}

// Font 34 advances by width - 1, so the last column of one box is the first
// of the next: its ink keeps a blank column on either side of the box.
int font_margin(const FontRow &font) {
    return font.size == 34 ? 1 : 0;
}

enum Placed { PLACED, TOO_WIDE, OUT_OF_CELL };

// Places a render into a box of the given width. A capital or digit as tall
// as the band is aligned to it; a sign that hangs below the cell moves up
// where there is room; a letter's descender loses stem rows.
Placed place(const FontRow &font, int code, const Render &r, int width, Glyph &out) {
    Extent e = ink_extent(r.px, r.width, r.rows);
    out.width = width;
    out.px.assign((size_t)width * font.height, 0);
    if (e.empty()) return PLACED;
    int ink_width = e.x1 - e.x0 + 1;
    int margin = font_margin(font);
    if (ink_width > width - 2 * margin) return TOO_WIDE;

    // Centre the hinted advance (rounding down), keeping the side bearings;
    // then nudge the ink inside the box.
    int shift = (width - r.advance) >= 0 ? (width - r.advance) / 2 : -((r.advance - width + 1) / 2);
    int x = shift + r.left + e.x0;
    x = std::max(margin, std::min(x, width - margin - ink_width));

    std::vector<std::vector<uint8_t>> rows;
    for (int y = e.y0; y <= e.y1; y++)
        rows.emplace_back(r.px.begin() + y * r.width + e.x0, r.px.begin() + y * r.width + e.x1 + 1);
    int origin = baseline_row(font) - r.top + e.y0;
    int band = font.cap_bottom - font.cap_top + 1;
    if (in_band_set(code) && (int)rows.size() == band) origin = font.cap_top;
    if (!is_letter(code) && origin + (int)rows.size() > font.height)
        origin = std::max(0, font.height - (int)rows.size());
    while (origin + (int)rows.size() > font.height)
        if (!drop_stem_row(font, rows, origin)) return OUT_OF_CELL;
    if (origin < 0) return OUT_OF_CELL;

    for (size_t j = 0; j < rows.size(); j++)
        for (int i = 0; i < ink_width; i++) out.px[(origin + j) * width + x + i] = rows[j][i];
    return PLACED;
}

// Whether a capital or digit sits exactly in the band ("Q" may hang below).
bool fits_band(const FontRow &font, int code, const Glyph &g) {
    Extent e = ink_extent(g.px, g.width, font.height);
    if (e.empty() || e.y0 != font.cap_top) return false;
    return code == 'Q' ? e.y1 >= font.cap_bottom : e.y1 == font.cap_bottom;
}

struct Fit {
    Glyph glyph;
    int xppem, yppem; // the sizes it was rendered at
};

// Renders a code into its box at the font's size; a whole pixel per em
// narrower at a time where its ink is wider than the box, and lower where it
// leaves the cell or, for a capital or digit, the band.
Fit fit_glyph(const FontRow &font, int code, int width) {
    Renderer &rd = renderer(font.source, font.hinting);
    for (int yppem = font.ppem; yppem > font.ppem * 3 / 4; yppem--) {
        for (int xppem = start_xppem(font, code); xppem > font.ppem / 2; xppem--) {
            Fit f{Glyph{}, xppem, yppem};
            Placed p = place(font, code, rd.render(code, xppem * 64, yppem * 64), width, f.glyph);
            if (p == TOO_WIDE) continue;
            if (p == OUT_OF_CELL || (in_band_set(code) && !fits_band(font, code, f.glyph))) break;
            return f;
        }
    }
    fail("font " + std::to_string(font.size) + ": code " + std::to_string(code) +
         " does not fit its box of width " + std::to_string(width));
}

// The width of a code the tables leave open: its hinted advance (less the
// column font 34 advances less), or its ink where that is wider.
int open_width(const FontRow &font, int code) {
    Render r = renderer(font.source, font.hinting).render(code, font.ppem * 64, font.ppem * 64);
    Extent e = ink_extent(r.px, r.width, r.rows);
    int w = r.advance - 2 * font_margin(font);
    if (!e.empty()) w = std::max(w, e.x1 - e.x0 + 1 + 2 * font_margin(font));
    return w;
}

BuiltFont build_font(const FontRow &font) {
    BuiltFont out{&font, {}, {}};
    std::map<int, int> fixed = fixed_widths(font);
    for (int code = font.first; code <= font.last; code++) {
        auto it = fixed.find(code);
        if (!has_outline(font, code)) {
            if (it != fixed.end()) fail("a fixed width for the blank code " + std::to_string(code));
            Glyph g;
            g.width = font.space;
            g.px.assign((size_t)g.width * font.height, 0);
            out.glyphs.push_back(g);
            continue;
        }
        int width = it != fixed.end() ? it->second : open_width(font, code);
        Fit f = fit_glyph(font, code, width);
        if (f.xppem != font.ppem || f.yppem != font.ppem) {
            char note[64];
            snprintf(note, sizeof note, "%d@%dx%d", code, f.xppem, f.yppem);
            out.adjusted.push_back(note);
        }
        out.glyphs.push_back(f.glyph);
    }
    return out;
}

// Every metric the layouts depend on, checked on the finished glyphs. That
// all ink lies inside its box and cell is held by place(), which refuses
// anything else.
void check_font(const BuiltFont &b) {
    const FontRow &font = *b.row;
    auto where = [&](int code) {
        return "font " + std::to_string(font.size) + " code " + std::to_string(code) + ": ";
    };
    for (auto [code, width] : fixed_widths(font)) {
        if (code < font.first || code > font.last) fail(where(code) + "outside the range");
        if (b.glyphs[code - font.first].width != width) fail(where(code) + "wrong width");
    }
    for (int code = font.first; code <= font.last; code++) {
        const Glyph &g = b.glyphs[code - font.first];
        if ((int)g.px.size() != g.width * font.height) fail(where(code) + "bad box");
        if (in_band_set(code) && !fits_band(font, code, g)) fail(where(code) + "off the band");
        if (code == ' ' && !ink_extent(g.px, g.width, font.height).empty())
            fail(where(code) + "ink in the space");
    }
    if (font.size != 34) return;
    // Font 34 advances by width - 1: the last column of one box is the first
    // of the next, so the ink of neighbours must stay a column apart.
    for (int a = font.first; a <= font.last; a++)
        for (int c = font.first; c <= font.last; c++) {
            const Glyph &ga = b.glyphs[a - font.first], &gc = b.glyphs[c - font.first];
            int off = ga.width - 1;
            for (int y = 0; y < font.height; y++)
                for (int x = 0; x < gc.width; x++) {
                    if (!gc.px[y * gc.width + x]) continue;
                    for (int dy = -1; dy <= 1; dy++)
                        for (int dx = -1; dx <= 1; dx++) {
                            int ax = off + x + dx, ay = y + dy;
                            if (ay < 0 || ay >= font.height || ax < 0 || ax >= ga.width) continue;
                            if (ga.px[ay * ga.width + ax])
                                fail("font 34: codes " + std::to_string(a) + " and " +
                                     std::to_string(c) + " touch");
                        }
                }
        }
}

// Per font and hinting: pixel sizes whose "H" fills the cap band on the
// baseline, with the capitals and digits off the band, the total difference
// of the hinted advances from the fixed widths, and the stems of H, l, n, o.
void scan() {
    const char *sources[] = {LIBERATION, DEJAVU};
    for (const FontRow &font : FONTS) {
        int cap = font.cap_bottom - font.cap_top + 1;
        std::map<int, int> fixed = fixed_widths(font);
        for (const char *src : sources)
            for (Hinting h : {TT35, TT40, AUTO, LIGHT}) {
                Renderer &rd = renderer(src, h);
                for (int ppem = cap; ppem < cap * 2; ppem++) {
                    Render hr = rd.render('H', ppem * 64, ppem * 64);
                    Extent e = ink_extent(hr.px, hr.width, hr.rows);
                    if (e.y1 - e.y0 + 1 != cap || hr.top - e.y0 != cap) continue;
                    int off = 0, diff = 0;
                    std::string offs;
                    for (auto [code, width] : fixed) {
                        if (!has_outline(font, code)) continue;
                        Render r = rd.render(code, ppem * 64, ppem * 64);
                        diff += abs(r.advance - width);
                        if (!in_band_set(code)) continue;
                        Extent ce = ink_extent(r.px, r.width, r.rows);
                        int top = r.top - ce.y0, bottom = r.top - ce.y1;
                        if (top != cap || (code != 'Q' && bottom != 1)) {
                            off++;
                            offs += (char)code;
                        }
                    }
                    auto stem = [&](int code, bool horizontal) {
                        Render r = rd.render(code, ppem * 64, ppem * 64);
                        Extent ce = ink_extent(r.px, r.width, r.rows);
                        int n = 0;
                        if (horizontal) {
                            int x = (ce.x0 + ce.x1) / 2;
                            for (int y = 0; y < r.rows; y++) n += r.at(x, y);
                        } else {
                            int y = ce.y0 + (ce.y1 - ce.y0) * 3 / 4;
                            for (int x = ce.x0; x <= ce.x1 && r.at(x, y); x++) n++;
                        }
                        return n;
                    };
                    printf("font %2d %-6s %-5s ppem %2d  off %2d %-12s  diff %4d  stems H%d "
                           "Hbar%d l%d n%d o%d\n",
                           font.size, src == LIBERATION ? "lib" : "dejavu", HINTING_NAMES[h], ppem,
                           off, offs.c_str(), diff, stem('H', false), stem('H', true),
                           stem('l', false), stem('n', false), stem('o', false));
                }
            }
    }
}

} // namespace

[[noreturn]] void fail(const std::string &message) {
    fprintf(stderr, "fontgen: %s\n", message.c_str());
    exit(1);
}

int main(int argc, char **argv) {
    if (argc == 2 && std::string(argv[1]) == "--scan") {
        scan();
        return 0;
    }
    if (argc != 2) {
        fprintf(stderr, "usage: fontgen OUTPUT.cpp | fontgen --scan\n");
        return 2;
    }
    std::vector<BuiltFont> fonts;
    for (const FontRow &font : FONTS) {
        fonts.push_back(build_font(font));
        check_font(fonts.back());
        fprintf(stderr, "font %d: %s %d px %s", font.size,
                font.source == LIBERATION ? "Liberation" : "DejaVu", font.ppem,
                HINTING_NAMES[font.hinting]);
        for (const std::string &a : fonts.back().adjusted) fprintf(stderr, " %s", a.c_str());
        fprintf(stderr, "\n");
    }
    write_records(argv[1], fonts);
    return 0;
}
