#include "tools/icongen/rle.h"

#include <stddef.h>

namespace {

const int MAX_COUNT = 127;
const int MIN_RUN = 3;

void flush_literals(std::vector<uint8_t> &out, const uint8_t *first, int count) {
    if (count == 0) return;
    out.push_back((uint8_t)count);
    out.insert(out.end(), first, first + count);
}

void encode_row(std::vector<uint8_t> &out, const uint8_t *row, int width) {
    int literal_start = 0, x = 0;
    while (x < width) {
        int n = 1;
        while (x + n < width && n < MAX_COUNT && row[x + n] == row[x]) n++;
        if (n >= MIN_RUN) {
            flush_literals(out, row + literal_start, x - literal_start);
            out.push_back((uint8_t)(128 + n));
            out.push_back(row[x]);
            x += n;
            literal_start = x;
        } else {
            x += n;
            // A literal longer than the count allows is split; the pixels
            // short of a run are picked up again by the next round.
            if (x - literal_start >= MAX_COUNT) {
                flush_literals(out, row + literal_start, MAX_COUNT);
                literal_start += MAX_COUNT;
                x = literal_start;
            }
        }
    }
    flush_literals(out, row + literal_start, width - literal_start);
}

} // namespace

std::vector<uint8_t> rle_encode(const std::vector<uint8_t> &pixels, int width, int height) {
    std::vector<uint8_t> out = {(uint8_t)width, (uint8_t)(width >> 8), (uint8_t)height,
                                (uint8_t)(height >> 8)};
    for (int y = 0; y < height; y++) encode_row(out, pixels.data() + (size_t)y * width, width);
    return out;
}
