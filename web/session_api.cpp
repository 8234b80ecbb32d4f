// The page's exports over the session: time, inputs, the panel, scripts and
// their playback, and what the page shows. Each calls one session method.
#include "web/session_api.h"

#include "core/alarms.h"
#include "display/frame_buffer.h"
#include "host/figures/engine_figures.h"
#include "host/shell/lcd_palette.h"

#include <emscripten/emscripten.h>
#include <string.h>

#define EXPORT extern "C" EMSCRIPTEN_KEEPALIVE

namespace {

session the_session;
std::string reply_text;
std::string input_bytes;

slider_id slider(int id) {
    return id == SLIDER_MAP ? SLIDER_MAP : id == SLIDER_TEMP ? SLIDER_TEMP : SLIDER_RPM;
}

} // namespace

session &page_session() {
    return the_session;
}

const char *reply(const std::string &text) {
    reply_text = text;
    return reply_text.c_str();
}

std::string input_fields::next(int size) {
    const size_t n = size < 0 ? 0 : (size_t)size;
    const size_t from = at_ < input_bytes.size() ? at_ : input_bytes.size();
    at_ += n;
    return input_bytes.substr(from, n);
}

const uint8_t *input_tail(int offset) {
    if (offset < 0 || (size_t)offset + LCD_PIXELS > input_bytes.size()) return nullptr;
    return (const uint8_t *)input_bytes.data() + offset;
}

EXPORT int omnira_reply_size(void) {
    return (int)reply_text.size();
}
// Room for `size` bytes that the page writes before its next call.
EXPORT char *omnira_input(int size) {
    input_bytes.assign(size < 0 ? 0 : (size_t)size, '\0');
    return &input_bytes[0];
}

EXPORT const uint8_t *omnira_frame(void) {
    return frame_buffer;
}
EXPORT const uint32_t *omnira_palette(void) {
    return lcd_palette;
}

// --- Time
EXPORT void omnira_elapse(double milliseconds) {
    the_session.elapse(milliseconds);
}
EXPORT double omnira_until_next_tick(void) {
    return the_session.until_next_tick();
}
EXPORT int omnira_loop_running(void) {
    return the_session.loop_running();
}
EXPORT void omnira_pass(void) {
    the_session.pass();
}
EXPORT int omnira_instrument_on(void) {
    return the_session.instrument_on();
}

// --- Inputs
EXPORT void omnira_power_on(void) {
    the_session.power_on();
}
EXPORT void omnira_power_off(void) {
    the_session.power_off();
}
EXPORT void omnira_key(int code) {
    the_session.key((uint8_t)code);
}
EXPORT void omnira_move_slider(int id, int position) {
    the_session.move_slider(slider(id), position);
}
EXPORT void omnira_set_exio(int checked) {
    the_session.set_exio(checked != 0);
}
EXPORT void omnira_set_engine_timers(int on) {
    the_session.set_engine_timers(on != 0);
}
// The input holds the text typed.
EXPORT int omnira_enter_figure(int id, int size) {
    return the_session.enter_figure(slider(id), input_fields().next(size));
}
EXPORT const char *omnira_entry_message(void) {
    return reply(the_session.entry_message());
}
EXPORT void omnira_page_slider(int id, int direction) {
    the_session.page_slider(slider(id), direction);
}

// --- The panel as it shows now
// RPM, MAP, TEMP, EXIO, running, engine timers.
EXPORT const int32_t *omnira_panel(void) {
    static int32_t fields[6];
    const panel_state &p = the_session.panel();
    const int32_t now[6] = {p.rpm_position, p.map_position, p.temp_position,
                            p.exio_checked, p.running,      p.engine_timers};
    memcpy(fields, now, sizeof fields);
    return fields;
}
EXPORT int omnira_settings_in_force(void) {
    return the_session.settings_in_force();
}
EXPORT const char *omnira_slider_text(int id) {
    return reply(the_session.slider_text(slider(id)));
}
// The unit a slider's entry takes under the settings in force.
EXPORT const char *omnira_slider_unit(int id) {
    return reply(figure_unit_name(shown_unit(slider(id), the_session.settings_in_force())));
}
EXPORT int omnira_lamp(void) {
    return the_session.lamp();
}
// Whether the lamp is lit by an unacknowledged alarm, as its name says.
EXPORT int omnira_lamp_bright(void) {
    return the_session.lamp() >= LAMP_BRIGHT;
}
EXPORT const char *omnira_lamp_name(void) {
    return reply(the_session.lamp_name());
}
// The LCD's full description after the last pass.
EXPORT const char *omnira_description(void) {
    return reply(the_session.description().text);
}
EXPORT const char *omnira_announcement(void) {
    return reply(the_session.announcement());
}
EXPORT const char *omnira_recording(void) {
    return reply(the_session.recording());
}

