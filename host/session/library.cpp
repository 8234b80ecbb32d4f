#include "host/session/library.h"

#include "display/frame_buffer.h"
#include "host/text/printable.h"

#include <string.h>

#include <algorithm>

namespace {

std::string trimmed(const std::string &text) {
    const char *const blanks = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

const size_t TITLE_LENGTH = 120;

} // namespace

std::string script_title(const std::string &bytes, const std::string &fallback) {
    std::string first = bytes.substr(0, bytes.find('\n'));
    if (first.compare(0, 3, "\xEF\xBB\xBF") == 0) first.erase(0, 3);
    first = trimmed(first);
    if (first.empty() || first[0] != '#') return printable(fallback, TITLE_LENGTH);
    first = trimmed(first.substr(1));
    return printable(first.empty() ? fallback : first, TITLE_LENGTH);
}

void script_library::add(const std::string &file_name, const std::string &bytes) {
    std::string name = file_name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0)
        name.resize(name.size() - 4);
    entries_.push_back({name, script_title(bytes, name), bytes});
    order();
}

void script_library::set_course(const std::string &course_list) {
    course_.clear();
    size_t at = 0;
    while (at <= course_list.size()) {
        const size_t end = std::min(course_list.find('\n', at), course_list.size());
        const std::string line = trimmed(course_list.substr(at, end - at));
        if (!line.empty() && line[0] != '#') course_.push_back(line);
        at = end + 1;
    }
    order();
}

void script_library::order() {
    auto rank = [this](const library_entry &e) {
        const auto found = std::find(course_.begin(), course_.end(), e.name + ".txt");
        return (size_t)(found - course_.begin());
    };
    std::stable_sort(entries_.begin(), entries_.end(),
                     [&](const library_entry &a, const library_entry &b) {
                         const size_t ra = rank(a), rb = rank(b);
                         return ra != rb ? ra < rb : a.name < b.name;
                     });
}

int script_library::find(const std::string &name) const {
    for (size_t i = 0; i < entries_.size(); i++)
        if (entries_[i].name == name) return (int)i;
    return -1;
}

void script_library::add_golden(const std::string &name, const uint8_t *frame) {
    goldens_[name].assign(frame, frame + LCD_PIXELS);
}

bool script_library::golden(const std::string &name, uint8_t *frame) const {
    const auto found = goldens_.find(name.compare(0, 2, "./") == 0 ? name.substr(2) : name);
    if (found == goldens_.end()) return false;
    memcpy(frame, found->second.data(), LCD_PIXELS);
    return true;
}

std::string link_offer_text(const std::string &bytes) {
    size_t lines = 0;
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        if (!trimmed(bytes.substr(at, end - at)).empty()) lines++;
        at = end + 1;
    }
    return "This link carries a script: \"" + script_title(bytes, "untitled") + "\", " +
           std::to_string(lines) + " lines, " + std::to_string(bytes.size()) +
           " bytes. Play it?";
}
