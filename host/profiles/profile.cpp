#include "host/profiles/profile.h"

#include "core/settings.h"
#include "host/script/lcd_script.h"
#include "host/shell/program_state.h"
#include "host/text/printable.h"

namespace {

bool is_time(int index) {
    const std::string name = setting_name(index);
    return name == "hobbs_time" || name == "maint_time";
}

std::string rest_after(const std::string &line, const std::string &word) {
    std::string rest = line.substr(line.find(word) + word.size());
    const size_t first = rest.find_first_not_of(" \t");
    rest = first == std::string::npos ? "" : rest.substr(first);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r'))
        rest.pop_back();
    return printable(rest, 120);
}

} // namespace

bool read_profile(const std::string &bytes, instrument_profile &profile, std::string &error) {
    profile = instrument_profile();
    if (bytes.size() > MAX_PROFILE_BYTES) {
        error = "a profile is at most 64 KB";
        return false;
    }
    // Each limit is checked in the unit in force at its line: the lines are
    // tried on the factory settings, then everything is put back.
    program_state kept;
    save_program_state(kept);
    load_factory_defaults();
    bool good = true;
    size_t at = 0;
    for (int number = 1; good && at < bytes.size(); number++) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        const std::string trimmed = rest_after(" " + line, " ");
        if (number == 1 && trimmed.size() > 1 && trimmed[0] == '#') {
            profile.title = rest_after(trimmed, "#");
            continue;
        }
        const std::vector<std::string> words = script_words(line);
        if (words.empty()) continue;
        const auto fail = [&](const std::string &why) {
            error = "line " + std::to_string(number) + ": " + why;
            good = false;
        };
        if (words[0] == "title") {
            profile.title = rest_after(line, "title");
        } else if (words[0] == "note") {
            profile.note = rest_after(line, "note");
        } else if (words[0] != "set") {
            fail("unknown line \"" + printable(words[0], 40) + "\" (set, title, note)");
        } else if (words.size() < 3) {
            fail("set takes a setting's name and its value");
        } else {
            const int index = find_setting(words[1]);
            setting_value value;
            std::string why;
            if (index < 0)
                fail("no setting is named \"" + printable(words[1], 40) + "\"");
            else if (is_time(index))
                fail(words[1] + " is the aircraft's time, not a setting of the instrument");
            else if (!read_setting_value(index, {words.begin() + 2, words.end()}, value, why))
                fail(why);
            else if (!setting_unit_in_force(index, value.unit))
                fail(words[1] + " is given in " + words.back() +
                     " while the unit in force is another: the instrument converts no limit "
                     "(set the unit on a line above)");
            if (good) {
                apply_setting(index, value);
                profile.settings.emplace_back(index, value);
            }
        }
    }
    restore_program_state(kept);
    return good;
}

void apply_profile(const instrument_profile &profile) {
    for (const auto &line : profile.settings) apply_setting(line.first, line.second);
}

std::string write_profile(const std::string &title) {
    std::string out = "# " + printable(title.empty() ? "My instrument" : title, 120) + "\n";
    for (int i = 0; i < setting_count(); i++)
        if (!is_time(i)) out += std::string("set ") + setting_name(i) + " " + setting_text(i) + "\n";
    return out;
}

std::string profile_lines(const instrument_profile &profile) {
    std::string out;
    program_state kept;
    save_program_state(kept);
    for (const auto &line : profile.settings) {
        apply_setting(line.first, line.second);
        out += std::string("set ") + setting_name(line.first) + " " + setting_text(line.first) +
               "\n";
    }
    restore_program_state(kept);
    return out;
}
