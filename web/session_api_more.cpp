// The page's exports over the session's lessons, data logs and libraries,
// the key bindings, printable text, and the constants the page needs.
#include "web/session_api.h"

#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/session/bindings.h"
#include "host/shell/lcd_palette.h"
#include "host/text/printable.h"

#include <emscripten/emscripten.h>
#include <stddef.h>

#define EXPORT extern "C" EMSCRIPTEN_KEEPALIVE

namespace {

// A log's column names in the chooser, in characters.
const size_t COLUMN_NAME_LENGTH = 60;

const lesson_player *lesson() {
    return page_session().lesson();
}

library_kind kind(int k) {
    return k == LIBRARY_LESSONS || k == LIBRARY_PROFILES ? (library_kind)k : LIBRARY_SCENARIOS;
}

const library_entry *entry(int k, int i) {
    const std::vector<library_entry> &all = page_session().library(kind(k)).entries();
    return i >= 0 && (size_t)i < all.size() ? &all[(size_t)i] : nullptr;
}

std::string number(long long n) {
    return std::to_string(n);
}

// "name":value pairs as a JSON object.
std::string object(std::initializer_list<std::pair<const char *, std::string>> pairs) {
    std::string out = "{";
    for (const auto &p : pairs)
        out += (out.size() > 1 ? ",\"" : "\"") + std::string(p.first) + "\":" + p.second;
    return out + "}";
}

std::string quoted(const std::string &text) {
    return "\"" + text + "\"";
}

std::string slider_range(slider_id id) {
    return object({{"id", number(id)},
                   {"min", number(slider_minimum(id))},
                   {"max", number(slider_maximum(id))}});
}

} // namespace

// --- Lessons
EXPORT int omnira_start_library_lesson(int i) {
    return page_session().start_library_lesson(i < 0 ? (size_t)-1 : (size_t)i);
}
EXPORT int omnira_lesson_status(void) {
    return lesson() ? lesson()->status() : lesson_player::NONE;
}
EXPORT const char *omnira_lesson_title(void) {
    return reply(page_session().lesson_title());
}
EXPORT int omnira_lesson_step(void) {
    return lesson() ? lesson()->step_number() : 0;
}
EXPORT int omnira_lesson_steps(void) {
    return lesson() ? lesson()->step_count() : 0;
}
// The task while in a step, the error once the lesson stopped, else the summary.
EXPORT const char *omnira_lesson_shown_task(void) {
    return reply(lesson() ? lesson()->shown_task() : std::string());
}
EXPORT const char *omnira_lesson_hint_text(void) {
    return reply(lesson() ? lesson()->hint_text() : std::string());
}
EXPORT int omnira_lesson_has_hint(void) {
    return lesson() && lesson()->has_hint();
}
EXPORT const char *omnira_lesson_well(void) {
    return reply(lesson() ? lesson()->well() : std::string());
}
EXPORT const char *omnira_lesson_announcement(void) {
    return reply(page_session().lesson_announcement());
}
EXPORT const char *omnira_lesson_showing(void) {
    return reply(lesson() ? lesson()->showing() : std::string());
}
EXPORT int omnira_lesson_shown_key(void) {
    return lesson() ? lesson()->shown_key() : 0;
}
EXPORT void omnira_lesson_hint(void) {
    page_session().lesson_hint();
}
EXPORT void omnira_lesson_show_me(void) {
    page_session().lesson_show_me();
}
EXPORT void omnira_lesson_skip(void) {
    page_session().lesson_skip();
}
EXPORT void omnira_lesson_leave(void) {
    page_session().lesson_leave();
}

