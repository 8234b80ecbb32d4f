#include "display/frame_buffer.h"
#include "display/icons/icons.h"
#include "display/image.h"
#include "host/shell/power_loop.h"
#include "tests/support/golden.h"
#include "tools/icongen/rle.h"

#include <gtest/gtest.h>

#include <string.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// A colour no image uses: shows which pixels the decoder left alone.
const uint8_t UNWRITTEN = 254;

void prefill() {
    reset_program_state();
    memset(frame_buffer, UNWRITTEN, sizeof frame_buffer);
}

uint8_t at(int x, int y) {
    return frame_buffer[y * LCD_WIDTH + x];
}

// The region 0..width-1 x 0..height-1 as rows of hex digits, "." where
// nothing was written.
std::vector<std::string> picture(int width, int height) {
    std::vector<std::string> rows;
    for (int y = 0; y < height; y++) {
        std::string row;
        for (int x = 0; x < width; x++)
            row += at(x, y) == UNWRITTEN ? '.' : "0123456789abcdef"[at(x, y) & 15];
        rows.push_back(row);
    }
    return rows;
}

// Number of written pixels outside the rectangle 0..width-1 x 0..height-1.
int written_outside(int width, int height) {
    int n = 0;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++)
            n += (x >= width || y >= height) && at(x, y) != UNWRITTEN;
    return n;
}

// Draws the image at (0, 0) on a prefilled frame buffer and expects exactly
// these pixels, and nothing written outside them.
void expect_image(const std::vector<uint8_t> &data, const std::vector<uint8_t> &pixels, int width,
                  int height) {
    prefill();
    draw_image(0, 0, data.data(), (uint32_t)data.size());
    EXPECT_EQ(written_outside(width, height), 0);
    for (int i = 0; i < width * height; i++)
        ASSERT_EQ(at(i % width, i / width), pixels[i]) << "pixel " << i;
}

struct IconCase {
    const char *name;
    const uint8_t *data;
    uint32_t size;
    int height;
    std::set<uint8_t> colours;
};

const IconCase ICON_CASES[] = {
    {"exclamation_icon", exclamation_icon, sizeof exclamation_icon, 50, {15, 9}},
    {"question_icon", question_icon, sizeof question_icon, 50, {15, 9}},
    {"map_setup_icon", map_setup_icon, sizeof map_setup_icon, 43, {8, 11}},
    {"rpm_setup_icon", rpm_setup_icon, sizeof rpm_setup_icon, 50, {8, 9, 10}},
    {"temp_setup_icon", temp_setup_icon, sizeof temp_setup_icon, 50, {9, 15}},
    {"timers_setup_icon", timers_setup_icon, sizeof timers_setup_icon, 50, {8, 11, 15}},
    {"misc_setup_icon", misc_setup_icon, sizeof misc_setup_icon, 50, {7, 8, 9, 10, 11}},
    {"adc_values_icon", adc_values_icon, sizeof adc_values_icon, 50, {9, 10, 11}},
};

TEST(IconImages, EachPaintsItsWholeRectangleInItsColoursOnly) {
    for (const IconCase &icon : ICON_CASES) {
        SCOPED_TRACE(icon.name);
        EXPECT_EQ(icon.data[0] | icon.data[1] << 8, 50);
        EXPECT_EQ(icon.data[2] | icon.data[3] << 8, icon.height);
        prefill();
        draw_image(0, 0, icon.data, icon.size);
        EXPECT_EQ(written_outside(50, icon.height), 0);
        std::set<uint8_t> used;
        for (int y = 0; y < icon.height; y++)
            for (int x = 0; x < 50; x++) used.insert(at(x, y));
        EXPECT_EQ(used.count(UNWRITTEN), 0u) << "a pixel of the rectangle is not painted";
        std::set<uint8_t> allowed = icon.colours;
        allowed.insert(0);
        EXPECT_EQ(used, allowed) << "colours drawn differ from the listed ones and black";
        // The declared size is exactly the image: a byte less loses the last pixel.
        prefill();
        draw_image(0, 0, icon.data, icon.size - 1);
        EXPECT_EQ(at(49, icon.height - 1), UNWRITTEN);
    }
}

TEST(IconImages, Goldens) {
    for (const IconCase &icon : ICON_CASES) {
        SCOPED_TRACE(icon.name);
        reset_program_state();
        draw_image(55, 35, icon.data, icon.size);
        EXPECT_TRUE(matches_golden((std::string("icon_") + icon.name).c_str()));
    }
}

std::vector<uint8_t> header(int width, int height) {
    return {(uint8_t)width, (uint8_t)(width >> 8), (uint8_t)height, (uint8_t)(height >> 8)};
}

std::vector<uint8_t> with_header(int width, int height, std::vector<uint8_t> stream) {
    std::vector<uint8_t> data = header(width, height);
    data.insert(data.end(), stream.begin(), stream.end());
    return data;
}

struct EncodeCase {
    const char *what;
    int width, height;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> stream; // expected encoding after the header
};

std::vector<uint8_t> repeat(int n, uint8_t colour) {
    return std::vector<uint8_t>(n, colour);
}

