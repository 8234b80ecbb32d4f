// The data log converted to a scenario: the rows as samples, their figures,
// and the script's lines.
#include "host/data_log/data_log.h"

#include "core/settings.h"
#include "host/data_log/data_log_internal.h"
#include "host/script/lcd_script.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

using namespace data_log_internal;

namespace {

// An interval longer than this is a gap in the log; a gap plays as a hold
// of at most GAP_HELD.
const long long GAP = 50, GAP_HELD = 600;
// How much of a column's name or a cell a message repeats.
const size_t QUOTED = 40;
// The script's room kept for the lines after the last row.
const size_t SCRIPT_TAIL_BYTES = 16384;
const long long SCRIPT_TAIL_TICKS = 30;

// "1:02:03" for tenths of a second, the tenth only when there is one.
std::string clock_text(long long tenths) {
    char text[48];
    const long long s = tenths / 10;
    snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    std::string out = text;
    if (tenths % 10) out += "." + std::to_string(tenths % 10);
    return out;
}

std::string seconds_text(long long tenths) {
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "");
}

// A figure as a script line writes it: inHg with its tenth.
std::string figure_word(long long figure, figure_unit unit) {
    if (unit != FIGURE_INHG) return std::to_string(figure);
    const long long a = llabs(figure);
    return std::string(figure < 0 ? "-" : "") + std::to_string(a / 10) + "." +
           std::to_string(a % 10);
}

const char *unit_word(figure_unit unit) {
    switch (unit) {
    case FIGURE_RPM: return "rpm";
    case FIGURE_MB: return "mB";
    case FIGURE_INHG: return "inHg";
    case FIGURE_C: return "C";
    case FIGURE_F: return "F";
    case FIGURE_RAW: break;
    }
    return "";
}

// One kind of problem, said once with its first row and how many rows had it.
struct problem {
    int first_row = 0;
    long long rows = 0;
    std::string text;
    void add(int row, const std::string &what) {
        if (rows++ == 0) {
            first_row = row;
            text = what;
        }
    }
    void report(std::vector<std::string> &warnings) const {
        if (rows == 0) return;
        std::string line = "row " + std::to_string(first_row) + ": " + text;
        if (rows > 1) line += " (" + std::to_string(rows) + " rows in all)";
        warnings.push_back(line);
    }
};

const int SLIDERS = 3; // RPM, MAP, TEMP: roles LOG_RPM + i

// What a slider's column gives: its unit and the figures it can show.
struct slider_column {
    int column = -1;
    figure_unit unit = FIGURE_RAW;
    const std::vector<int32_t> *shown = nullptr;
    problem clamped, unreadable;
};

// One logged row as it plays: its time, its figures, its row.
struct sample {
    long long time; // tenths of a second after the first row
    double value[SLIDERS];
    int32_t figure[SLIDERS];
    bool given[SLIDERS];
    int row;
};

// The figures a slider shows in a unit as a scenario starts: the factory
// settings and the calibration of program start (none), which power-on
// keeps. Worked out once.
const std::vector<int32_t> &shown_figures(slider_id slider, figure_unit unit) {
    static std::vector<int32_t> cache[SLIDERS][FIGURE_F + 1];
    std::vector<int32_t> &shown = cache[slider][unit];
    if (shown.empty()) {
        const calibration_record live = calibration;
        calibration = calibration_record();
        figures_shown(slider, unit, shown);
        calibration = live;
    }
    return shown;
}

// The figure a logged value makes, in the slider's unit, clamped to what the
// slider shows and rounded to the nearest figure it shows.
int32_t figure_for(slider_column &s, double value, int row, const char *name) {
    const double scaled = s.unit == FIGURE_INHG ? value * 10 : value;
    const std::vector<int32_t> &shown = *s.shown;
    const double lo = shown.front(), hi = shown.back();
    if (scaled < lo - 0.5 || scaled > hi + 0.5) {
        s.clamped.add(row, std::string(name) + " " + figure_word(llround(scaled), s.unit) + " " +
                               unit_word(s.unit) + " is beyond the slider's reach (" +
                               figure_text((int32_t)lo, s.unit) + " to " +
                               figure_text((int32_t)hi, s.unit) + "): clamped");
    }
    const int32_t figure = (int32_t)llround(std::min(std::max(scaled, lo), hi));
    auto above = std::lower_bound(shown.begin(), shown.end(), figure);
    if (above == shown.begin()) return *above;
    if (above == shown.end() || figure - above[-1] < *above - figure) return above[-1];
    return *above;
}

