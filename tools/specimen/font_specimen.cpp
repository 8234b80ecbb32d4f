// Writes specimen-SIZE.png for each of the nine fonts: every code of the font
// in a grid of boxes (the glyph width shaded, the rows of capitals and digits
// a little lighter), then sample lines, each pixel a scale x scale square.
// Glyphs are drawn by draw_text into the frame buffer and copied out.
//
//   font_specimen [OUTPUT_DIR] [SCALE]

#include "display/fonts/fonts.h"
#include "display/frame_buffer.h"
#include "display/text.h"
#include "host/shell/lcd_palette.h"
#include "host/png/png_io.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const uint32_t BACKGROUND = 0x000000;
const uint32_t BOX = 0x2a2a2a;
const uint32_t BAND = 0x1c3a5a;
const int GAP = 3;

// Rows of the capitals and digits, by font, in the order of the records.
const int BAND_ROWS[FONT_COUNT][2] = {{3, 12}, {3, 14}, {4, 17},  {4, 18}, {6, 25},
                                      {7, 31}, {9, 39}, {11, 48}, {13, 56}};

struct Image {
    int width, height;
    std::vector<uint32_t> px;
    Image(int w, int h) : width(w), height(h), px((size_t)w * h, BACKGROUND) {}
    void set(int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < width && y < height) px[(size_t)y * width + x] = c;
    }
};

struct FontInfo {
    const uint8_t *record;
    int size, first, last, height;
    int width(int code) const { return record[8 + 4 * (code - first) + 1]; }
};

FontInfo font_info(int index) {
    const uint8_t *r = font_records + font_record_offsets[index];
    return {r, font_sizes[index], r[2] | r[3] << 8, r[4] | r[5] << 8, r[7]};
}

// Copies frame-buffer columns 0..w-1 of rows 0..h-1 onto the image at (x, y):
// ink in its palette colour, the rest left as it is.
void copy_ink(Image &img, int x, int y, int w, int h) {
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            uint8_t p = frame_buffer[j * LCD_WIDTH + i];
            if (p) img.set(x + i, y + j, palette_colour(p));
        }
}

// Lines that show spacing and alignment; the degree sign is only in fonts 8 and 10.
std::vector<std::string> samples(const FontInfo &f) {
    if (f.last < 'A') return {"0123", "4567", "89%", "-1.5/+"};
    std::string temp = f.last > 176 ? "25.4\260C -3%" : "25.4 -3%";
    return {"Qirel EXIT", "0123456789", temp, "Hamburgefonts", "(g/m) r*s?"};
}

bool write_specimen(int index, const std::string &dir, int scale) {
    FontInfo f = font_info(index);
    int count = f.last - f.first + 1;
    int columns = count > 32 ? 16 : 9;
    int max_width = 0;
    for (int c = f.first; c <= f.last; c++) max_width = std::max(max_width, f.width(c));
    int cell_w = max_width + GAP, cell_h = f.height + GAP;
    int grid_rows = (count + columns - 1) / columns;
    std::vector<std::string> lines = samples(f);
    int width = std::max(columns * cell_w, LCD_WIDTH) + GAP;
    int height = grid_rows * cell_h + GAP + (int)lines.size() * cell_h + GAP;
    Image img(width, height);

    for (int c = f.first; c <= f.last; c++) {
        int x = GAP + (c - f.first) % columns * cell_w, y = GAP + (c - f.first) / columns * cell_h;
        for (int j = 0; j < f.height; j++) {
            bool band = j >= BAND_ROWS[index][0] && j <= BAND_ROWS[index][1];
            for (int i = 0; i < f.width(c); i++) img.set(x + i, y + j, band ? BAND : BOX);
        }
        if (c == 0) continue; // not expressible as a string; it is blank
        char text[2] = {(char)c, 0};
        clear_frame_buffer();
        draw_text(0, 0, text, 0, (uint8_t)f.size, ALIGN_LEFT, COLOUR_WHITE);
        copy_ink(img, x, y, f.width(c), f.height);
    }
    int y = GAP + grid_rows * cell_h + GAP;
    for (const std::string &line : lines) {
        clear_frame_buffer();
        draw_text(0, 0, line.c_str(), 0, (uint8_t)f.size, ALIGN_LEFT, COLOUR_WHITE);
        for (int i = 0; i < LCD_WIDTH; i++) img.set(GAP + i, y + f.height, BOX);
        copy_ink(img, GAP, y, LCD_WIDTH, f.height);
        y += cell_h;
    }

    Image big(img.width * scale, img.height * scale);
    for (int j = 0; j < big.height; j++)
        for (int i = 0; i < big.width; i++)
            big.px[(size_t)j * big.width + i] = img.px[(size_t)(j / scale) * img.width + i / scale];
    std::string path = dir + "/specimen-" + std::to_string(f.size) + ".png";
    if (!write_rgb_png(path, big.px.data(), big.width, big.height)) {
        fprintf(stderr, "font_specimen: cannot write %s\n", path.c_str());
        return false;
    }
    printf("%s\n", path.c_str());
    return true;
}

} // namespace

int main(int argc, char **argv) {
    std::string dir = argc > 1 ? argv[1] : ".";
    int scale = argc > 2 ? atoi(argv[2]) : 4;
    if (scale < 1 || scale > 16) {
        fprintf(stderr, "usage: font_specimen [OUTPUT_DIR] [SCALE 1..16]\n");
        return 2;
    }
    for (int i = 0; i < FONT_COUNT; i++)
        if (!write_specimen(i, dir, scale)) return 1;
    return 0;
}
