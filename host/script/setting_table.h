// Every setting a setup page shows, by one name each, with its value read
// and written as its page shows it: MAP limits in the MAP unit shown (mB or
// inHg, also written "Hg), TEMP limits in the TEMP unit shown (C or F, also
// written °C and °F), speeds in rpm, tenths with a decimal, codes as four
// digits, options by their words, labels as their text, the Hobbs time in
// tenths of an hour and the maintenance time in hours. Lesson conditions,
// the instrument's state as data and profiles all use this one table.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

// A value as a line gives it: the number (a figure, an option's index, or
// for a label its index in setting_words) and the unit it is in, -1 for a
// setting without a unit.
struct setting_value {
    int32_t number = 0;
    int unit = -1;
    std::string text; // a label's text
};

// The index of `word` in a null-ended list of words, any case; -1 when
// absent. The list as a message gives it: "OFF, ON".
int word_index(const char *const *list, const std::string &word);
std::string words_text(const char *const *list);

int setting_count();
const char *setting_name(int index);
// The index of a setting by its name, or -1.
int find_setting(const std::string &name);

// Reads a value of setting `index` from the words after its name; false
// with `error` naming the range or the words it takes. A MAP or TEMP limit
// takes any value its page can show, in either unit: a unit change keeps
// the number, so 2500 mB reads 250.0 inHg after the change to inches.
bool read_setting_value(int index, const std::vector<std::string> &words, setting_value &value,
                        std::string &error);

// Whether the instrument holds `value` now, in the unit its page shows it
// in (a limit in another unit than the one shown never holds).
bool setting_holds(int index, const setting_value &value);

// The value now, as a line would give it: "41.3 inHg", "ON", "2700", "1.0",
// "1234", "ENGINE", "12.5". Lines read back what this writes.
std::string setting_text(int index);

// Whether a value in `unit` is in the unit its page shows now: always for a
// setting that has no unit.
bool setting_unit_in_force(int index, int unit);

// Puts a value in place, and for a MAP or TEMP limit in a unit other than
// the one set, converts nothing: the number is kept, as on the instrument.
void apply_setting(int index, const setting_value &value);
