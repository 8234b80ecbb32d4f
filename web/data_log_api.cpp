// The page's side of the data log converter: the log handed over into wasm
// memory, its header and columns read back, and the scenario it gives.
#include "host/data_log/data_log.h"
#include "host/script/lcd_script.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

std::string log_text;     // the log the page handed over
log_header header;        // its header, as read last
log_conversion converted; // the last conversion
std::string header_error;
std::string title; // the log's file name
std::string reply;

const char *hand_back(const std::string &s) {
    reply = s;
    return reply.c_str();
}

} // namespace

extern "C" {

// Room for a log of `bytes` bytes that the page writes; none (0) over the cap.
EMSCRIPTEN_KEEPALIVE char *omnira_log_room(int bytes) {
    if (bytes < 0 || (size_t)bytes > MAX_LOG_BYTES) return nullptr;
    log_text.assign((size_t)bytes, '\0');
    return &log_text[0];
}

// Room for the log's file name, at most 255 bytes.
EMSCRIPTEN_KEEPALIVE char *omnira_log_title(int bytes) {
    title.assign(bytes < 0 ? 0 : bytes > 255 ? 255 : (size_t)bytes, '\0');
    return &title[0];
}

// Reads the log's header: 1, or 0 with omnira_log_error().
EMSCRIPTEN_KEEPALIVE int omnira_log_header(void) {
    converted = log_conversion();
    return read_log_header(log_text, header, header_error) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE int omnira_log_header_row(void) {
    return header.header_row;
}
EMSCRIPTEN_KEEPALIVE int omnira_log_column_count(void) {
    return (int)header.names.size();
}
// A column's name as plain printable text.
EMSCRIPTEN_KEEPALIVE const char *omnira_log_column(int i) {
    return hand_back(i >= 0 && (size_t)i < header.names.size()
                         ? printable(header.names[(size_t)i], 60)
                         : std::string());
}
// The column found for a role (time, date, RPM, MAP, temperature), -1 none.
EMSCRIPTEN_KEEPALIVE int omnira_log_found(int role) {
    return role >= 0 && role < LOG_ROLES ? header.column[role] : -1;
}

// Converts the log with the columns chosen (index, -1 none, for each role in
// order) and the units (0 as the log says, 1 inHg or C, 2 mB or F); 1, or 0
// with omnira_log_error().
EMSCRIPTEN_KEEPALIVE int omnira_log_convert(int time, int date, int rpm, int map, int temp,
                                            int map_unit, int temp_unit) {
    log_options options;
    const int chosen[LOG_ROLES] = {time, date, rpm, map, temp};
    for (int role = 0; role < LOG_ROLES; role++) {
        const int i = chosen[role];
        options.left_out[role] = i < 0 || (size_t)i >= header.names.size();
        if (!options.left_out[role]) options.column[role] = header.names[(size_t)i];
    }
    options.map_unit = map_unit == 1 ? FIGURE_INHG : map_unit == 2 ? FIGURE_MB : FIGURE_RAW;
    options.temp_unit = temp_unit == 1 ? FIGURE_C : temp_unit == 2 ? FIGURE_F : FIGURE_RAW;
    options.title = title;
    return convert_data_log(log_text, options, converted) ? 1 : 0;
}
EMSCRIPTEN_KEEPALIVE const char *omnira_log_script(void) {
    return converted.script.c_str();
}
// The last conversion's warnings, one a line.
EMSCRIPTEN_KEEPALIVE const char *omnira_log_warnings(void) {
    std::string all;
    for (const std::string &w : converted.warnings) all += w + "\n";
    return hand_back(all);
}
EMSCRIPTEN_KEEPALIVE const char *omnira_log_error(void) {
    return hand_back(converted.error.empty() ? header_error : converted.error);
}
}