// --- Data logs. The input holds the log's bytes and its file name.
EXPORT int omnira_open_log(int bytes, int name) {
    input_fields in;
    const std::string text = in.next(bytes);
    return page_session().open_log(text, in.next(name));
}
EXPORT const char *omnira_log_name(void) {
    return reply(page_session().log_name());
}
EXPORT int omnira_log_header_row(void) {
    return page_session().log().header_row;
}
EXPORT int omnira_log_column_count(void) {
    return (int)page_session().log().names.size();
}
EXPORT const char *omnira_log_column_name(int i) {
    const std::vector<std::string> &names = page_session().log().names;
    return reply(i >= 0 && (size_t)i < names.size()
                     ? printable(names[(size_t)i], COLUMN_NAME_LENGTH)
                     : std::string());
}
// The column chosen for a role, -1 none; a new log starts from those found.
EXPORT int omnira_log_column(int role) {
    return role >= 0 && role < LOG_ROLES ? page_session().log_column[role] : -1;
}
EXPORT void omnira_set_log_column(int role, int column) {
    if (role >= 0 && role < LOG_ROLES) page_session().log_column[role] = column;
}
EXPORT int omnira_log_map_unit(void) {
    return page_session().log_map_unit;
}
EXPORT int omnira_log_temp_unit(void) {
    return page_session().log_temp_unit;
}
EXPORT void omnira_set_log_units(int map_unit, int temp_unit) {
    page_session().log_map_unit = (figure_unit)map_unit;
    page_session().log_temp_unit = (figure_unit)temp_unit;
}
// The part chosen: the input holds the start, then the end, as typed.
EXPORT void omnira_set_log_part(int start, int end, int clock) {
    input_fields in;
    page_session().log_start = in.next(start);
    page_session().log_end = in.next(end);
    page_session().log_part_clock = clock != 0;
}
EXPORT const char *omnira_log_start(void) {
    return reply(page_session().log_start);
}
EXPORT const char *omnira_log_end(void) {
    return reply(page_session().log_end);
}
EXPORT int omnira_log_part_clock(void) {
    return page_session().log_part_clock;
}
EXPORT int omnira_log_has_clock(void) {
    return page_session().log_has_clock();
}
EXPORT int omnira_log_under_profile(void) {
    return page_session().log_under_profile;
}
EXPORT void omnira_set_log_under_profile(int under) {
    page_session().log_under_profile = under != 0;
}
EXPORT int omnira_convert_log(void) {
    return page_session().convert_log();
}
EXPORT const char *omnira_log_error(void) {
    return reply(page_session().log_error());
}
EXPORT const char *omnira_log_span(void) {
    return reply(page_session().log_span());
}
EXPORT int omnira_play_log(void) {
    return page_session().play_log();
}
EXPORT int omnira_log_warning_count(void) {
    return (int)page_session().log_warnings().size();
}
EXPORT const char *omnira_log_warning(int i) {
    const std::vector<std::string> &all = page_session().log_warnings();
    return reply(i >= 0 && (size_t)i < all.size() ? all[(size_t)i] : std::string());
}

// --- The libraries. The input holds a file's name, then its bytes.
EXPORT void omnira_library_add(int k, int name, int bytes) {
    input_fields in;
    const std::string file = in.next(name);
    page_session().library(kind(k)).add(file, in.next(bytes));
}
EXPORT void omnira_library_set_course(int k, int bytes) {
    page_session().library(kind(k)).set_course(input_fields().next(bytes));
}
// The input holds the golden's name, then its 160 x 120 palette indices.
EXPORT void omnira_library_add_golden(int k, int name) {
    const uint8_t *frame = input_tail(name);
    if (frame) page_session().library(kind(k)).add_golden(input_fields().next(name), frame);
}
EXPORT int omnira_library_count(int k) {
    return (int)page_session().library(kind(k)).entries().size();
}
EXPORT const char *omnira_library_title(int k, int i) {
    return reply(entry(k, i) ? entry(k, i)->title : std::string());
}
// The file's bytes, as the library holds them.
EXPORT const char *omnira_library_text(int k, int i) {
    return reply(entry(k, i) ? entry(k, i)->text : std::string());
}
// The input holds the name a link gives; -1 when the library has none.
EXPORT const char *omnira_library_name(int k, int i) {
    return reply(entry(k, i) ? entry(k, i)->name : std::string());
}
// The library entry the session holds now: its kind (-1 none) and index.
EXPORT int omnira_loaded_kind(void) {
    return page_session().loaded_kind() == LIBRARY_KINDS ? -1 : page_session().loaded_kind();
}
EXPORT int omnira_loaded_index(void) {
    return page_session().loaded_index();
}
EXPORT int omnira_library_find(int k, int name) {
    return page_session().library(kind(k)).find(input_fields().next(name));
}
EXPORT int omnira_play_library(int k, int i) {
    return page_session().play_library(kind(k), i < 0 ? (size_t)-1 : (size_t)i);
}

// --- Text and keys. The input holds the text or the key's names.
EXPORT const char *omnira_link_offer_text(int bytes) {
    return reply(link_offer_text(input_fields().next(bytes)));
}
EXPORT const char *omnira_printable(int bytes) {
    return reply(printable(input_fields().next(bytes)));
}
EXPORT int omnira_key_action(int code, int character, int front_end) {
    input_fields in;
    const std::string name = in.next(code);
    return key_action(name, in.next(character), front_end);
}
// Where a key goes with `focus` (key_focus) on the page: the route's kind,
// its action times 16 and its direction plus one times 4096.
EXPORT int omnira_route_key(int code, int character, int focus, int combined) {
    input_fields in;
    const std::string name = in.next(code);
    const key_focus f = focus >= FOCUS_NONE && focus <= FOCUS_TYPING ? (key_focus)focus : FOCUS_NONE;
    const key_route r = route_key(name, in.next(character), f, combined != 0, IN_PAGE);
    return r.kind + r.action * 16 + (r.direction + 1) * 4096;
}
EXPORT void omnira_act(int action) {
    if (action > ACT_NONE && action <= ACT_FASTER) act(page_session(), (panel_action)action);
}
EXPORT const char *omnira_bindings_help(int front_end) {
    return reply(bindings_help(front_end));
}

