// Running whole scripts headless, one after another, as lcdshot and the
// Python module do: each from program start, its pictures and states as
// files (or kept in memory), its outcome and every failure as data.
#pragma once
#include "host/script/lcd_script.h"

#include <stdint.h>

#include <string>
#include <vector>

struct script_run_options {
    // Where pictures and states go; empty: kept in memory only.
    std::string outdir = ".";
    // Where `expect golden` reads from; empty: the script's folder (for a
    // script given as text, the working directory).
    std::string goldens;
    int scale = 4;
    bool keep_going = false;     // report every failed expect
    bool update_goldens = false; // write the goldens the script expects
    bool states = false;         // a state beside every picture, and NAME-end.json
    // Settings put in place after every `on` (an instrument profile's).
    std::vector<std::pair<int, setting_value>> power_on_settings;
};

struct script_picture {
    std::string name;           // as the script names it
    std::string where;          // the file written, or empty when kept in memory
    std::vector<uint8_t> frame; // 160 x 120 palette indices
};

struct script_run_result {
    // PASSED: ran to its end, every check held. FAILED: a check failed.
    // NOT_RUN: the script could not be read or a line could not be done.
    enum outcome { PASSED, FAILED, NOT_RUN };
    outcome result = PASSED;
    // FAILED: each failed check, its line and message ("at 0:31.4: ...").
    std::vector<lcd_script::failure> failures;
    // NOT_RUN: why, and the line (0 for the whole script).
    std::string error;
    int error_line = 0;
    std::vector<script_picture> pictures;
    std::vector<std::string> updated; // goldens rewritten
    long long ticks = 0;              // the script's time played
};

// Runs `text` from program start; `name` names its end state (NAME-end.json).
// Every line the script reports (notes, pictures, warnings) goes to `report`.
script_run_result run_script(const std::string &text, const std::string &name,
                             const script_run_options &options, const script_report &report);

// Reads the script at `path` ("-" for standard input) and runs it; its goldens
// are its neighbours unless options.goldens names a folder.
script_run_result run_script_file(const std::string &path, const script_run_options &options,
                                  const script_report &report);
