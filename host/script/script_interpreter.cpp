// lcd_script: playing the loaded lines, the timed ones a tick or a pass at a
// time.
#include "host/script/lcd_script.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/script/script_internal.h"
#include "host/script/setting_table.h"
#include "host/script/session_recorder.h"
#include "host/shell/engine_timers.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "host/text/printable.h"

namespace {

long long clamp(long long v, long long lo, long long hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

const char *lamp_name() {
    return lamp_red == LAMP_BRIGHT ? "bright" : "dark";
}

// Compares the frame buffer with a golden frame; an empty result means equal.
std::string compare_frame(const uint8_t *golden, const std::string &path) {
    int differing = 0, first = -1;
    for (int i = 0; i < LCD_PIXELS; i++) {
        if (golden[i] == frame_buffer[i]) continue;
        if (first < 0) first = i;
        differing++;
    }
    if (differing == 0) return "";
    return "the frame differs from " + path + " in " + std::to_string(differing) +
           " pixels, first at (" + std::to_string(first % LCD_WIDTH) + ", " +
           std::to_string(first / LCD_WIDTH) + "): " + std::to_string(frame_buffer[first]) +
           " instead of " + std::to_string(golden[first]);
}

} // namespace

bool lcd_script::timed(int op) {
    return op == OP_TICK || op == OP_PASS || op == OP_HOLD || op == OP_RAMP || op == OP_UNTIL;
}

// The first step of a timed line: its count, or for a ramp its two ends.
bool lcd_script::start_timed(const command &c) {
    started_ = true;
    remaining_ = c.op == OP_TICK || c.op == OP_PASS ? c.value : c.ticks;
    cycle_ = 0;
    ticked_ = moved_ = false;
    passes_done_ = 0;
    if (c.op != OP_RAMP) return true;
    for (int i = 0; i < c.leg_count; i++) {
        const slider_id slider = c.legs[i].slider;
        ramp_from_[i] = slider == SLIDER_RPM   ? panel_.rpm_position
                        : slider == SLIDER_MAP ? panel_.map_position
                                               : panel_.temp_position;
        if (!slider_target(c, c.legs[i], ramp_to_[i])) return false;
    }
    // A ramp of no time jumps to its end.
    for (int i = 0; remaining_ == 0 && i < c.leg_count; i++)
        move_slider(c.legs[i].slider, ramp_to_[i]);
    return true;
}

lcd_script::step lcd_script::advance() {
    while (!failed_ && next_ < commands_.size()) {
        const command &c = commands_[next_];
        if (!started_ && skipped(c)) {
            next_++;
            continue;
        }
        if (c.op == OP_UNTIL && student_) {
            showing_ = false;
            return STEP_WAIT;
        }
        if (!timed(c.op)) {
            if (!execute(c)) break;
            next_++;
            continue;
        }
        if (!started_ && !start_timed(c)) break;
        if (c.op == OP_TICK || c.op == OP_PASS) {
            if (remaining_ > 0) return c.op == OP_TICK ? STEP_TICK : STEP_PASS;
        } else if (c.op == OP_UNTIL) {
            // As hold, looking at the instrument at the start and after each pass.
            if ((!ticked_ || passes_done_ > 0) && wait_over()) {
                started_ = false;
                held_ticks_ = -1;
                next_++;
                continue;
            }
            if (cycle_ == remaining_) {
                const size_t step = current_step();
                fail(c.number, source(c),
                     "step " + std::to_string(step + 1) + " (\"" +
                         printable(steps_[step].task, 60) + "\") not done within " +
                         std::to_string(remaining_ / 10) + "." + std::to_string(remaining_ % 10) +
                         " s");
                break;
            }
            if (!ticked_) return STEP_TICK;
            if (panel_.running && passes_done_ < PASSES_PER_TICK) return STEP_PASS;
            cycle_++;
            ticked_ = false;
            passes_done_ = 0;
            continue;
        } else if (cycle_ < remaining_) {
            // A cycle of hold and ramp: the ramp's next position, a tick,
            // then the passes a screen gives while on.
            if (!ticked_) {
                if (c.op == OP_RAMP && !moved_) {
                    // The MAP a figure settles at depends on the side the
                    // filter comes from: the last step of a MAP figure is
                    // chosen from the filter as the ramp's path has left it.
                    const bool last = cycle_ + 1 == remaining_;
                    for (int i = 0; i < c.leg_count; i++) {
                        const slider_move &leg = c.legs[i];
                        slider_choice end;
                        std::string error;
                        if (last && leg.slider == SLIDER_MAP && leg.unit != FIGURE_RAW &&
                            position_for_figure(leg.slider, (int32_t)leg.value, leg.unit,
                                                panel_.running, end, error))
                            ramp_to_[i] = end.position;
                        move_slider(leg.slider, (int32_t)(ramp_from_[i] +
                                                          ((int64_t)ramp_to_[i] - ramp_from_[i]) *
                                                              (cycle_ + 1) / remaining_));
                    }
                    moved_ = true;
                }
                return STEP_TICK;
            }
            if (panel_.running && passes_done_ < PASSES_PER_TICK) return STEP_PASS;
            cycle_++;
            ticked_ = moved_ = false;
            passes_done_ = 0;
            continue;
        }
        started_ = false;
        next_++;
    }
    return failed_ ? STEP_FAILED : STEP_DONE;
}

void lcd_script::echo(const std::string &input) {
    if (echo_) echo_->input(input);
}

void lcd_script::tick() {
    if (echo_) echo_->tick();
    host_timer_tick(panel_.running ? 1 : 0);
    if (commands_[next_].op == OP_TICK)
        remaining_--;
    else
        ticked_ = true;
    if (commands_[next_].op == OP_UNTIL) wait_tick();
}

void lcd_script::pass() {
    if (echo_) echo_->pass();
    power_pass(panel_.exio_checked ? 1 : 0);
    if (commands_[next_].op == OP_PASS)
        remaining_--;
    else
        passes_done_++;
}

bool lcd_script::run(std::string text) {
    return load(std::move(text)) && play();
}

bool lcd_script::run(std::istream &in) {
    return load(in) && play();
}

// Every loaded line at once, the ticks and passes back to back.
bool lcd_script::play() {
    for (;;) {
        switch (advance()) {
        case STEP_TICK: tick(); break;
        case STEP_PASS: pass(); break;
        case STEP_DONE: return true;
        case STEP_FAILED:
        case STEP_WAIT: return false;
        }
    }
}

// Runs one line that takes none of the host's time.
bool lcd_script::execute(const command &c) {
    switch (c.op) {
    case OP_ON:
        // "&On": the power-on sequence, then the RPM and MAP slider handlers.
        echo("on");
        power_on_sequence();
        rpm_slider_change(panel_.rpm_position);
        map_slider_change(panel_.map_position);
        panel_.running = true;
        for (const auto &s : power_on_settings_) {
            apply_setting(s.first, s.second);
            echo(std::string("set ") + setting_name(s.first) + " " + setting_text(s.first));
        }
        return true;
    case OP_SET:
        if (!setting_unit_in_force((int)c.value, c.setting.unit))
            return fail(c.number, source(c),
                        std::string(setting_name((int)c.value)) +
                            " is given in another unit than its page shows now: the "
                            "instrument converts no limit");
        apply_setting((int)c.value, c.setting);
        echo(std::string("set ") + setting_name((int)c.value) + " " + setting_text((int)c.value));
        return true;
    case OP_OFF:
        echo("off");
        power_off_request = 1;
        panel_.running = false;
        return true;
    case OP_KEY:
        echo("key " + c.word);
        press_key((uint8_t)c.value);
        return true;
    case OP_SLIDER: {
        int32_t position = 0;
        if (!slider_target(c, c.legs[0], position)) return false;
        move_slider(c.legs[0].slider, position);
        return true;
    }
    case OP_NOTE:
        caption_ = printable(c.word);
        if (notes_to_) notes_to_(caption_);
        if (!rehearsing_) report_("note: " + caption_ + "\n");
        return true;
    case OP_EXIO:
        if (panel_.exio_checked != (c.value != 0)) echo(c.value ? "exio on" : "exio off");
        panel_.exio_checked = c.value != 0;
        return true;
    case OP_ENGINE_TIMERS:
        echo(c.value ? "engine-timers on" : "engine-timers off");
        panel_.engine_timers = c.value != 0;
        engine_timers_on = panel_.engine_timers ? 1 : 0;
        return true;
    case OP_ASK:
        step_marks_ = marks_now();
        held_ticks_ = -1;
        // Played alone, a step must leave something to do: one whose
        // condition holds before its inputs teaches nothing.
        if (!student_ && condition_holds(conditions_[(size_t)commands_[steps_[(size_t)c.value].until].value], step_marks_))
            return fail(c.number, source(c),
                        "step " + std::to_string(c.value + 1) +
                            "'s condition holds before its inputs: the step has nothing to do");
        if (!rehearsing_ && !student_)
            report_("step " + std::to_string(c.value + 1) + " of " + std::to_string(steps_.size()) +
                    ": " + steps_[(size_t)c.value].task + "\n");
        return true;
    case OP_HINT:
    case OP_WELL: return true;
    case OP_SCALE: scale_ = (int)c.value; return true;
    case OP_SHOT:
    case OP_GOLDEN: {
        if (rehearsing_) return true;
        std::string where;
        if (!files_.write_frame(c.word, frame_buffer, scale_, c.op == OP_GOLDEN, where))
            return fail(c.number, source(c), where);
        report_(where + ": screen " + screen_name(screen_on_display()) + ", lamp " + lamp_name() +
                "\n");
        return true;
    }
    case OP_EXPECT_SCREEN: {
        const char *is = screen_name(screen_on_display());
        return c.word == is || fail(c.number, source(c), std::string("the screen is ") + is);
    }
    case OP_EXPECT_LAMP:
        return c.word == lamp_name() ||
               fail(c.number, source(c), std::string("the lamp is ") + lamp_name());
    case OP_EXPECT_GOLDEN: {
        uint8_t golden[LCD_PIXELS];
        std::string problem;
        if (files_.read_golden(c.word, golden, problem)) problem = compare_frame(golden, c.word);
        return problem.empty() || fail(c.number, source(c), problem);
    }
    }
    return fail(c.number, source(c), "no such command");
}

// Where a slider line puts its slider: a position clamped to the range, or
// the position for a figure under the settings in force now (the factory
// ones while off); a figure no position shows exactly, or one too long for
// the screen, is warned about in the report. While a key waits for its pass,
// which may change the settings, a figure is refused.
bool lcd_script::slider_target(const command &c, const slider_move &move, int32_t &position) {
    if (move.unit == FIGURE_RAW) {
        position =
            (int32_t)clamp(move.value, slider_minimum(move.slider), slider_maximum(move.slider));
        return true;
    }
    if (panel_.running && pending_key != 0)
        return fail(c.number, source(c),
                    "a key still waits for its pass and may change the settings: let a pass "
                    "run first (pass 1)");
    slider_choice choice;
    std::string problem;
    if (!position_for_figure(move.slider, (int32_t)move.value, move.unit, panel_.running, choice,
                             problem))
        return fail(c.number, source(c), problem);
    const std::string where = "line " + std::to_string(c.number) + ": warning: ";
    if (!rehearsing_) {
        for (const std::string &warning :
             {nearest_figure_warning(choice, (int32_t)move.value, move.unit),
              clipped_figure_warning(choice, move.unit)})
            if (!warning.empty()) report_(where + warning + "\n");
    }
    position = choice.position;
    return true;
}

// A slider's change event fires only when its position changes, as in the
// window.
void lcd_script::move_slider(slider_id slider, int32_t position) {
    static const char *const NAMES[] = {"rpm ", "map ", "temp "};
    int32_t &at = slider == SLIDER_RPM   ? panel_.rpm_position
                  : slider == SLIDER_MAP ? panel_.map_position
                                         : panel_.temp_position;
    if (position == at) return;
    at = position;
    echo(NAMES[slider] + std::to_string(position));
    switch (slider) {
    case SLIDER_RPM: rpm_slider_change(position); break;
    case SLIDER_MAP: map_slider_change((uint16_t)position); break;
    case SLIDER_TEMP: temp_slider_change((uint16_t)position); break;
    }
}
