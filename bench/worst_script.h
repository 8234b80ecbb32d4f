// The most work a script may ask for, at a given size: ticks and passes up
// to the limits, then lines that cost little, so that a larger script can
// only add those.
#pragma once
#include "host/script/lcd_script.h"

#include <string>

inline std::string worst_script(size_t bytes) {
    const long long hold_seconds = lcd_script::MAX_TOTAL_TICKS / 100;
    std::string text = "rpm 30000\nmap 1522\ntemp 2674\non\n";
    for (int i = 0; i < 10; i++) text += "hold " + std::to_string(hold_seconds) + "\n";
    text += "pass " +
            std::to_string(lcd_script::MAX_TOTAL_PASSES -
                           lcd_script::MAX_TOTAL_TICKS * lcd_script::PASSES_PER_TICK) +
            "\n";
    while (text.size() + 7 <= bytes) text += "key F1\n";
    return text;
}
