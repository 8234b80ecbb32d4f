// The page's side of the WebAssembly boundary: plain C functions over the
// toolkit-free host, one per panel input, plus the script player. The page
// calls nothing else; the inputs are recorded exactly as the window records
// them, so a page session replays in lcdshot.
#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/shell/engine_timers.h"
#include "host/shell/lcd_palette.h"
#include "host/script/lcd_script.h"
#include "host/lessons/lesson_player.h"
#include "host/playback/note_board.h"
#include "host/playback/script_player.h"
#include "host/shell/power_loop.h"
#include "host/script/session_recorder.h"

#include <emscripten/emscripten.h>
#include <stdint.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char *const SESSION_HEADER =
    "# Omnira session: an lcdshot script of every input since the page opened\n";

// Script names of the key codes KEY_F1..KEY_MINUS.
const char *const KEY_NAMES[] = {"F1", "F2", "PUSH", "PLUS", "MINUS"};

session_recorder session;
panel_state controls;   // the page's controls as the session left them
std::string text;       // text handed over by the page (a script)
std::string reply;      // the last string handed back to the page
std::string script_log; // what the script reports (pictures, notes, warnings)

// A script's pictures stay in the page: the log names each one, and each is
// kept (a script writes at most lcd_script::MAX_PICTURES) for the caller to
// read. Goldens are those the page
// handed over: the scenario library's, by the names its scripts use.
class page_frames : public frame_files {
  public:
    bool write_frame(const std::string &name, const uint8_t *frame, int, bool,
                     std::string &where) override {
        pictures.emplace_back(frame, frame + LCD_PIXELS);
        where = name + " (kept in the page)";
        return true;
    }
    bool read_golden(const std::string &name, uint8_t *frame, std::string &error) override {
        const auto found = goldens.find(name.compare(0, 2, "./") == 0 ? name.substr(2) : name);
        if (found == goldens.end()) {
            error = "no golden " + name + " in the page: it holds the scenario library's only";
            return false;
        }
        memcpy(frame, found->second.data(), LCD_PIXELS);
        return true;
    }
    std::map<std::string, std::vector<uint8_t>> goldens;
    std::vector<std::vector<uint8_t>> pictures;
};

page_frames frames;
int32_t panel[6];

// The script player the window shares: a script is checked in slices while
// the one before plays on, then played from real time at a speed, paused,
// stepped and seeked.
std::unique_ptr<script_player> checked;
std::unique_ptr<script_player> player;
// Its notes, each shown for a minimum time, on the page's clock.
note_board notes;
double notes_now = 0;

// The lesson the student works, if any.
std::unique_ptr<lesson_player> lesson;
std::string lesson_error;

// The timeline as the page reads it: RPM as int32, MAP and TEMP as int16,
// then the units and the lamp, in 12 bytes a tick.
static_assert(sizeof(timeline_sample) == 12, "the page reads samples of 12 bytes");

