// Shared by the data log's files: reading the CSV, finding its header and
// columns, reading its rows, and converting them to a scenario.
#pragma once
#include "host/data_log/data_log.h"

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace data_log_internal {

// A day in tenths of a second.
const long long DAY = 864000;

// From data_log_csv.cpp: the file's text, its records, and the numbers and
// times in its cells.

// The log as UTF-8: a UTF-16 file (by its byte-order mark) is decoded into
// `store`; any other is the bytes themselves.
const std::string &log_text(const std::string &bytes, std::string &store);

// One record of the file: its fields and the line it starts on. A quote
// opens a quoted field only when it closes on the same line; otherwise it
// is a plain character and the record says so.
class csv_reader {
  public:
    csv_reader(const std::string &text, char separator);
    bool next(std::vector<std::string> &fields);
    int row() const { return row_; }
    bool unclosed_quote() const { return unclosed_; }
    // Only blank lines are left.
    bool at_end() const;

  private:
    std::string *take(std::vector<std::string> &fields, size_t used);
    char read_field(std::string &field);
    void trim(std::string &field, bool quoted) const;

    const std::string &text_;
    size_t at_;
    char separator_;
    int line_ = 1, row_ = 0;
    bool unclosed_ = false;
    std::string spare_;
};
bool is_number(const std::string &text, double &value);
bool parse_row_time(const std::string &cell, const std::string *date_cell, long long &tenths);

// From data_log_header.cpp: column names, the roles' sliders and names, and
// the header found with the columns the options name (none: nullptr).
std::string lower(const std::string &text);
std::string name_key(const std::string &name, std::string *last = nullptr,
                     std::string *bracketed = nullptr);
extern const slider_id ROLE_SLIDER[LOG_ROLES];
extern const char *const ROLE_NAME[LOG_ROLES];
bool header_of(const std::string &text, const log_options *options, log_header &header,
               std::string &error);

// From data_log.cpp and data_log_rows.cpp: the rows read as samples.

const int SLIDERS = 3; // RPM, MAP, TEMP: roles LOG_RPM + i

// One kind of problem, said once with its first row and how many rows had it.
struct problem {
    int first_row = 0;
    long long rows = 0;
    std::string text;
    void add(int row, const std::string &what);
    void report(std::vector<std::string> &warnings) const;
};

// What a slider's column gives: its unit (kPa read as mB with scale 10), the
// unit's name as logged, and the rows clamped.
struct slider_column {
    int column = -1;
    figure_unit unit = FIGURE_RAW;
    double scale = 1;
    std::string logged_unit;
    problem clamped, unreadable;
    int32_t most = 0; // the highest figure the slider shows, in `unit`
};

// One logged row as it plays: its time, its figures, its row.
struct sample {
    long long time; // tenths of a second after the first row
    double value[SLIDERS];
    int32_t figure[SLIDERS];
    bool given[SLIDERS];
    int row;
};

// The rows of a log read as samples, with what the scenario says of them.
struct log_rows {
    std::vector<sample> samples;
    slider_column sliders[SLIDERS];
    bool clock = false;      // the time column holds clock times
    long long first = 0;     // the first row's time as logged
    bool past_limit = false; // rows after the last sample were left out
    bool part = false;       // the options' end came before the log's end
    int last_row = 0;        // the log's last record
    std::vector<std::string> warnings;
};

// Reads the rows after the header into `rows`; false with `error` when no
// row has a time and a figure.
bool read_rows(const std::string &text, const log_header &header, const log_options &options,
               log_rows &rows, std::string &error);

// A figure as a script line writes it: inHg with its tenth.
std::string figure_word(long long figure, figure_unit unit);
const char *unit_word(figure_unit unit);
// "1:02:03" for tenths of a second, the tenth only when there is one.
std::string clock_text(long long tenths);
// How much of a column's name or a cell a message repeats.
const size_t QUOTED = 40;

} // namespace data_log_internal