// The constants the page works with, as JSON.
EXPORT const char *omnira_constants(void) {
    std::string speeds = "[";
    for (int s : script_player::SPEEDS) speeds += (speeds.size() > 1 ? "," : "") + number(s);
    speeds += "]";
    std::string unit_names = "{";
    for (figure_unit u : {FIGURE_RAW, FIGURE_RPM, FIGURE_MB, FIGURE_INHG, FIGURE_C, FIGURE_F})
        unit_names += (unit_names.size() > 1 ? ",\"" : "\"") + number(u) +
                      "\":" + quoted(figure_unit_name(u));
    unit_names += "}";
    return reply(object({
        {"lcd", object({{"width", number(LCD_WIDTH)},
                        {"height", number(LCD_HEIGHT)},
                        {"palette_size", number(LCD_PALETTE_SIZE)}})},
        {"tick_ms", number(session::TICK_MS)},
        {"check_slice_ms", number(session::CHECK_SLICE_MS)},
        {"check_progress_after_ms", number(session::CHECK_PROGRESS_AFTER_MS)},
        {"note_min_show_ms", number(note_board::MIN_SHOW_MS)},
        {"notice_ms", number((long long)session::NOTICE_MS)},
        {"max_script_bytes", number(lcd_script::MAX_SCRIPT_BYTES)},
        {"max_log_bytes", number(MAX_LOG_BYTES)},
        {"max_profile_bytes", number(MAX_PROFILE_BYTES)},
        {"player", object({{"checking", number(script_player::CHECKING)},
                           {"refused", number(script_player::REFUSED)},
                           {"playing", number(script_player::PLAYING)},
                           {"paused", number(script_player::PAUSED)},
                           {"ended", number(script_player::ENDED)},
                           {"failed", number(script_player::FAILED)}})},
        {"lesson", object({{"none", number(lesson_player::NONE)},
                           {"waiting", number(lesson_player::WAITING)},
                           {"finished", number(lesson_player::FINISHED)},
                           {"left", number(lesson_player::LEFT)},
                           {"failed", number(lesson_player::FAILED)},
                           {"showing", number(lesson_player::SHOWING)}})},
        {"keys", object({{"F1", number(KEY_F1)},
                         {"F2", number(KEY_F2)},
                         {"PUSH", number(KEY_PUSH)},
                         {"PLUS", number(KEY_PLUS)},
                         {"MINUS", number(KEY_MINUS)}})},
        {"actions", object({{"none", number(ACT_NONE)},
                            {"push", number(ACT_PUSH)},
                            {"plus", number(ACT_PLUS)},
                            {"minus", number(ACT_MINUS)}})},
        {"in_page", number(IN_PAGE)},
        {"focus", object({{"none", number(FOCUS_NONE)},
                          {"button", number(FOCUS_BUTTON)},
                          {"slider_keyboard", number(FOCUS_SLIDER_KEYBOARD)},
                          {"slider_pointer", number(FOCUS_SLIDER_POINTER)},
                          {"slider_entry", number(FOCUS_SLIDER_ENTRY)},
                          {"typing", number(FOCUS_TYPING)}})},
        {"route", object({{"keep", number(ROUTE_KEEP)},
                          {"action", number(ROUTE_ACTION)},
                          {"step", number(ROUTE_SLIDER_STEP)},
                          {"page", number(ROUTE_SLIDER_PAGE)}})},
        {"sliders", object({{"rpm", slider_range(SLIDER_RPM)},
                            {"map", slider_range(SLIDER_MAP)},
                            {"temp", slider_range(SLIDER_TEMP)}})},
        {"panel_fields", "[\"rpm\",\"map\",\"temp\",\"exio\",\"running\",\"engine_timers\"]"},
        {"speeds", speeds},
        {"timeline_arrow_ticks", number(TIMELINE_ARROW_TICKS)},
        {"timeline_page_ticks", number(TIMELINE_PAGE_TICKS)},
        {"sample", object({{"bytes", number(sizeof(timeline_sample))},
                           {"rpm", number(offsetof(timeline_sample, rpm))},
                           {"map", number(offsetof(timeline_sample, map))},
                           {"temp", number(offsetof(timeline_sample, temp))},
                           {"lamp", number(offsetof(timeline_sample, lamp_bright))}})},
        {"log_part_help", quoted(LOG_PART_HELP)},
        {"log_roles", object({{"time", number(LOG_TIME)},
                              {"date", number(LOG_DATE)},
                              {"rpm", number(LOG_RPM)},
                              {"map", number(LOG_MAP)},
                              {"temp", number(LOG_TEMP)}})},
        {"log_units", object({{"map", "[" + number(FIGURE_RAW) + "," + number(FIGURE_INHG) + "," +
                                          number(FIGURE_MB) + "]"},
                              {"temp", "[" + number(FIGURE_RAW) + "," + number(FIGURE_C) + "," +
                                           number(FIGURE_F) + "]"}})},
        {"unit_names", unit_names},
        {"libraries", object({{"scenarios", number(LIBRARY_SCENARIOS)},
                              {"lessons", number(LIBRARY_LESSONS)},
                              {"profiles", number(LIBRARY_PROFILES)}})},
    }));
}
