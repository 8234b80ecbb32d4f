// The data log converted to a scenario: the columns and their units, the
// samples' figures, and the script's lines.
#include "host/data_log/data_log.h"

#include "core/sensors.h"
#include "core/settings.h"
#include "host/data_log/data_log_internal.h"
#include "host/script/lcd_script.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

using namespace data_log_internal;

namespace {

// An interval longer than GAP and GAP_TIMES the log's median interval is a
// gap in the log; a gap plays as a hold of at most GAP_HELD.
const long long GAP = 50, GAP_TIMES = 3, GAP_HELD = 600;
// The script's room kept for the lines after the last row.
const size_t SCRIPT_TAIL_BYTES = 16384;
const long long SCRIPT_TAIL_TICKS = 30;
// Above this RPM the engine is running: the highest MAP counts only then.
const double RUNNING_RPM = 100;
// How much of the header a warning lists, well within a script line.
const size_t LISTED_BYTES = 1500;

std::string seconds_text(long long tenths) {
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "");
}

// A logged value as the log has it, to the hundredth, with at least
// `decimals` decimals.
std::string value_text(double value, int decimals) {
    char text[64];
    snprintf(text, sizeof text, "%.2f", value);
    std::string out = text;
    while (out.back() == '0' && out.size() - out.find('.') > (size_t)decimals + 1) out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out == "-0" ? "0" : out;
}

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

// A figure the slider shows, in its column's unit, from the unit the
// instrument reads in: F from whole C, as the instrument converts it.
int32_t in_unit(const slider_column &s, int32_t figure) {
    return s.unit == FIGURE_F ? celsius_to_fahrenheit((int16_t)figure) : figure;
}