// Checks the settings lines: keys, passes, ticks, holds and comments only.
bool settings_lines(const std::string &text, std::string &error) {
    size_t at = 0;
    for (int n = 1; at < text.size(); n++) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        const size_t word = line.find_first_not_of(" \t\r");
        const std::string cmd = word == std::string::npos
                                    ? ""
                                    : line.substr(word, line.find_first_of(" \t\r", word) - word);
        if (!cmd.empty() && cmd[0] != '#' && cmd != "key" && cmd != "pass" && cmd != "tick" &&
            cmd != "hold" && cmd != "set") {
            error = "settings line " + std::to_string(n) +
                    " is not a set, key, pass, tick or hold: \"" +
                    printable(line, QUOTED) + "\"";
            return false;
        }
        at = end + 1;
    }
    return true;
}

const char *const SLIDER_WORD[SLIDERS] = {"rpm", "map", "temp"};

// Empty cells hold the last value (before the first, the first); then each
// value becomes the figure shown nearest to it.
void figures_of(std::vector<sample> &samples, slider_column *sliders,
                std::vector<std::string> &warnings) {
    for (int i = 0; i < SLIDERS; i++) {
        slider_column &s = sliders[i];
        if (s.column < 0) continue;
        s.unreadable.report(warnings);
        size_t first = 0;
        while (first < samples.size() && !samples[first].given[i]) first++;
        if (first == samples.size()) {
            warnings.push_back(std::string("the ") + ROLE_NAME[LOG_RPM + i] +
                               " column has no figure: its slider is left alone");
            s.column = -1;
            continue;
        }
        double last = samples[first].value[i];
        for (sample &x : samples) {
            if (x.given[i]) last = x.value[i];
            x.value[i] = last;
        }
        if (s.unit == FIGURE_RAW && i == 1) {
            s.unit = samples[first].value[i] < 100 ? FIGURE_INHG : FIGURE_MB;
            warnings.push_back(std::string("the MAP column names no unit: taken as ") +
                               unit_word(s.unit) + " from its figures");
        } else if (s.unit == FIGURE_RAW && i == 2) {
            s.unit = FIGURE_C;
            warnings.push_back("the temperature column names no unit: taken as C");
        }
        s.shown = &shown_figures((slider_id)i, s.unit);
        for (sample &x : samples)
            x.figure[i] = figure_for(s, x.value[i], x.row, ROLE_NAME[LOG_RPM + i]);
        s.clamped.report(warnings);
    }
}

// " rpm 2400 rpm" for a slider's figure.
std::string leg(const slider_column &s, int i, int32_t figure) {
    return std::string(" ") + SLIDER_WORD[i] + " " + figure_word(figure, s.unit) + " " +
           unit_word(s.unit);
}

// The ramp from one row's figures to the next one's over `tenths`; empty
// when no figure changes.
std::string ramp_line(const slider_column *sliders, const sample &from, const sample &to,
                      long long tenths) {
    std::string legs;
    for (int i = 0; i < SLIDERS; i++)
        if (sliders[i].column >= 0 && from.figure[i] != to.figure[i])
            legs += leg(sliders[i], i, to.figure[i]);
    return legs.empty() ? legs : "ramp" + legs + " " + seconds_text(tenths) + "\n";
}

