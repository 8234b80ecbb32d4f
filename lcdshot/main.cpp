// lcdshot: runs input scripts headless, writes the LCD as PNG files and
// reports each script's checks (on the terminal, as TAP, as JUnit XML).
#include "host/files/replace_file.h"
#include "host/profiles/profile.h"
#include "host/runner/script_runner.h"
#include "host/text/printable.h"
#include "lcdshot/from_log.h"
#include "lcdshot/reports.h"

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Exit codes: every script passed, a check failed, the command line was
// wrong, a script could not run.
const int EXIT_PASSED = 0, EXIT_CHECK_FAILED = 1, EXIT_USAGE = 2, EXIT_NOT_RUN = 3;

// The usage; with the options and exit codes for --help.
void print_usage(std::ostream &out, const std::string &program, bool full) {
    out << "usage: " << program
        << " [options] SCRIPT|-... [-o OUTDIR]\n"
           "       "
        << program
        << " [options] SCRIPT|- OUTDIR\n"
           "       "
        << program
        << " --update-goldens SCRIPT...\n"
           "       "
        << program
        << " --from-log LOG.csv [--start T] [--end T] [--start-at CLOCK]\n"
           "           [--end-at CLOCK] [--time COL] [--date COL] [--rpm COL] [--map COL]\n"
           "           [--temp COL] [--map-unit U] [--temp-unit U] [--profile FILE] [OUTDIR]\n"
           "       "
        << program
        << " -h | --help | -v | --version\n"
           "Runs each script's panel inputs through the power loop from program start,\n"
           "writes each `shot NAME` / `golden NAME` to OUTDIR/NAME.png and checks its\n"
           "`expect` lines (OUTDIR defaults to .).\n";
    if (!full) return;
    out << "\n"
           "  -o, --outdir DIR  where pictures, states and failure pictures go; without\n"
           "                    it, a last argument that is a folder or does not end\n"
           "                    in .txt is OUTDIR\n"
           "  --scale N         pixel scale of shots, 1..16 (default 4)\n"
           "  --goldens DIR     the folder `expect golden` reads from, and below it\n"
           "                    (default: each script's folder; for - the working directory)\n"
           "  --keep-going      report every failed expect of a script, not the first only\n"
           "  --state           with every shot and golden NAME.json, the instrument's\n"
           "                    state, and SCRIPT-end.json at the end of each script\n"
           "  --junit FILE      a JUnit XML report: one testsuite, a testcase a script\n"
           "  --tap             the report as TAP on standard output (the scripts' own\n"
           "                    lines go to standard error)\n"
           "  --profile FILE    an instrument profile: its settings put in place at every\n"
           "                    `on` (with --from-log: at the flight's power-on)\n"
           "  --update-goldens  write every golden the scripts expect from what they now\n"
           "                    show, going on past other failures; no other pictures\n"
           "  --from-log LOG    an engine data log (CSV) as a scenario on standard output;\n"
           "                    with OUTDIR written to OUTDIR/NAME.txt and played, its\n"
           "                    last frame as NAME-end.png. --start/--end: seconds or\n"
           "                    [H:]MM:SS after the first row; --start-at/--end-at: the\n"
           "                    log's clock times; --time ... --temp: the columns by name\n"
           "  -h, --help        this text\n"
           "  -v, --version     the program's name and version\n"
           "\n"
           "Messages read FILE:LINE: message. Exit status: 0 every script passed,\n"
           "1 a check failed (an expect, a golden, a lesson's step), 2 a usage error,\n"
           "3 a script could not run (unreadable, a bad line, a picture not written);\n"
           "3 wins over 1. The script language: omnira-lcdshot(1).\n";
}

struct arguments {
    script_run_options options;
    std::vector<std::string> scripts;
    std::string junit;
    bool tap = false, outdir_given = false;
};