std::vector<uint8_t> alternating(int n) {
    std::vector<uint8_t> v;
    for (int i = 0; i < n; i++) v.push_back(i % 2 ? 9 : 15);
    return v;
}

std::vector<uint8_t> concat(std::vector<uint8_t> a, const std::vector<uint8_t> &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(IconRunLength, EncodesRunsAndLiteralsWithinEachRow) {
    const std::vector<uint8_t> alt = alternating(160);
    const EncodeCase cases[] = {
        {"a run of 127 is one run", 127, 1, repeat(127, 9), {0xFF, 9}},
        {"a run of 128 is a run and a literal", 128, 1, repeat(128, 9), {0xFF, 9, 0x01, 9}},
        {"a run of 130 is two runs", 130, 1, repeat(130, 9), {0xFF, 9, 0x83, 9}},
        {"2 equal stay literal, 3 run", 5, 1, {1, 1, 2, 2, 2}, {0x02, 1, 1, 0x83, 2}},
        {"runs end at the row end", 4, 2, repeat(8, 7), {0x84, 7, 0x84, 7}},
        {"rows of width 1 are one literal each", 1, 3, {9, 9, 9}, {0x01, 9, 0x01, 9, 0x01, 9}},
        {"alternating pixels split into literals of 127", 160, 1, alt,
         concat(concat({0x7F}, std::vector<uint8_t>(alt.begin(), alt.begin() + 127)),
                concat({0x21}, std::vector<uint8_t>(alt.begin() + 127, alt.end())))},
    };
    for (const EncodeCase &c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<uint8_t> data = rle_encode(c.pixels, c.width, c.height);
        EXPECT_EQ(data, with_header(c.width, c.height, c.stream));
        expect_image(data, c.pixels, c.width, c.height);
    }
}

// Random images, with few colours so that runs of every length occur, decode
// to themselves.
TEST(IconRunLength, RandomImagesRoundTrip) {
    std::mt19937 rng(40);
    for (int n = 0; n < 200; n++) {
        const int width = 1 + (int)(rng() % LCD_WIDTH), height = 1 + (int)(rng() % 40);
        const int colours = 1 + (int)(rng() % 4), stickiness = (int)(rng() % 200);
        std::vector<uint8_t> pixels(width * height);
        uint8_t colour = 0;
        for (uint8_t &p : pixels) {
            if ((int)(rng() % 200) >= stickiness) colour = (uint8_t)(rng() % colours * 60);
            p = colour;
        }
        SCOPED_TRACE("image " + std::to_string(n) + ": " + std::to_string(width) + " x " +
                     std::to_string(height));
        expect_image(rle_encode(pixels, width, height), pixels, width, height);
        if (HasFailure()) return;
    }
}

struct DecodeCase {
    const char *what;
    std::vector<uint8_t> data;
    uint32_t size;                    // bytes the decoder may read; the rest must stay unread
    std::vector<std::string> picture; // one column and row beyond the image
};

TEST(IconDecoder, MalformedAndEdgeStreams) {
    const DecodeCase cases[] = {
        {"run past the width", with_header(3, 2, {0x85, 9, 0x83, 10}), 8, {"999.", "aaa.", "...."}},
        {"literal overshooting", with_header(2, 1, {0x03, 1, 2, 3, 0x82, 4}), 10, {"12.", "..."}},
        {"run of 0 eats its colour", with_header(2, 1, {0x80, 9, 0x82, 10}), 8, {"aa.", "..."}},
        {"ends after row 0", with_header(2, 2, {0x82, 9, 0x82, 15}), 6, {"99.", "...", "..."}},
        {"ends in a literal", with_header(2, 1, {0x02, 9, 15}), 6, {"9..", "..."}},
        {"ends before a colour", with_header(2, 1, {0x82, 9}), 5, {"...", "..."}},
        {"3-byte header", with_header(1, 1, {0x81, 9}), 3, {"..", ".."}},
    };
    for (const DecodeCase &c : cases) {
        SCOPED_TRACE(c.what);
        prefill();
        draw_image(0, 0, c.data.data(), c.size);
        const int width = (int)c.picture[0].size(), height = (int)c.picture.size();
        EXPECT_EQ(picture(width, height), c.picture);
        EXPECT_EQ(written_outside(width, height), 0);
    }
}

// The decoder reads through a 128-byte staging buffer. Three rows of a
// literal of 126 and a run of 4: the first run's control byte is the last of
// the first block and its colour the first of the next; the third literal
// straddles the second refill.
TEST(IconDecoder, StreamsLongerThanTheStagingBuffer) {
    const int width = 130;
    std::vector<uint8_t> row, pixels, stream;
    for (int i = 0; i < 126; i++) row.push_back((uint8_t)(i % 7 + 1));
    for (int r = 0; r < 3; r++) {
        stream.push_back(0x7E);
        stream.insert(stream.end(), row.begin(), row.end());
        stream.push_back(0x84);
        stream.push_back(12);
        pixels.insert(pixels.end(), row.begin(), row.end());
        pixels.insert(pixels.end(), 4, 12);
    }
    ASSERT_EQ(stream[127], 0x84);
    expect_image(with_header(width, 3, stream), pixels, width, 3);
}

} // namespace
