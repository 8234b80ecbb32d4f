// The data log's rows read as samples: their times, their figures, and each
// bad row named with its row.
#include "host/data_log/data_log_internal.h"
#include "host/script/lcd_script.h"

using namespace data_log_internal;

namespace {

// The elapsed tenths at which a clock time of the log falls, counted from
// the first row's clock time on (past midnight too).
long long clock_offset(long long clock, long long first) {
    return ((clock - first % DAY) % DAY + DAY) % DAY;
}

// The row's figures into `here`; false when it has none.
bool figures_of_row(const std::vector<std::string> &fields, const log_header &header, int row,
                    slider_column *sliders, sample &here) {
    bool any = false;
    for (int i = 0; i < SLIDERS; i++) {
        slider_column &s = sliders[i];
        if (s.column < 0 || (size_t)s.column >= fields.size()) continue;
        const std::string &cell = fields[(size_t)s.column];
        if (is_number(cell, here.value[i])) {
            here.value[i] *= s.scale;
            here.given[i] = any = true;
        } else if (!cell.empty()) {
            s.unreadable.add(row, "not a number in the " + std::string(ROLE_NAME[LOG_RPM + i]) +
                                      " column \"" +
                                      printable(header.names[(size_t)s.column], QUOTED) + "\": \"" +
                                      printable(cell, QUOTED) + "\": the last value held");
        }
    }
    return any;
}

} // namespace

namespace data_log_internal {

void problem::add(int row, const std::string &what) {
    if (rows++ == 0) {
        first_row = row;
        text = what;
    }
}

void problem::report(std::vector<std::string> &warnings) const {
    if (rows == 0) return;
    std::string line = "row " + std::to_string(first_row) + ": " + text;
    if (rows > 1) line += " (" + std::to_string(rows) + " rows in all)";
    warnings.push_back(line);
}

bool read_rows(const std::string &text, const log_header &header, const log_options &options,
               log_rows &rows, std::string &error) {
    csv_reader reader(text, header.separator);
    std::vector<std::string> fields;
    while (reader.row() < header.header_row && reader.next(fields)) {
    }
    size_t wanted = header.names.size();
    while (wanted > 0 && header.names[wanted - 1].empty()) wanted--;
    problem backwards, no_time, no_figure, short_row, short_last, quote;
    std::vector<sample> &samples = rows.samples;
    long long start = options.start, end = options.end, last_time = -1, days_passed = 0;
    std::string last_cell;
    bool first = true;
    while (reader.next(fields)) {
        const int row = reader.row();
        if (row == header.units_row || (fields.size() == 1 && fields[0].empty())) continue;
        rows.last_row = row;
        if (reader.unclosed_quote()) {
            quote.add(row, "a quote not closed on its line: row skipped");
            continue;
        }
        if (fields.size() < wanted) {
            const std::string counted =
                std::to_string(fields.size()) + " fields where the header (row " +
                std::to_string(header.header_row) + ") has " + std::to_string(wanted);
            if (reader.at_end())
                short_last.add(row, "the last row is cut short, " + counted + ": row skipped");
            else
                short_row.add(row, counted + ": row skipped");
            continue;
        }
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
        const bool clock = fields[tc].find(':') != std::string::npos;
        const bool clock_only =
            clock && !date && fields[tc].find_first_of("-/") == std::string::npos;
        time += days_passed;
        if (clock_only && last_time - time > DAY / 2) {
            days_passed += DAY;
            time += DAY;
        }
        if (time < last_time) {
            backwards.add(row, "the time goes back, from \"" + printable(last_cell, QUOTED) +
                                   "\" to \"" + printable(fields[tc], QUOTED) + "\" (" +
                                   clock_text(last_time - rows.first) +
                                   " into the log): row skipped");
            continue;
        }
        sample here{0, {}, {}, {false, false, false}, row};
        if (!figures_of_row(fields, header, row, rows.sliders, here)) {
            no_figure.add(row, "no RPM, MAP or temperature figure: row skipped");
            continue;
        }
        if (first) {
            first = false;
            rows.first = time;
            rows.clock = clock;
            if ((options.start_clock >= 0 || options.end_clock >= 0) && !clock) {
                error = "the log has seconds, no clock times: a part is chosen by seconds";
                return false;
            }
            if (options.start_clock >= 0) start = clock_offset(options.start_clock, time);
            if (options.end_clock >= 0) end = clock_offset(options.end_clock, time);
        }
        last_time = time;
        last_cell = fields[tc];
        here.time = time - rows.first;
        if (start >= 0 && here.time < start) continue;
        if (end >= 0 && here.time > end) {
            rows.part = true;
            break;
        }
        if ((long long)samples.size() > lcd_script::MAX_TOTAL_TICKS) {
            rows.past_limit = true;
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
    // The log's last row, past the part read.
    while (reader.next(fields))
        if (!(fields.size() == 1 && fields[0].empty())) rows.last_row = reader.row();
    for (const problem *p : {&quote, &short_row, &short_last, &no_time, &backwards, &no_figure})
        p->report(rows.warnings);
    if (samples.empty()) {
        error = "no row with a time and a figure after the header (row " +
                std::to_string(header.header_row) + ")" +
                (start >= 0 || end >= 0 ? " within the part chosen" : "");
        return false;
    }
    return true;
}

} // namespace data_log_internal