// --- Scripts. The input holds the script's bytes, the name it goes by when
// it has no title, and where it comes from ("the file run_up.txt").
EXPORT int omnira_play_script(int bytes, int name, int source) {
    input_fields in;
    const std::string text = in.next(bytes), fallback = in.next(name);
    return the_session.play_script(text, script_title(text, fallback), in.next(source), "");
}
EXPORT int omnira_check_slice(void) {
    return the_session.check_slice();
}
EXPORT int omnira_checking(void) {
    return the_session.checking();
}
EXPORT double omnira_check_progress(void) {
    return the_session.check_progress();
}
EXPORT void omnira_cancel_check(void) {
    the_session.cancel_check();
}

// --- Playback
EXPORT int omnira_playing(void) {
    return the_session.playing();
}
// The player's state, or -1 when none plays.
EXPORT int omnira_player_status(void) {
    return the_session.playing() ? the_session.player()->status() : -1;
}
EXPORT void omnira_pause_resume(void) {
    the_session.pause_resume();
}
EXPORT void omnira_step(void) {
    the_session.step();
}
EXPORT void omnira_restart(void) {
    the_session.restart();
}
EXPORT void omnira_seek(double tick) {
    the_session.seek((long long)tick);
}
EXPORT void omnira_set_speed(int speed) {
    the_session.set_speed(speed);
}
EXPORT void omnira_change_speed(int direction) {
    the_session.change_speed(direction);
}
EXPORT int omnira_speed(void) {
    return the_session.speed();
}
EXPORT void omnira_take_over(void) {
    the_session.take_over();
}
EXPORT void omnira_set_hidden(int hidden) {
    the_session.set_hidden(hidden != 0);
}

// --- What the page shows besides the LCD
EXPORT const char *omnira_status(void) {
    return reply(the_session.status());
}
// The input holds the notice.
// --- Instrument profiles: the input holds the file's bytes, then its name.
EXPORT int omnira_load_profile(int bytes, int name) {
    input_fields in;
    const std::string text = in.next(bytes);
    return the_session.load_profile(text, in.next(name));
}
EXPORT void omnira_factory_settings(void) {
    the_session.factory_settings();
}
EXPORT int omnira_has_profile(void) {
    return the_session.has_profile();
}
EXPORT const char *omnira_profile_title(void) {
    return reply(the_session.profile_title());
}
EXPORT const char *omnira_save_profile(int title) {
    return reply(the_session.save_profile(input_fields().next(title)));
}
EXPORT void omnira_notice(int size) {
    the_session.notice(input_fields().next(size));
}
EXPORT const char *omnira_take_alert(void) {
    return reply(the_session.take_alert());
}
EXPORT const char *omnira_take_log(void) {
    return reply(the_session.take_log());
}
EXPORT const char *omnira_note_shown(void) {
    return reply(the_session.notes().shown());
}
EXPORT int omnira_notes_listed(void) {
    return (int)the_session.notes().listed();
}
EXPORT const char *omnira_note(int i) {
    const note_board &notes = the_session.notes();
    return reply(i >= 0 && (size_t)i < notes.listed() ? notes.note((size_t)i) : std::string());
}
EXPORT unsigned omnira_notes_epoch(void) {
    return the_session.notes_epoch();
}
EXPORT const timeline_sample *omnira_timeline(void) {
    return the_session.timeline().data();
}
EXPORT int omnira_timeline_size(void) {
    return (int)the_session.timeline().size();
}
EXPORT double omnira_timeline_position(void) {
    return (double)the_session.timeline_position();
}
EXPORT int omnira_timeline_seekable(void) {
    return the_session.timeline_seekable();
}
EXPORT int omnira_timeline_note_count(void) {
    return (int)the_session.timeline_notes().size();
}
// The ticks of the timeline's notes, in order.
EXPORT const double *omnira_timeline_note_ticks(void) {
    static std::vector<double> ticks;
    ticks.clear();
    for (const timeline_note &note : the_session.timeline_notes())
        ticks.push_back((double)note.tick);
    return ticks.data();
}
EXPORT const char *omnira_timeline_note_text(int i) {
    const std::vector<timeline_note> &notes = the_session.timeline_notes();
    return reply(i >= 0 && (size_t)i < notes.size() ? notes[(size_t)i].text : std::string());
}
EXPORT int omnira_picture_count(void) {
    return (int)the_session.pictures().size();
}
EXPORT const uint8_t *omnira_picture(int i) {
    const auto &pictures = the_session.pictures();
    return i >= 0 && (size_t)i < pictures.size() ? pictures[(size_t)i].data() : nullptr;
}
EXPORT const char *omnira_clock_text(double ticks) {
    return reply(clock_text((long long)ticks));
}
