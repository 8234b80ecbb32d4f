// Shared by the data log's files: reading the CSV, finding its header and
// columns, and converting it to a scenario.
#pragma once
#include "host/data_log/data_log.h"

#include <stddef.h>

#include <string>
#include <vector>

namespace data_log_internal {

// A day in tenths of a second.
const long long DAY = 864000;

// From data_log_csv.cpp: the file's records, and the numbers and times in
// its cells.

// One record of the file: its fields and the line it starts on.
class csv_reader {
  public:
    explicit csv_reader(const std::string &text);
    bool next(std::vector<std::string> &fields);
    int row() const { return row_; }

  private:
    std::string *take(std::vector<std::string> &fields, size_t used);
    char read_field(std::string &field);
    static void trim(std::string &field, bool quoted);

    const std::string &text_;
    size_t at_;
    int line_ = 1, row_ = 0;
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
bool header_of(const std::string &csv, const log_options *options, log_header &header,
               std::string &error);

} // namespace data_log_internal