// The figure a logged value makes, in the slider's unit: the value as the
// instrument reads it (tenths of inHg, mB, whole C), clamped to what the
// slider shows and rounded once to the nearest figure it shows.
int32_t figure_for(slider_column &s, int i, double value, int row) {
    const bool f = s.unit == FIGURE_F;
    const double exact = f ? (value - 32) / 1.8 : s.unit == FIGURE_INHG ? value * 10 : value;
    const std::vector<int32_t> &shown = shown_figures((slider_id)i, f ? FIGURE_C : s.unit);
    const double lo = shown.front(), hi = shown.back();
    s.most = in_unit(s, shown.back());
    if (exact < lo - 0.5 || exact > hi + 0.5) {
        s.clamped.add(row, std::string(ROLE_NAME[LOG_RPM + i]) + " " +
                               value_text(value / s.scale, 0) + " " + s.logged_unit +
                               " is beyond the slider's reach (" +
                               figure_text(in_unit(s, shown.front()), s.unit) + " to " +
                               figure_text(s.most, s.unit) + "): clamped");
    }
    const double x = std::min(std::max(exact, lo), hi);
    const auto above = std::lower_bound(shown.begin(), shown.end(), x);
    if (above == shown.begin()) return in_unit(s, *above);
    if (above == shown.end() || x - above[-1] < *above - x) return in_unit(s, above[-1]);
    return in_unit(s, *above);
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

// Empty cells hold the last value (before the first, the first; for RPM the
// engine at rest); then each value becomes the figure shown nearest to it.
void figures_of(log_rows &rows, std::vector<std::string> &warnings) {
    std::vector<sample> &samples = rows.samples;
    for (int i = 0; i < SLIDERS; i++) {
        slider_column &s = rows.sliders[i];
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
        double last = i == 0 ? 0 : samples[first].value[i];
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
        if (s.logged_unit.empty()) s.logged_unit = unit_word(s.unit);
        for (sample &x : samples) x.figure[i] = figure_for(s, i, x.value[i], x.row);
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

// The interval above which the log has a gap: GAP, or GAP_TIMES its median
// interval when that is longer.
long long gap_of(const std::vector<sample> &samples) {
    std::vector<long long> d;
    for (size_t k = 1; k < samples.size(); k++) d.push_back(samples[k].time - samples[k - 1].time);
    if (d.empty()) return GAP;
    std::nth_element(d.begin(), d.begin() + (long)(d.size() / 2), d.end());
    return std::max(GAP, GAP_TIMES * d[d.size() / 2]);
}

// "0:00:03 into the log", with the clock time before it for a log of clock
// times: "10:15:03 (0:00:03 into the log)".
std::string when(const log_rows &rows, long long tenths) {
    const std::string into = clock_text(tenths) + " into the log";
    return rows.clock ? clock_text((rows.first + tenths) % DAY) + " (" + into + ")" : into;
}

// The sample where each slider's value is highest first (MAP only while the
// engine runs when there is an RPM column and it runs), and the range of all
// rows.
void extremes(const log_rows &rows, size_t count, size_t *highest, double *lowest, double *top,
              bool *running) {
    const std::vector<sample> &samples = rows.samples;
    for (int i = 0; i < SLIDERS; i++) {
        running[i] = false;
        if (i == 1 && rows.sliders[0].column >= 0)
            for (size_t k = 0; k < count && !running[i]; k++)
                running[i] = samples[k].value[0] > RUNNING_RPM;
        highest[i] = count;
        lowest[i] = top[i] = samples[0].value[i];
        for (size_t k = 0; k < count; k++) {
            lowest[i] = std::min(lowest[i], samples[k].value[i]);
            top[i] = std::max(top[i], samples[k].value[i]);
            if (running[i] && samples[k].value[0] <= RUNNING_RPM) continue;
            if (highest[i] == count || samples[k].value[i] > samples[highest[i]].value[i])
                highest[i] = k;
        }
    }
}

// "note Highest RPM logged: 2400 rpm, ..." with the clamp said apart.
std::string highest_note(const log_rows &rows, int i, const sample &at, bool running) {
    const slider_column &s = rows.sliders[i];
    std::string note = std::string("note Highest ") + ROLE_NAME[LOG_RPM + i] + " logged" +
                       (running ? " with the engine running" : "") + ": " +
                       value_text(at.value[i] / s.scale, s.unit == FIGURE_INHG) + " " +
                       s.logged_unit + ", " + when(rows, at.time) + ", row " +
                       std::to_string(at.row);
    if (s.clamped.rows > 0)
        note += "; the instrument shows at most " + figure_text(s.most, s.unit) + " (" +
                std::to_string(s.clamped.rows) + " rows clamped)";
    return note + "\n";
}

bool write_scenario(log_rows &rows, const log_header &header, const log_options &options,
                    log_conversion &result) {
    std::vector<std::string> &warnings = result.warnings;
    std::vector<sample> &samples = rows.samples;
    slider_column *sliders = rows.sliders;
    figures_of(rows, warnings);
    if (sliders[0].column < 0 && sliders[1].column < 0 && sliders[2].column < 0) {
        result.error = "no RPM, MAP or temperature column has a figure";
        return false;
    }

    // The rows that fit the script's limits, the room for the lines around
    // them kept aside.
    const long long gap = gap_of(samples);
    size_t count = samples.size();
    long long ticks = SCRIPT_TAIL_TICKS;
    size_t bytes = SCRIPT_TAIL_BYTES + options.settings.size();
    for (size_t k = 1; k < samples.size(); k++) {
        const long long d = samples[k].time - samples[k - 1].time;
        ticks += d > gap ? std::min(d, GAP_HELD) : d;
        bytes += ramp_line(sliders, samples[k - 1], samples[k], d).size() + (d > gap ? 160 : 16);
        if (ticks > lcd_script::MAX_TOTAL_TICKS || bytes > lcd_script::MAX_SCRIPT_BYTES) {
            count = k;
            rows.past_limit = true;
            break;
        }
    }
    const sample &last = samples[count - 1];
    const std::string of_rows =
        "row " + std::to_string(last.row) + " of " + std::to_string(rows.last_row);
    if (rows.past_limit)
        warnings.push_back(of_rows + ": the log is cut at " + when(rows, last.time) +
                           ": a scenario plays at most 4 hours in 1 MB; a start and an end "
                           "choose another part");

    size_t highest[SLIDERS];
    double lowest[SLIDERS], top[SLIDERS];
    bool running[SLIDERS];
    extremes(rows, count, highest, lowest, top, running);

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
        const int decimals = s.unit == FIGURE_INHG;
        out += std::string(", ") + ROLE_NAME[LOG_RPM + i] + " \"" +
               printable(header.names[(size_t)s.column], QUOTED) + "\" (" + s.logged_unit + ")";
        ranges += std::string(", ") + ROLE_NAME[LOG_RPM + i] + " " +
                  value_text(lowest[i] / s.scale, decimals) + " to " +
                  value_text(top[i] / s.scale, decimals) + " " + s.logged_unit;
    }
    out += "\n";
    for (const std::string &w : warnings) out += "# warning: " + w + "\n";
    for (int i = 0; i < SLIDERS; i++)
        if (sliders[i].column >= 0)
            out += leg(sliders[i], i, samples[0].figure[i]).substr(1) + "\n";
    result.span = clock_text(last.time - samples[0].time) + " of the log from row " +
                  std::to_string(samples[0].row) +
                  (rows.clock ? " at " + clock_text((rows.first + samples[0].time) % DAY) : "");
    result.clock = rows.clock;
    out += "note " + title + ": " + result.span + ranges + "\non\n";
    out += options.settings;
    if (!options.settings.empty() && options.settings.back() != '\n') out += "\n";

    long long held = 0; // a hold not yet written
    auto flush = [&]() {
        if (held > 0) out += "hold " + seconds_text(held) + "\n";
        held = 0;
    };
    for (size_t k = 0; k < count; k++) {
        const sample &to = samples[k];
        long long d = k > 0 ? to.time - samples[k - 1].time : 0;
        if (d > gap) {
            flush();
            out += "note No rows for " + clock_text(d) + " from " +
                   when(rows, samples[k - 1].time) + "; row " + std::to_string(to.row) + " next" +
                   (d > GAP_HELD ? ", shown as " + seconds_text(GAP_HELD) + " s" : "") + "\n";
            held = std::min(d, GAP_HELD);
            d = 0;
        }
        for (int i = 0; i < SLIDERS; i++)
            if (sliders[i].column >= 0 && highest[i] == k) {
                flush();
                out += highest_note(rows, i, to, running[i]);
            }
        if (k == 0) continue;
        const std::string ramp = ramp_line(sliders, samples[k - 1], to, d);
        if (ramp.empty()) {
            held += d;
            continue;
        }
        flush();
        out += ramp;
    }
    flush();
    if (rows.past_limit)
        out += "note Log cut at " + when(rows, last.time) + ", " + of_rows +
               ": a scenario plays at most 4 hours in 1 MB\n";
    else if (rows.part)
        out += "note End of the part chosen at " + when(rows, last.time) + ", " + of_rows + "\n";
    else
        out += "note Log end, row " + std::to_string(last.row) + "\n";
    out += "hold 3\n";
    return true;
}

// Each wanted column not found, said with the columns the header has.
void missing_columns(const log_header &header, const log_options &options,
                     std::vector<std::string> &warnings) {
    std::string names;
    size_t i = 0;
    for (; i < header.names.size() && names.size() < LISTED_BYTES; i++)
        names += std::string(i ? ", " : "") + "\"" + printable(header.names[i], QUOTED) + "\"";
    if (i < header.names.size())
        names += " and " + std::to_string(header.names.size() - i) + " more";
    for (int role = LOG_RPM; role < LOG_ROLES; role++)
        if (header.column[role] < 0 && !options.left_out[role])
            warnings.push_back(std::string("no ") + ROLE_NAME[role] +
                               " column found: its slider is left alone; the header (row " +
                               std::to_string(header.header_row) + ") has " + names);
}

} // namespace

namespace data_log_internal {

std::string clock_text(long long tenths) {
    char text[48];
    const long long s = tenths / 10;
    snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    std::string out = text;
    if (tenths % 10) out += "." + std::to_string(tenths % 10);
    return out;
}

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

} // namespace data_log_internal

bool convert_data_log(const std::string &csv, const log_options &options, log_conversion &result) {
    result = log_conversion();
    std::string &error = result.error;
    std::string decoded;
    const std::string &text = log_text(csv, decoded);
    log_header header;
    if (!header_of(text, &options, header, error)) return false;
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
    log_rows rows;
    bool any = false;
    for (int i = 0; i < SLIDERS; i++) {
        const int role = LOG_RPM + i;
        const int column = header.column[role];
        slider_column &s = rows.sliders[i];
        s.column = column;
        if (column < 0) continue;
        any = true;
        const slider_id slider = ROLE_SLIDER[role];
        figure_unit given = role == LOG_MAP    ? options.map_unit
                            : role == LOG_TEMP ? options.temp_unit
                                               : FIGURE_RPM;
        std::string last, bracketed;
        name_key(header.names[column], &last, &bracketed);
        for (const std::string *from :
             {(size_t)column < header.units.size() ? &header.units[(size_t)column] : nullptr,
              &bracketed, &last})
            if (given == FIGURE_RAW && from) {
                given = log_unit(slider, *from, &s.scale);
                if (s.scale != 1) s.logged_unit = "kPa";
            }
        s.unit = given;
    }
    if (!any) {
        error = "no RPM, MAP or temperature column in the header (row " +
                std::to_string(header.header_row) + ")";
        return false;
    }
    missing_columns(header, options, result.warnings);
    if (!read_rows(text, header, options, rows, error)) return false;
    result.warnings.insert(result.warnings.end(), rows.warnings.begin(), rows.warnings.end());
    return write_scenario(rows, header, options, result);
}
