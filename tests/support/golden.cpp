#include "tests/support/golden.h"

#include "display/frame_buffer.h"
#include "host/png/png_io.h"

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

::testing::AssertionResult matches_golden(const char *name) {
    const std::string golden_path = std::string(GOLDEN_DIR) + "/" + name + ".png";
    const char *update = getenv("OMNIRA_UPDATE_GOLDENS");
    if (update && strcmp(update, "1") == 0) {
        if (!write_lcd_indexed_png(golden_path, frame_buffer))
            return ::testing::AssertionFailure() << "cannot write " << golden_path;
        return ::testing::AssertionSuccess();
    }
    std::vector<uint8_t> golden;
    int width = 0, height = 0;
    if (!read_indexed_png(golden_path, golden, width, height))
        return ::testing::AssertionFailure()
               << "golden " << golden_path << " is missing; run `make goldens` and look at it";
    if (width != LCD_WIDTH || height != LCD_HEIGHT)
        return ::testing::AssertionFailure() << "golden " << name << " is " << width << "x" << height;
    int differing = 0, first = -1;
    for (int i = 0; i < LCD_PIXELS; i++) {
        if (golden[i] != frame_buffer[i]) {
            if (first < 0) first = i;
            differing++;
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    mkdir(DIFF_DIR, 0755);
    const std::string diff_path = std::string(DIFF_DIR) + "/" + name + ".png";
    write_diff_png(diff_path, golden.data(), frame_buffer);
    return ::testing::AssertionFailure()
           << differing << " pixels differ from golden " << name << ", first at ("
           << first % LCD_WIDTH << ", " << first / LCD_WIDTH << "): golden "
           << (int)golden[first] << ", actual " << (int)frame_buffer[first] << "; see "
           << diff_path;
}
