// The data log's file: its records, and the numbers and times in its cells.
#include "host/data_log/data_log_internal.h"

#include <ctype.h>
#include <math.h>

#include <algorithm>

using namespace data_log_internal;

namespace {

// Fields kept of a row; those after are ignored.
const size_t MAX_FIELDS = 65536;

// Days from 1970-01-01 to a civil date.
long long days_from_civil(long long y, long long m, long long d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Whole numbers separated by `sep`, at most `count`, each of at most 4 digits.
int numbers(const char *&s, char sep, long long *out, int count) {
    int n = 0;
    while (n < count) {
        if (!isdigit((unsigned char)*s)) break;
        long long v = 0;
        int digits = 0;
        for (; isdigit((unsigned char)*s) && digits < 5; s++, digits++) v = v * 10 + (*s - '0');
        if (digits > 4) return -1;
        out[n++] = v;
        if (*s != sep || n == count) break;
        s++;
    }
    return n;
}

// A date in one of the usual forms, as days.
bool parse_date(const char *&s, long long &days) {
    long long p[3];
    const char *start = s;
    for (char sep : {'-', '/', '.'}) {
        s = start;
        if (numbers(s, sep, p, 3) != 3) continue;
        long long y = p[0], m = p[1], d = p[2];
        if (p[0] < 1000 && sep == '/') y = p[2], m = p[0], d = p[1];
        if (p[0] < 1000 && sep != '/') y = p[2], m = p[1], d = p[0];
        if (y < 1000 || m < 1 || m > 12 || d < 1 || d > 31) return false;
        days = days_from_civil(y, m, d);
        return true;
    }
    return false;
}

// A clock time H:MM[:SS[.s]], as tenths of a second.
bool parse_clock(const char *&s, long long &tenths) {
    long long p[3];
    const int n = numbers(s, ':', p, 3);
    if (n < 2 || p[1] > 59 || (n == 3 && p[2] > 60)) return false;
    tenths = (p[0] * 3600 + p[1] * 60 + (n == 3 ? p[2] : 0)) * 10;
    if (*s == '.' && isdigit((unsigned char)s[1])) {
        tenths += s[1] - '0';
        for (s++; isdigit((unsigned char)*s);) s++;
    }
    return true;
}

// A code point as UTF-8.
void put_utf8(std::string &out, unsigned long c) {
    if (c < 0x80) {
        out += (char)c;
    } else if (c < 0x800) {
        out += (char)(0xC0 | c >> 6);
        out += (char)(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += (char)(0xE0 | c >> 12);
        out += (char)(0x80 | (c >> 6 & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    } else {
        out += (char)(0xF0 | c >> 18);
        out += (char)(0x80 | (c >> 12 & 0x3F));
        out += (char)(0x80 | (c >> 6 & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    }
}

} // namespace

namespace data_log_internal {

const std::string &log_text(const std::string &bytes, std::string &store) {
    const bool le = bytes.compare(0, 2, "\xFF\xFE") == 0, be = bytes.compare(0, 2, "\xFE\xFF") == 0;
    if ((!le && !be) || bytes.size() > MAX_LOG_BYTES) return bytes;
    store.clear();
    store.reserve(bytes.size() / 2);
    auto unit = [&](size_t i) {
        const unsigned a = (unsigned char)bytes[i], b = (unsigned char)bytes[i + 1];
        return le ? b << 8 | a : a << 8 | b;
    };
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        unsigned long c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD; // a lone surrogate
        }
        put_utf8(store, c);
    }
    return store;
}

csv_reader::csv_reader(const std::string &text, char separator)
    : text_(text), at_(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0), separator_(separator) {}

// The next record's fields, unquoted and trimmed; false at the end.
bool csv_reader::next(std::vector<std::string> &fields) {
    if (at_ >= text_.size()) return false;
    row_ = line_;
    unclosed_ = false;
    size_t used = 0;
    for (;;) {
        std::string *field = used < MAX_FIELDS ? take(fields, used) : &spare_;
        const char end = read_field(*field);
        // With semicolons or tabs, a comma is a decimal point.
        if (separator_ != ',') std::replace(field->begin(), field->end(), ',', '.');
        used++;
        if (end != separator_) break;
    }
    fields.resize(std::min(used, MAX_FIELDS));
    return true;
}

bool csv_reader::at_end() const {
    return text_.find_first_not_of("\r\n \t", at_) == std::string::npos;
}

std::string *csv_reader::take(std::vector<std::string> &fields, size_t used) {
    if (fields.size() <= used) fields.emplace_back();
    fields[used].clear();
    return &fields[used];
}

// Reads one field; returns what ended it: the separator, '\n' or '\0' at the
// end.
char csv_reader::read_field(std::string &field) {
    field.clear();
    while (at_ < text_.size() && text_[at_] != separator_ &&
           (text_[at_] == ' ' || text_[at_] == '\t'))
        at_++;
    bool quoted = false;
    if (at_ < text_.size() && text_[at_] == '"') {
        size_t p = at_ + 1;
        for (; p < text_.size() && text_[p] != '\n'; p++) {
            if (text_[p] != '"') continue;
            if (p + 1 < text_.size() && text_[p + 1] == '"') {
                p++;
                continue;
            }
            quoted = true;
            break;
        }
        if (quoted) {
            for (size_t i = at_ + 1; i < p; i++) {
                field += text_[i];
                if (text_[i] == '"') i++;
            }
            at_ = p + 1;
        } else {
            unclosed_ = true;
        }
    }
    while (at_ < text_.size()) {
        const char c = text_[at_++];
        if (c == separator_) return trim(field, quoted), separator_;
        if (c == '\n') {
            line_++;
            return trim(field, quoted), '\n';
        }
        if (c != '\r') field += c;
    }
    trim(field, quoted);
    return '\0';
}

void csv_reader::trim(std::string &field, bool quoted) const {
    if (quoted) return;
    const size_t end = field.find_last_not_of(separator_ == '\t' ? " " : " \t");
    field.erase(end == std::string::npos ? 0 : end + 1);
}

// A decimal number as logs write them: a sign, at most 9 digits before the
// point, any after it (the first 6 count), no exponent.
bool is_number(const std::string &text, double &value) {
    const char *s = text.c_str();
    const bool negative = *s == '-';
    if (*s == '-' || *s == '+') s++;
    long long whole = 0, fraction = 0, scale = 1;
    int digits = 0;
    for (; isdigit((unsigned char)*s); s++, digits++) {
        if (digits == 9) return false;
        whole = whole * 10 + (*s - '0');
    }
    if (*s == '.') {
        for (s++; isdigit((unsigned char)*s); s++, digits++)
            if (scale < 1000000) {
                fraction = fraction * 10 + (*s - '0');
                scale *= 10;
            }
    }
    value = (negative ? -1.0 : 1.0) * ((double)whole + (double)fraction / (double)scale);
    return digits > 0 && s == text.c_str() + text.size();
}

// A row's time: seconds, a clock time, or a date and a clock time, with the
// date column's date when there is one.
bool parse_row_time(const std::string &cell, const std::string *date_cell, long long &tenths) {
    double seconds;
    if (cell.find(':') == std::string::npos) {
        if (!is_number(cell, seconds) || seconds < 0) return false;
        tenths = llround(seconds * 10);
        return true;
    }
    const char *s = cell.c_str();
    long long days = 0, clock = 0;
    if (cell.find_first_of("-/.") < cell.find(':')) {
        if (!parse_date(s, days)) return false;
        if (*s != ' ' && *s != 'T') return false;
        s++;
    } else if (date_cell) {
        const char *d = date_cell->c_str();
        if (!parse_date(d, days) || d != date_cell->c_str() + date_cell->size()) return false;
    }
    if (!parse_clock(s, clock)) return false;
    if (*s == 'Z') s++;
    tenths = days * DAY + clock;
    return s == cell.c_str() + cell.size();
}

} // namespace data_log_internal

bool parse_log_time(const std::string &text, long long &tenths) {
    // One colon: minutes and seconds.
    const bool minutes = std::count(text.begin(), text.end(), ':') == 1;
    return text.find_first_of("-/T") == std::string::npos &&
           parse_row_time(minutes ? "0:" + text : text, nullptr, tenths);
}

bool parse_log_clock(const std::string &text, long long &tenths) {
    const char *s = text.c_str();
    return std::count(text.begin(), text.end(), ':') >= 1 && parse_clock(s, tenths) &&
           tenths < DAY && s == text.c_str() + text.size();
}

const char *const LOG_PART_HELP =
    "Start and end left empty play the whole log; else seconds or [H:]MM:SS after the first "
    "row, or with the log's clock times a time of day, HH:MM[:SS].";

bool set_log_bound(log_options &options, bool end, bool clock, const std::string &text,
                   std::string &error) {
    long long &at = clock ? (end ? options.end_clock : options.start_clock)
                          : (end ? options.end : options.start);
    at = -1;
    if (text.empty()) return true;
    if (clock ? parse_log_clock(text, at) : parse_log_time(text, at)) return true;
    at = -1;
    error = clock ? "takes a clock time of the log, HH:MM[:SS]"
                  : "takes seconds or [H:]MM:SS after the first row";
    return false;
}

bool check_log_part(const log_options &options, std::string &error) {
    if (options.start < 0 || options.end < 0 || options.end > options.start) return true;
    error = "the end does not come after the start";
    return false;
}
