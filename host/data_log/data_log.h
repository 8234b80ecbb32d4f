// Engine data logs (CSV, a row every second or so) turned into scenario
// scripts: the logged RPM, MAP and temperature become slider ramps, one line
// per logged interval, so that the instrument shows the flight as it went.
//
// The file: UTF-8 (a byte-order mark at the start is skipped) or UTF-16
// with a byte-order mark, either byte order. Lines before the header row that
// are no header (a version line) are skipped; a units row just before or
// after the header is used when there is one. Fields are separated by commas,
// semicolons or tabs (the first that gives a header; with semicolons and tabs
// a decimal comma is read as a point), with optional blanks around them, may
// be quoted on one line ("" inside quotes is a quote; a quote not closed on
// its line is a plain character and its row is reported), lines end in LF or
// CRLF. A row with fewer fields than the header is reported and skipped.
//
// Time is one column of seconds, a clock column ("HH:MM:SS[.s]", with a date
// column beside it or a date before it: "YYYY-MM-DD", "YYYY/MM/DD",
// "MM/DD/YYYY", "DD.MM.YYYY"). Empty cells hold the last value; an RPM cell
// empty before the first figure is the engine at rest (0 rpm). Figures out of
// a slider's reach are clamped. An interval over 5 s and over three times the
// log's median interval is a gap. The scenario stays within the script's
// limits: a log longer than that is cut, with a warning.
#pragma once
#include "host/figures/engine_figures.h"

#include <stddef.h>

#include <string>
#include <vector>

// The columns a conversion reads.
enum log_role { LOG_TIME, LOG_DATE, LOG_RPM, LOG_MAP, LOG_TEMP, LOG_ROLES };

struct log_header {
    std::vector<std::string> names; // the header row's fields
    int column[LOG_ROLES];          // the column found for each role, -1 none
    int header_row;                 // 1-based
    int units_row;                  // 1-based, 0 without one
    std::vector<std::string> units; // the units row's fields
    char separator = ',';           // ',', ';' or '\t'
};

struct log_options {
    // Column names to use instead of those found (any case); empty: found.
    std::string column[LOG_ROLES];
    // Roles left out: their column is not read even when one is found.
    bool left_out[LOG_ROLES] = {};
    // Units given; FIGURE_RAW: from the units row or the column's name,
    // otherwise MAP by its size (below 100 inHg, else mB) and C.
    figure_unit map_unit = FIGURE_RAW, temp_unit = FIGURE_RAW;
    // The part converted, as tenths of a second after the first row; -1: all.
    long long start = -1, end = -1;
    // The part converted, as clock times of the log (tenths of a second
    // after midnight, parse_log_clock); -1: none. Only for a log of clock
    // times; they count from the first row on, past midnight too.
    long long start_clock = -1, end_clock = -1;
    // Script lines of keys, passes, ticks and holds put in after power-on
    // to change the settings; none keeps the factory settings.
    std::string settings;
    // Shown in the title line and the first note (the file's name).
    std::string title;
};

struct log_conversion {
    std::string script;
    std::vector<std::string> warnings; // each kind once, with its first row
    std::string error;                 // why there is no script
    // What plays, as the first note says it: "0:02:39 of the log from row 4
    // at 10:15:03"; and whether the log's times are clock times.
    std::string span;
    bool clock = false;
};

// The file's largest size, about eight hours of a 60-column log at 1 Hz.
const size_t MAX_LOG_BYTES = 32u << 20;

// Finds the header row, the units row and the columns by their names;
// false with `error` when there is no header.
bool read_log_header(const std::string &csv, log_header &header, std::string &error);

// The scenario for a log; false with `result.error` when none can be made.
bool convert_data_log(const std::string &csv, const log_options &options, log_conversion &result);

// A time for the options' start and end: seconds ("90", "90.5") or
// [H:]MM:SS[.s], as tenths of a second.
bool parse_log_time(const std::string &text, long long &tenths);
// A clock time of the log for start_clock and end_clock: HH:MM[:SS[.s]],
// as tenths of a second after midnight.
bool parse_log_clock(const std::string &text, long long &tenths);

// What a chooser says of its start and end, in the words set_log_bound takes.
extern const char *const LOG_PART_HELP;

// A start (`end` false) or an end of the part converted into `options`, as
// lcdshot's --start and --end take it (seconds or [H:]MM:SS after the first
// row) or, with `clock`, its --start-at and --end-at (a clock time of the
// log); empty text leaves it unset. False with `error` saying what it takes.
bool set_log_bound(log_options &options, bool end, bool clock, const std::string &text,
                   std::string &error);
// False with `error` when the part's end does not come after its start.
bool check_log_part(const log_options &options, std::string &error);

// The column found for each role, by name: first the role's usual spellings
// in order, then a column whose name ends in a unit of the role (oil_temp_c).
// -1 where none matches.
void find_log_columns(const std::vector<std::string> &names, int column[LOG_ROLES]);

// The unit a units cell or a column's name gives a slider, FIGURE_RAW none.
// kPa gives FIGURE_MB with `scale` 10; every other unit scale 1.
figure_unit log_unit(slider_id slider, const std::string &text, double *scale = nullptr);
