// The data log's header: the header row, the units row and the columns
// found by their names.
#include "host/data_log/data_log_internal.h"

#include <ctype.h>

using namespace data_log_internal;

namespace {

// Records looked at for the header before giving up.
const int HEADER_SEARCH_ROWS = 20;

// The usual spellings of each role's column, first preferred: of a twin,
// the left engine (L, E1) before the right (R, E2).
const char *const SPELLINGS[LOG_ROLES][24] = {
    {"lcltime", "localtime", "time", "utctime", "timestamp", "datetime", "sessiontime", "times",
     "timesec", "seconds", "secs", "sec", "elapsed", "elapsedtime", "elapsedseconds", "t", nullptr},
    {"lcldate", "localdate", "date", "utcdate", nullptr},
    {"e1rpm", "rpm", "rpml", "enginerpm", "engrpm", "rpm1", "e1rpm1", "leftrpm", "lrpm", "e2rpm",
     "rpmr", "rpm2", "rightrpm", "rrpm", nullptr},
    {"e1map", "map", "mapl", "manifoldpressure", "manifoldpress", "manpress", "manpres", "mp",
     "map1", "e2map", "mapr", "map2", nullptr},
    {"e1oilt", "oilt", "oiltemp", "oiltemperature", "e1oiltemp", "oil", "oiltl", "oil1", "e2oilt",
     "oiltr", "e1cht1", "cht1", "cht", "e1cht", "chtl", "e2cht1", "temp", "temperature", nullptr},
};
int spelling_rank(int role, const std::string &key) {
    for (int i = 0; SPELLINGS[role][i]; i++)
        if (key == SPELLINGS[role][i]) return i;
    return -1;
}

// A units row: no numbers, and a unit of RPM, MAP or temperature in it.
bool units_row(const std::vector<std::string> &fields) {
    bool unit = false;
    for (const std::string &f : fields) {
        double v;
        if (is_number(f, v)) return false;
        for (slider_id s : {SLIDER_RPM, SLIDER_MAP, SLIDER_TEMP})
            if (log_unit(s, f) != FIGURE_RAW) unit = true;
    }
    return unit;
}

// A header: a time column and a slider's, by their names or as the user
// names them.
bool header_row(const std::vector<std::string> &fields, const log_options *options) {
    if (fields.size() < 2) return false;
    int column[LOG_ROLES];
    find_log_columns(fields, column);
    for (int role = 0; options && role < LOG_ROLES; role++)
        for (size_t i = 0; i < fields.size(); i++)
            if (!options->column[role].empty() && lower(fields[i]) == lower(options->column[role]))
                column[role] = (int)i;
    return column[LOG_TIME] >= 0 &&
           (column[LOG_RPM] >= 0 || column[LOG_MAP] >= 0 || column[LOG_TEMP] >= 0);
}

} // namespace

namespace data_log_internal {

std::string lower(const std::string &text) {
    std::string out = text;
    for (char &c : out) c = (char)tolower((unsigned char)c);
    return out;
}

// A column's name as its letters and digits, lower case, without a unit in
// brackets; `last` is its last word.
std::string name_key(const std::string &name, std::string *last, std::string *bracketed) {
    std::string key, word;
    int depth = 0;
    for (char c : lower(name)) {
        if (c == '(' || c == '[') depth++;
        if (depth > 0) {
            if (bracketed && c != '(' && c != '[' && c != ')' && c != ']') *bracketed += c;
            if (c == ')' || c == ']') depth--;
            continue;
        }
        if (isalnum((unsigned char)c)) {
            key += c;
            word += c;
        } else if (!word.empty()) {
            if (last) *last = word;
            word.clear();
        }
    }
    if (last && !word.empty()) *last = word;
    return key;
}

const slider_id ROLE_SLIDER[LOG_ROLES] = {SLIDER_RPM, SLIDER_RPM, SLIDER_RPM, SLIDER_MAP,
                                          SLIDER_TEMP};
const char *const ROLE_NAME[LOG_ROLES] = {"time", "date", "RPM", "MAP", "temperature"};

bool header_of(const std::string &text, const log_options *options, log_header &header,
               std::string &error) {
    header = log_header();
    if (text.size() > MAX_LOG_BYTES) {
        error = "the log is larger than " + std::to_string(MAX_LOG_BYTES >> 20) + " MB";
        return false;
    }
    for (char separator : {',', ';', '\t'}) {
        csv_reader reader(text, separator);
        std::vector<std::string> fields, before;
        int before_row = 0;
        for (int n = 0; n < HEADER_SEARCH_ROWS && reader.next(fields); n++) {
            if (!header_row(fields, options)) {
                before.swap(fields);
                before_row = reader.row();
                continue;
            }
            header.names = fields;
            header.header_row = reader.row();
            header.separator = separator;
            if (units_row(before)) {
                header.units = before;
                header.units_row = before_row;
            } else if (reader.next(fields) && units_row(fields)) {
                header.units = fields;
                header.units_row = reader.row();
            }
            find_log_columns(header.names, header.column);
            return true;
        }
    }
    error = "no header row naming a time column and an RPM, MAP or temperature column in the "
            "first " +
            std::to_string(HEADER_SEARCH_ROWS) + " rows";
    return false;
}

} // namespace data_log_internal

figure_unit log_unit(slider_id slider, const std::string &text, double *scale) {
    std::string u;
    for (char c : lower(text))
        if (isalpha((unsigned char)c)) u += c;
    if (u.compare(0, 3, "deg") == 0) u.erase(0, 3);
    if (scale) *scale = 1;
    if (slider == SLIDER_RPM && u == "rpm") return FIGURE_RPM;
    for (const char *w : {"inhg", "inchhg", "inchesofmercury", "inch", "inches", "in", "hg"})
        if (slider == SLIDER_MAP && u == w) return FIGURE_INHG;
    if (slider == SLIDER_MAP && (u == "mb" || u == "mbar" || u == "hpa" || u == "millibar"))
        return FIGURE_MB;
    if (slider == SLIDER_MAP && u == "kpa") {
        if (scale) *scale = 10;
        return FIGURE_MB;
    }
    if (slider == SLIDER_TEMP && (u == "c" || u == "celsius")) return FIGURE_C;
    if (slider == SLIDER_TEMP && (u == "f" || u == "fahrenheit")) return FIGURE_F;
    return FIGURE_RAW;
}

void find_log_columns(const std::vector<std::string> &names, int column[LOG_ROLES]) {
    int best[LOG_ROLES];
    for (int role = 0; role < LOG_ROLES; role++) column[role] = -1, best[role] = 1 << 30;
    for (size_t i = 0; i < names.size(); i++) {
        std::string last;
        const std::string key = name_key(names[i], &last);
        for (int role = 0; role < LOG_ROLES; role++) {
            int rank = spelling_rank(role, key);
            // A unit as the name's last word: "oil_temp_c", "MAP inHg".
            if (rank < 0 && role >= LOG_RPM && last.size() < key.size() &&
                log_unit(ROLE_SLIDER[role], last) != FIGURE_RAW)
                rank = spelling_rank(role, key.substr(0, key.size() - last.size()));
            if (rank >= 0 && rank < best[role]) {
                best[role] = rank;
                column[role] = (int)i;
            }
        }
    }
    // A date-and-time column is the time; a date column beside it is none.
    if (column[LOG_TIME] >= 0 && column[LOG_TIME] == column[LOG_DATE]) column[LOG_DATE] = -1;
}

bool read_log_header(const std::string &csv, log_header &header, std::string &error) {
    std::string decoded;
    return header_of(log_text(csv, decoded), nullptr, header, error);
}
