// The script interpreter on any bytes, from program start: it either refuses
// the script or plays it, within a budget of ticks and passes so that one
// input stays fast. Pictures go nowhere; goldens cannot be read.
#include "core/alarms.h"
#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/lcd_palette.h"
#include "host/lcd_script.h"
#include "host/power_loop.h"
#include "tests/fuzz/fuzz_check.h"

#include <string>

namespace {

const long STEP_BUDGET = 20000;

class no_files : public frame_files {
  public:
    bool write_frame(const std::string &name, const uint8_t *, int, bool,
                     std::string &where) override {
        where = name;
        return true;
    }
    bool read_golden(const std::string &, uint8_t *, std::string &error) override {
        error = "no files";
        return false;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    reset_program_state();
    no_files files;
    lcd_script script(files, 1, [](const std::string &) {});
    if (!script.load(std::string((const char *)data, size))) {
        fuzz_require(script.error_line() > 0, "a refused script names its line");
        fuzz_require(lamp_red == LAMP_BRIGHT, "a refused script runs nothing");
        return 0;
    }
    for (long steps = 0; steps < STEP_BUDGET; steps++) {
        lcd_script::step next = script.advance();
        if (next == lcd_script::STEP_TICK) {
            script.tick();
        } else if (next == lcd_script::STEP_PASS) {
            script.pass();
            fuzz_require(pending_key == 0, "a pass takes the key");
        } else {
            break;
        }
    }
    for (int i = 0; i < LCD_PIXELS; i++)
        fuzz_require(frame_buffer[i] < LCD_PALETTE_SIZE, "every pixel is a palette index");
    return 0;
}
