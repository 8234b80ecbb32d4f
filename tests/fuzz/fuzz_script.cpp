// The script interpreter on any bytes, from program start: it either refuses
// the script or plays it, within a budget of ticks and passes so that one
// input stays fast; and the check a front end runs before playing. Pictures
// go nowhere; the one golden is frame.png, always the frame shown.
#include "core/alarms.h"
#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/shell/lcd_palette.h"
#include "host/script/lcd_script.h"
#include "host/shell/power_loop.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/support/no_files.h"

#include <string.h>

#include <string>

namespace {

const long STEP_BUDGET = 20000;

// The one golden, frame.png, is always the frame shown.
class frame_golden : public no_files {
  public:
    bool read_golden(const std::string &name, uint8_t *frame, std::string &error) override {
        if (name != "frame.png") {
            error = "no file " + name;
            return false;
        }
        memcpy(frame, frame_buffer, LCD_PIXELS);
        return true;
    }
};

// A live instrument for the rehearsal to leave alone: on, a key pressed.
void live_instrument() {
    reset_program_state();
    power_on_sequence();
    map_slider_change(1500);
    press_key(KEY_MINUS);
    power_pass(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string text((const char *)data, size);
    frame_golden files;

    // The check a front end runs before playing: a slice of it, refused or
    // not, leaves the live program state exactly as it was.
    live_instrument();
    program_state before, after;
    save_program_state(before);
    lcd_script checked(files, 1, [](const std::string &) {});
    if (checked.load(text)) {
        const lcd_script::rehearsal outcome = checked.rehearse(STEP_BUDGET);
        save_program_state(after);
        if (outcome != lcd_script::REHEARSED)
            fuzz_require(after.bytes == before.bytes, "a rehearsal leaves the live state");
        fuzz_require(checked.work_done() <= checked.work_total(), "the work is counted");
    }

    reset_program_state();
    lcd_script script(files, 1, [](const std::string &) {});
    if (!script.load(text)) {
        fuzz_require(script.error_line() > 0 || script.error().find("bytes") != std::string::npos,
                     "a refused script names its line");
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

    // Again with a student present: answers skipped, each wait met by a
    // pass, then by Show me, then ended as Skip ends it.
    reset_program_state();
    lcd_script lesson(files, 1, [](const std::string &) {});
    if (!lesson.load(text)) return 0;
    lesson.set_student(true);
    int shown = 0;
    for (long steps = 0; steps < STEP_BUDGET; steps++) {
        const lcd_script::step next = lesson.advance();
        if (next == lcd_script::STEP_TICK) {
            lesson.tick();
        } else if (next == lcd_script::STEP_PASS) {
            lesson.pass();
        } else if (next == lcd_script::STEP_WAIT) {
            fuzz_require(lesson.current_step() < lesson.steps().size(), "a wait is in a step");
            if (lesson.wait_over() || shown++ % 2 == 1) {
                lesson.end_wait();
            } else {
                lesson.show_answers();
            }
        } else {
            break;
        }
    }
    return 0;
}