bool is_folder(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// An instrument profile whose settings every `on` of the scripts puts in place.
bool read_profile_file(const std::string &path, script_run_options &options,
                       std::string &problem) {
    std::ifstream in(path, std::ios::binary);
    std::string text(MAX_PROFILE_BYTES + 1, '\0');
    text.resize(in ? (size_t)in.read(&text[0], (std::streamsize)text.size()).gcount() : 0);
    instrument_profile profile;
    std::string error = in || in.eof() ? "" : "cannot be read";
    if (error.empty() && read_profile(text, profile, error)) {
        options.power_on_settings = profile.settings;
        return true;
    }
    problem = "--profile " + path + ": " + error;
    return false;
}

bool ends_with(const std::string &text, const std::string &end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Reads the command line; false with `problem` set for a usage error.
bool parse_arguments(int argc, char **argv, arguments &a, std::string &problem) {
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--scale" && has_value) {
            char *end = nullptr;
            const long s = strtol(argv[++i], &end, 10);
            if (*end != '\0' || s < lcd_script::MIN_SCALE || s > lcd_script::MAX_SCALE) {
                problem = "--scale takes " + std::to_string(lcd_script::MIN_SCALE) + ".." +
                          std::to_string(lcd_script::MAX_SCALE);
                return false;
            }
            a.options.scale = (int)s;
        } else if (arg == "--goldens" && has_value) {
            a.options.goldens = argv[++i];
        } else if ((arg == "-o" || arg == "--outdir") && has_value) {
            a.options.outdir = argv[++i];
            a.outdir_given = true;
        } else if (arg == "--junit" && has_value) {
            a.junit = argv[++i];
        } else if (arg == "--tap") {
            a.tap = true;
        } else if (arg == "--keep-going") {
            a.options.keep_going = true;
        } else if (arg == "--state") {
            a.options.states = true;
        } else if (arg == "--update-goldens") {
            a.options.update_goldens = true;
        } else if (arg == "--profile" && has_value) {
            if (!read_profile_file(argv[++i], a.options, problem)) return false;
        } else if (arg == "-" || arg[0] != '-') {
            a.scripts.push_back(arg);
        } else {
            problem = "unknown or incomplete option " + arg;
            return false;
        }
    }
    // Today's `lcdshot SCRIPT OUTDIR`: a last argument that is a folder or
    // names no script (.txt) is the output folder.
    if (!a.outdir_given && a.scripts.size() >= 2) {
        const std::string &last = a.scripts.back();
        if (last != "-" && (is_folder(last) || !ends_with(last, ".txt"))) {
            a.options.outdir = last;
            a.scripts.pop_back();
        }
    }
    if (a.scripts.empty()) {
        problem = "no script given";
        return false;
    }
    int stdin_scripts = 0;
    for (const std::string &s : a.scripts) stdin_scripts += s == "-";
    if (stdin_scripts > 1) {
        problem = "standard input (-) can be given once";
        return false;
    }
    return true;
}

std::string base_name(const char *path) {
    const char *slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

} // namespace

int main(int argc, char **argv) {
    const std::string program = printable(base_name(argc > 0 ? argv[0] : "omnira-lcdshot"));
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            print_usage(std::cout, program, true);
            return EXIT_PASSED;
        }
        if (strcmp(argv[i], "-v") == 0 || strcmp(argv[i], "--version") == 0) {
            std::cout << "omnira-lcdshot " OMNIRA_VERSION "\n";
            return EXIT_PASSED;
        }
    }
    remove_temporaries_on_signals();
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--from-log") == 0) return from_log_main(program, argc, argv);

    arguments a;
    std::string problem;
    if (!parse_arguments(argc, argv, a, problem)) {
        std::cerr << program << ": " << printable(problem) << "\n";
        print_usage(std::cerr, program, false);
        return EXIT_USAGE;
    }

    // With --tap standard output carries the report alone.
    std::ostream &said = a.tap ? std::cerr : std::cout;
    const script_report report = [&said](const std::string &line) { said << line; };
    std::vector<script_report_entry> entries;
    int exit_code = EXIT_PASSED;
    for (const std::string &script : a.scripts) {
        const auto start = std::chrono::steady_clock::now();
        script_report_entry entry{script == "-" ? "stdin" : printable(script),
                                  run_script_file(script, a.options, report), 0};
        entry.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        said.flush();
        for (const std::string &line : failure_lines(entry))
            std::cerr << program << ": " << line << "\n";
        const script_run_result &r = entry.result;
        if (r.result == script_run_result::NOT_RUN)
            exit_code = EXIT_NOT_RUN;
        else if (r.result == script_run_result::FAILED && exit_code == EXIT_PASSED)
            exit_code = EXIT_CHECK_FAILED;
        if (a.options.update_goldens)
            said << program << ": " << entry.script << ": " << r.updated.size()
                 << (r.updated.size() == 1 ? " golden" : " goldens") << " changed\n";
        if (a.scripts.size() > 1)
            said << program << ": " << entry.script << ": "
                 << (r.result == script_run_result::PASSED   ? "passed"
                     : r.result == script_run_result::FAILED ? "failed"
                                                             : "not run")
                 << "\n";
        entries.push_back(std::move(entry));
    }
    if (a.tap) write_tap(std::cout, entries);
    if (!a.junit.empty()) {
        std::string error;
        if (!replace_file(a.junit, junit_xml(program, entries), error)) {
            std::cerr << program << ": cannot write " << printable(a.junit) << ": "
                      << printable(error) << "\n";
            return EXIT_NOT_RUN;
        }
    }
    return exit_code;
}