bool write_scenario(std::vector<sample> &samples, slider_column *sliders, const log_header &header,
                    const log_options &options, log_conversion &result, bool past_limit,
                    std::initializer_list<const problem *> row_problems) {
    std::vector<std::string> &warnings = result.warnings;
    for (const problem *p : row_problems) p->report(warnings);
    figures_of(samples, sliders, warnings);
    if (sliders[0].column < 0 && sliders[1].column < 0 && sliders[2].column < 0) {
        result.error = "no RPM, MAP or temperature column has a figure";
        return false;
    }

    // The rows that fit the script's limits, the room for the lines around
    // them kept aside.
    size_t count = samples.size();
    long long ticks = SCRIPT_TAIL_TICKS;
    size_t bytes = SCRIPT_TAIL_BYTES + options.settings.size();
    for (size_t k = 1; k < samples.size(); k++) {
        const long long d = samples[k].time - samples[k - 1].time;
        ticks += d > GAP ? std::min(d, GAP_HELD) : d;
        bytes += ramp_line(sliders, samples[k - 1], samples[k], d).size() + (d > GAP ? 160 : 16);
        if (ticks > lcd_script::MAX_TOTAL_TICKS || bytes > lcd_script::MAX_SCRIPT_BYTES) {
            count = k;
            past_limit = true;
            break;
        }
    }
    if (past_limit)
        warnings.push_back("row " + std::to_string(samples[count - 1].row) +
                           ": the scenario ends here, " + clock_text(samples[count - 1].time) +
                           " into the log: a scenario plays at most 4 hours in 1 MB; --start "
                           "and --end choose another part");

    // Where each figure is highest first.
    size_t highest[SLIDERS] = {0, 0, 0};
    int32_t lowest[SLIDERS];
    for (int i = 0; i < SLIDERS; i++) lowest[i] = samples[0].figure[i];
    for (size_t k = 0; k < count; k++)
        for (int i = 0; i < SLIDERS; i++) {
            if (samples[k].figure[i] > samples[highest[i]].figure[i]) highest[i] = k;
            lowest[i] = std::min(lowest[i], samples[k].figure[i]);
        }

    std::string &out = result.script;
    const std::string title = printable(options.title.empty() ? "flight" : options.title, 60);
    out = "# Data log: " + title + "\n# columns: time \"" +
          printable(header.names[(size_t)header.column[LOG_TIME]], QUOTED) + "\"";
    if (header.column[LOG_DATE] >= 0)
        out +=
            ", date \"" + printable(header.names[(size_t)header.column[LOG_DATE]], QUOTED) + "\"";
    std::string ranges;
    for (int i = 0; i < SLIDERS; i++) {
        const slider_column &s = sliders[i];
        if (s.column < 0) continue;
        out += std::string(", ") + ROLE_NAME[LOG_RPM + i] + " \"" +
               printable(header.names[(size_t)s.column], QUOTED) + "\" (" + unit_word(s.unit) + ")";
        ranges += std::string(", ") + ROLE_NAME[LOG_RPM + i] + " " +
                  figure_word(lowest[i], s.unit) + " to " +
                  figure_text(samples[highest[i]].figure[i], s.unit);
    }
    out += "\n";
    for (const std::string &w : warnings) out += "# warning: " + w + "\n";
    for (int i = 0; i < SLIDERS; i++)
        if (sliders[i].column >= 0)
            out += leg(sliders[i], i, samples[0].figure[i]).substr(1) + "\n";
    out += "note " + title + ": " + clock_text(samples[count - 1].time - samples[0].time) +
           " of the log from row " + std::to_string(samples[0].row) + ranges + "\non\n";
    out += options.settings;
    if (!options.settings.empty() && options.settings.back() != '\n') out += "\n";

    long long held = 0; // a hold not yet written
    auto flush = [&]() {
        if (held > 0) out += "hold " + seconds_text(held) + "\n";
        held = 0;
    };
    for (size_t k = 1; k < count; k++) {
        const sample &from = samples[k - 1], &to = samples[k];
        long long d = to.time - from.time;
        if (d > GAP) {
            flush();
            out += "note No rows for " + clock_text(d) + " from " + clock_text(from.time) +
                   " into the log (row " + std::to_string(to.row) + " next)" +
                   (d > GAP_HELD ? ": shown as " + seconds_text(GAP_HELD) + " s" : "") + "\n";
            held = std::min(d, GAP_HELD);
            d = 0;
        }
        for (int i = 0; i < SLIDERS; i++)
            if (sliders[i].column >= 0 && highest[i] == k) {
                flush();
                out += std::string("note Highest ") + ROLE_NAME[LOG_RPM + i] +
                       " of the log: " + figure_text(to.figure[i], sliders[i].unit) + ", " +
                       clock_text(to.time) + " into it (row " + std::to_string(to.row) + ")\n";
            }
        const std::string ramp = ramp_line(sliders, from, to, d);
        if (ramp.empty()) {
            held += d;
            continue;
        }
        flush();
        out += ramp;
    }
    flush();
    out += "note Log end, row " + std::to_string(samples[count - 1].row) + "\nhold 3\n";
    return true;
}

} // namespace

