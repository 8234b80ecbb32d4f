// Readings of a rectangle of the frame buffer for widget and screen tests.
#pragma once
#include "display/frame_buffer.h"

#include <set>
#include <string>
#include <vector>

// The region (x0, y0)..(x1, y1) inclusive as rows of "#" (ink) and ".".
inline std::vector<std::string> region_picture(int x0, int y0, int x1, int y1) {
    std::vector<std::string> rows;
    for (int y = y0; y <= y1; y++) {
        std::string row;
        for (int x = x0; x <= x1; x++) row += frame_buffer[y * LCD_WIDTH + x] ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// The ink colours (non-zero indices) present in the region, inclusive.
inline std::set<int> region_colours(int x0, int y0, int x1, int y1) {
    std::set<int> colours;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (frame_buffer[y * LCD_WIDTH + x]) colours.insert(frame_buffer[y * LCD_WIDTH + x]);
    return colours;
}

inline int region_ink(int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) n += frame_buffer[y * LCD_WIDTH + x] != 0;
    return n;
}