const char *hand_back(const std::string &s) {
    reply = s;
    return reply.c_str();
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const uint8_t *omnira_frame(void) {
    return frame_buffer;
}
EMSCRIPTEN_KEEPALIVE const uint32_t *omnira_palette(void) {
    return lcd_palette;
}
EMSCRIPTEN_KEEPALIVE int omnira_palette_size(void) {
    return LCD_PALETTE_SIZE;
}
EMSCRIPTEN_KEEPALIVE int omnira_lamp_red(void) {
    return lamp_red;
}
EMSCRIPTEN_KEEPALIVE int omnira_power_off_request(void) {
    return power_off_request;
}

// "&On": power-on, then the RPM and MAP handlers with the sliders' positions.
EMSCRIPTEN_KEEPALIVE void omnira_on(void) {
    session.input("on");
    power_on_sequence();
    rpm_slider_change(controls.rpm_position);
    map_slider_change((uint16_t)controls.map_position);
}

EMSCRIPTEN_KEEPALIVE void omnira_off(void) {
    session.input("off");
    power_off_request = 1;
}

// A key click, code KEY_F1..KEY_MINUS; dropped while the slot is full.
EMSCRIPTEN_KEEPALIVE void omnira_key(int code) {
    if (code < KEY_F1 || code > KEY_MINUS) return;
    session.input(std::string("key ") + KEY_NAMES[code - KEY_F1]);
    press_key((uint8_t)code);
}

// The slider handlers, for positions inside the sliders' ranges.
EMSCRIPTEN_KEEPALIVE void omnira_rpm(int32_t position) {
    session.input("rpm " + std::to_string(position));
    controls.rpm_position = position;
    rpm_slider_change(position);
}
EMSCRIPTEN_KEEPALIVE void omnira_map(int32_t position) {
    session.input("map " + std::to_string(position));
    controls.map_position = position;
    map_slider_change((uint16_t)position);
}
EMSCRIPTEN_KEEPALIVE void omnira_temp(int32_t position) {
    session.input("temp " + std::to_string(position));
    controls.temp_position = position;
    temp_slider_change((uint16_t)position);
}
EMSCRIPTEN_KEEPALIVE void omnira_exio(int checked) {
    session.input(checked ? "exio on" : "exio off");
    controls.exio_checked = checked != 0;
}
EMSCRIPTEN_KEEPALIVE void omnira_engine_timers(int on) {
    engine_timers_on = on ? 1 : 0;
    session.input(on ? "engine-timers on" : "engine-timers off");
    controls.engine_timers = on != 0;
}

// One pass of the power loop; returns the lamp's red level.
EMSCRIPTEN_KEEPALIVE int omnira_pass(void) {
    power_pass(controls.exio_checked ? 1 : 0);
    session.pass();
    if (lesson) lesson->after_pass();
    return lamp_red;
}

// One tick of the 100 ms timer; instrument_on while the power loop runs.
EMSCRIPTEN_KEEPALIVE void omnira_tick(int instrument_on) {
    session.tick();
    host_timer_tick(instrument_on ? 1 : 0);
    if (lesson) lesson->after_tick();
}

// The session since the page opened, as an lcdshot script.
EMSCRIPTEN_KEEPALIVE const char *omnira_session(void) {
    return hand_back(SESSION_HEADER + session.script());
}

// Room for `bytes` bytes of UTF-8 text that the page writes, then passes on.
EMSCRIPTEN_KEEPALIVE char *omnira_text(int bytes) {
    text.assign(bytes < 0 ? 0 : (size_t)bytes, '\0');
    return &text[0];
}

// Keeps the 160 x 120 frame at `frame` as the golden named by the text last
// handed over (a name such as "goldens/run_up_done.png").
EMSCRIPTEN_KEEPALIVE void omnira_golden(const uint8_t *frame) {
    frames.goldens[text].assign(frame, frame + LCD_PIXELS);
}

// Room for one frame of palette indices that the page writes.
EMSCRIPTEN_KEEPALIVE uint8_t *omnira_frame_room(void) {
    static uint8_t room[LCD_PIXELS];
    return room;
}

// What the script reported since the last call.
EMSCRIPTEN_KEEPALIVE const char *omnira_script_log(void) {
    hand_back(script_log);
    script_log.clear();
    return reply.c_str();
}

// The panel's controls, as the script sets them while it plays: RPM, MAP,
// TEMP, EXIO, running, engine timers.
EMSCRIPTEN_KEEPALIVE const int32_t *omnira_panel(void) {
    const panel_state &p = player ? player->script().panel() : controls;
    panel[0] = p.rpm_position;
    panel[1] = p.map_position;
    panel[2] = p.temp_position;
    panel[3] = p.exio_checked;
    panel[4] = p.running;
    panel[5] = p.engine_timers;
    return panel;
}

// The pictures of `shot` and `golden` of the script playing, in order.
EMSCRIPTEN_KEEPALIVE int omnira_shot_count(void) {
    return (int)frames.pictures.size();
}
EMSCRIPTEN_KEEPALIVE const uint8_t *omnira_shot(int i) {
    return frames.pictures[(size_t)i].data();
}

// The instrument as it shows now, a sample of the live session's timeline.
EMSCRIPTEN_KEEPALIVE const timeline_sample *omnira_sample(void) {
    static timeline_sample now;
    now = sample_instrument();
    return &now;
}

// Reads the text last handed over as a script for the player, keeping the
// one copy; false with omnira_player_error() for a bad line.
EMSCRIPTEN_KEEPALIVE int omnira_player_load(void) {
    checked.reset(new script_player(frames, [](const std::string &line) { script_log += line; }));
    return checked->load(std::move(text));
}

// At most `budget` ticks and passes of the check, the live instrument left as
// it is: 0 checking, 1 passed (the program and the session start afresh and
// the script plays), 2 refused.
EMSCRIPTEN_KEEPALIVE int omnira_player_check(int budget) {
    switch (checked->check(budget)) {
    case lcd_script::REHEARSING: return 0;
    case lcd_script::REFUSED: return 2;
    case lcd_script::REHEARSED: break;
    }
    player = std::move(checked);
    lesson.reset();
    frames.pictures.clear();
    notes.clear();
    player->notes_to([](const std::string &note) { notes.post(note, (int64_t)notes_now); });
    session = session_recorder();
    controls = panel_state();
    player->echo_to(&session);
    return 1;
}
EMSCRIPTEN_KEEPALIVE double omnira_player_progress(void) {
    return checked->check_progress();
}
// Why the script checked last was refused.
EMSCRIPTEN_KEEPALIVE const char *omnira_check_error(void) {
    return hand_back(checked->error());
}
// Runs what `milliseconds` of real time bring; `now` is the page's clock,
// which paces the notes.
EMSCRIPTEN_KEEPALIVE void omnira_player_run(double milliseconds, double now) {
    notes_now = now;
    player->run_for(milliseconds);
    notes.update((int64_t)now);
}

// The note to show at `now`, the notes listed so far, and the i-th of them.
EMSCRIPTEN_KEEPALIVE const char *omnira_note_shown(double now) {
    notes.update((int64_t)now);
    return hand_back(notes.shown());
}
EMSCRIPTEN_KEEPALIVE int omnira_notes_listed(void) {
    return (int)notes.listed();
}
EMSCRIPTEN_KEEPALIVE const char *omnira_note(int i) {
    return hand_back(notes.note((size_t)i));
}
EMSCRIPTEN_KEEPALIVE void omnira_player_pause(void) {
    player->pause();
}
EMSCRIPTEN_KEEPALIVE void omnira_player_resume(void) {
    player->resume();
}
EMSCRIPTEN_KEEPALIVE void omnira_player_step(void) {
    player->step();
}
EMSCRIPTEN_KEEPALIVE void omnira_player_restart(void) {
    player->restart();
}
// Seeks, and the notes start again from the one in force there.
EMSCRIPTEN_KEEPALIVE void omnira_player_seek(double tick) {
    player->seek((long long)tick);
    notes.clear();
    const std::vector<timeline_note> &all = player->notes();
    for (auto note = all.rbegin(); note != all.rend(); ++note) {
        if (note->tick > player->position()) continue;
        notes.post(note->text, (int64_t)notes_now);
        break;
    }
}
EMSCRIPTEN_KEEPALIVE void omnira_player_speed(int speed) {
    player->set_speed(speed);
}
// script_player::state: 0 checking, 1 refused, 2 playing, 3 paused, 4 ended, 5 failed.
EMSCRIPTEN_KEEPALIVE int omnira_player_status(void) {
    return player ? player->status() : script_player::ENDED;
}
EMSCRIPTEN_KEEPALIVE double omnira_player_position(void) {
    return (double)player->position();
}
EMSCRIPTEN_KEEPALIVE double omnira_player_length(void) {
    return (double)player->length();
}
EMSCRIPTEN_KEEPALIVE const timeline_sample *omnira_player_timeline(void) {
    return player->timeline().data();
}
EMSCRIPTEN_KEEPALIVE int omnira_player_note_count(void) {
    return (int)player->notes().size();
}
EMSCRIPTEN_KEEPALIVE double omnira_player_note_tick(int i) {
    return (double)player->notes()[(size_t)i].tick;
}
EMSCRIPTEN_KEEPALIVE const char *omnira_player_note_text(int i) {
    return hand_back(player->notes()[(size_t)i].text);
}
EMSCRIPTEN_KEEPALIVE const char *omnira_player_error(void) {
    return hand_back(player->error());
}
// The player ends where it is: the page's controls go on from there.
EMSCRIPTEN_KEEPALIVE void omnira_player_stop(void) {
    if (!player) return;
    player->echo_to(nullptr);
    controls = player->script().panel();
    player.reset();
}

// Lessons. Reads the text last handed over as a lesson and checks it whole
// with its answers; a good one starts from program start with a new session,
// its scene played and the controls following it. False with
// omnira_lesson_error() when it is refused, everything left as it was.
EMSCRIPTEN_KEEPALIVE int omnira_lesson_load(void) {
    std::unique_ptr<lesson_player> checked_lesson(
        new lesson_player(frames, [](const std::string &line) { script_log += line; }));
    if (!checked_lesson->load(std::move(text))) {
        lesson_error = checked_lesson->error();
        return 0;
    }
    player.reset();
    lesson = std::move(checked_lesson);
    session = session_recorder();
    lesson->echo_to(&session);
    lesson->begin();
    controls = lesson->panel();
    return 1;
}
EMSCRIPTEN_KEEPALIVE const char *omnira_lesson_error(void) {
    return hand_back(lesson_error);
}
// lesson_player::state: 3 waiting, 4 finished, 5 left, 6 failed; 0 none.
EMSCRIPTEN_KEEPALIVE int omnira_lesson_status(void) {
    return lesson ? (int)lesson->status() : 0;
}
EMSCRIPTEN_KEEPALIVE const char *omnira_lesson_title(void) {
    return hand_back(lesson ? lesson->title() : "");
}
EMSCRIPTEN_KEEPALIVE int omnira_lesson_step(void) {
    return lesson ? lesson->step_number() : 0;
}
EMSCRIPTEN_KEEPALIVE int omnira_lesson_steps(void) {
    return lesson ? lesson->step_count() : 0;
}
EMSCRIPTEN_KEEPALIVE const char *omnira_lesson_task(void) {
    return hand_back(!lesson ? ""
                     : lesson->status() == lesson_player::FAILED ? lesson->error()
                                                                 : lesson->task());
}
EMSCRIPTEN_KEEPALIVE const char *omnira_lesson_hint_text(void) {
    return hand_back(lesson ? lesson->hint_text() : "");
}
EMSCRIPTEN_KEEPALIVE int omnira_lesson_has_hint(void) {
    return lesson && lesson->has_hint();
}
EMSCRIPTEN_KEEPALIVE const char *omnira_lesson_well(void) {
    return hand_back(lesson ? lesson->well() : "");
}
// The steps done unaided, with a hint, shown and skipped, and the time.
EMSCRIPTEN_KEEPALIVE const char *omnira_lesson_summary(void) {
    return hand_back(lesson ? lesson->summary_text() : "");
}
EMSCRIPTEN_KEEPALIVE void omnira_lesson_hint(void) {
    if (lesson) lesson->hint();
}
// Show me and Skip play the step's answers from the controls as they are;
// the controls then follow the lesson (omnira_panel).
EMSCRIPTEN_KEEPALIVE void omnira_lesson_show_me(int instrument_on) {
    if (!lesson) return;
    controls.running = instrument_on != 0;
    lesson->show_me(controls);
    controls = lesson->panel();
}
EMSCRIPTEN_KEEPALIVE void omnira_lesson_skip(int instrument_on) {
    if (!lesson) return;
    controls.running = instrument_on != 0;
    lesson->skip(controls);
    controls = lesson->panel();
}
EMSCRIPTEN_KEEPALIVE void omnira_lesson_leave(void) {
    if (lesson) lesson->leave();
}
// The panel closed: the lesson is gone, the instrument runs on.
EMSCRIPTEN_KEEPALIVE void omnira_lesson_close(void) {
    lesson.reset();
}

} // extern "C"