bool convert_data_log(const std::string &csv, const log_options &options, log_conversion &result) {
    result = log_conversion();
    std::string &error = result.error;
    log_header header;
    if (!header_of(csv, &options, header, error)) return false;
    if (!settings_lines(options.settings, error)) return false;

    // The columns: those named by the user, or those found.
    for (int role = 0; role < LOG_ROLES; role++) {
        const std::string &named = options.column[role];
        if (options.left_out[role]) header.column[role] = -1;
        if (named.empty() || options.left_out[role]) continue;
        header.column[role] = -1;
        for (size_t i = 0; i < header.names.size(); i++)
            if (lower(header.names[i]) == lower(named)) header.column[role] = (int)i;
        if (header.column[role] < 0) {
            error = "no column named \"" + printable(named, QUOTED) + "\" in the header (row " +
                    std::to_string(header.header_row) + ")";
            return false;
        }
    }
    if (header.column[LOG_TIME] < 0) {
        error = "no time column in the header (row " + std::to_string(header.header_row) + ")";
        return false;
    }
    slider_column sliders[SLIDERS];
    bool any = false;
    for (int i = 0; i < SLIDERS; i++) {
        const int role = LOG_RPM + i;
        const int column = header.column[role];
        slider_column &s = sliders[i];
        s.column = column;
        if (column < 0) continue;
        any = true;
        const slider_id slider = ROLE_SLIDER[role];
        figure_unit given = role == LOG_MAP    ? options.map_unit
                            : role == LOG_TEMP ? options.temp_unit
                                               : FIGURE_RPM;
        if (given == FIGURE_RAW && (size_t)column < header.units.size())
            given = log_unit(slider, header.units[column]);
        std::string last, bracketed;
        name_key(header.names[column], &last, &bracketed);
        if (given == FIGURE_RAW) given = log_unit(slider, bracketed);
        if (given == FIGURE_RAW) given = log_unit(slider, last);
        s.unit = given;
    }
    if (!any) {
        error = "no RPM, MAP or temperature column in the header (row " +
                std::to_string(header.header_row) + ")";
        return false;
    }

    // The rows, read once into samples.
    csv_reader reader(csv);
    std::vector<std::string> fields;
    while (reader.row() < header.header_row && reader.next(fields)) {
    }
    problem backwards, no_time, no_figure;
    std::vector<sample> samples;
    long long first_time = -1, last_time = -1, days_passed = 0;
    bool past_limit = false;
    while (reader.next(fields)) {
        const int row = reader.row();
        if (row == header.units_row || (fields.size() == 1 && fields[0].empty())) continue;
        const size_t tc = (size_t)header.column[LOG_TIME];
        const int dc = header.column[LOG_DATE];
        const std::string *date =
            dc >= 0 && (size_t)dc < fields.size() ? &fields[(size_t)dc] : nullptr;
        long long time = 0;
        if (tc >= fields.size() || !parse_row_time(fields[tc], date, time)) {
            no_time.add(row, "no time it can read" +
                                 (tc < fields.size() ? ": \"" + printable(fields[tc], QUOTED) + "\""
                                                     : std::string()) +
                                 ": row skipped");
            continue;
        }
        // A clock with no date that goes back by more than half a day has
        // passed midnight.
        const bool clock_only = fields[tc].find(':') != std::string::npos && !date &&
                                fields[tc].find_first_of("-/") == std::string::npos;
        time += days_passed;
        if (clock_only && last_time - time > DAY / 2) {
            days_passed += DAY;
            time += DAY;
        }
        if (time < last_time) {
            backwards.add(row, "the time goes back, to " + printable(fields[tc], QUOTED) +
                                   " after " + clock_text(last_time - first_time) +
                                   " into the log: row skipped");
            continue;
        }
        sample here{0, {}, {}, {false, false, false}, row};
        bool any_figure = false;
        for (int i = 0; i < SLIDERS; i++) {
            slider_column &s = sliders[i];
            if (s.column < 0 || (size_t)s.column >= fields.size()) continue;
            const std::string &cell = fields[(size_t)s.column];
            if (is_number(cell, here.value[i])) {
                here.given[i] = any_figure = true;
            } else if (!cell.empty()) {
                s.unreadable.add(
                    row, "not a number in the " + std::string(ROLE_NAME[LOG_RPM + i]) +
                             " column \"" + printable(header.names[(size_t)s.column], QUOTED) +
                             "\": \"" + printable(cell, QUOTED) + "\": the last value held");
            }
        }
        if (!any_figure) {
            no_figure.add(row, "no RPM, MAP or temperature figure: row skipped");
            continue;
        }
        if (first_time < 0) first_time = time;
        last_time = time;
        here.time = time - first_time;
        if (options.start >= 0 && here.time < options.start) continue;
        if (options.end >= 0 && here.time > options.end) break;
        if ((long long)samples.size() > lcd_script::MAX_TOTAL_TICKS) {
            past_limit = true;
            break;
        }
        // Rows of the same tenth of a second: the last one counts.
        if (!samples.empty() && samples.back().time == here.time) {
            for (int i = 0; i < SLIDERS; i++)
                if (here.given[i]) {
                    samples.back().value[i] = here.value[i];
                    samples.back().given[i] = true;
                }
            continue;
        }
        samples.push_back(here);
    }
    if (samples.empty()) {
        error = "no row with a time and a figure after the header (row " +
                std::to_string(header.header_row) + ")" +
                (options.start >= 0 || options.end >= 0 ? " within --start and --end" : "");
        return false;
    }
    return write_scenario(samples, sliders, header, options, result, past_limit,
                          {&no_time, &backwards, &no_figure});
}
