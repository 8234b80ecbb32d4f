// The libraries bundled with the simulator: scenarios, lessons and preset
// instrument profiles, each a folder of files (titled by their first comment
// line) with a course.list giving the order of a course, and the goldens the
// scenarios expect. The front end hands over the files it has
// (from its resources or its page); the session lists and plays them.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <map>
#include <string>
#include <vector>

enum library_kind { LIBRARY_SCENARIOS, LIBRARY_LESSONS, LIBRARY_PROFILES, LIBRARY_KINDS };

struct library_entry {
    std::string name;  // the file name without ".txt": a link names it so
    std::string title; // printable
    std::string text;  // the script's bytes
};

class script_library {
  public:
    // A script of the library, "run_up.txt" and its bytes.
    void add(const std::string &file_name, const std::string &bytes);
    // The course.list: a file name a line, "#" lines aside.
    void set_course(const std::string &course_list);
    // A golden as a scenario names it ("goldens/run_up_done.png").
    void add_golden(const std::string &name, const uint8_t *frame);
    bool golden(const std::string &name, uint8_t *frame) const;

    // The scripts in the course's order, then any it does not name by file name.
    const std::vector<library_entry> &entries() const { return entries_; }
    // The index of the script of that name, or -1.
    int find(const std::string &name) const;

  private:
    void order();

    std::vector<library_entry> entries_;
    std::vector<std::string> course_;
    std::map<std::string, std::vector<uint8_t>> goldens_;
};

// A script's title: its first line's text when that is a comment, else
// `fallback`, printable either way.
std::string script_title(const std::string &bytes, const std::string &fallback);

// What a link carrying a script offers before it plays: its title, its
// lines and its size, printable.
std::string link_offer_text(const std::string &bytes);
