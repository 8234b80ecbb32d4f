// Run-length encoder for the instrument's colour images (the format is
// documented at the decoder, display/image.cpp).
#pragma once
#include <stdint.h>

#include <vector>

// Encodes width x height palette indices, row-major, into an image: the
// 4-byte header, then each row as runs (128 + n, colour) for three or more
// equal pixels and literals (n, n colours) otherwise. Nothing spans a row end.
std::vector<uint8_t> rle_encode(const std::vector<uint8_t> &pixels, int width, int height);
