// lcdshot --from-log: an engine data log turned into a scenario on standard
// output, or, with an output folder, into OUTDIR/NAME.txt played at once with
// the last frame as OUTDIR/NAME-end.png.
#include "lcdshot/from_log.h"

#include "host/data_log/data_log.h"
#include "host/files/replace_file.h"
#include "host/profiles/profile.h"
#include "host/runner/script_runner.h"
#include "host/text/printable.h"

#include <string.h>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

// Reads at most `cap` bytes and one more, so that a larger file is refused
// without being read whole.
bool read_capped(const std::string &path, size_t cap, std::string &text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.clear();
    char chunk[1 << 16];
    while (text.size() <= cap && in.read(chunk, sizeof chunk).gcount() > 0)
        text.append(chunk, (size_t)in.gcount());
    if (text.size() > cap + 1) text.resize(cap + 1);
    return true;
}

struct column_option {
    const char *name;
    log_role role;
};

const column_option COLUMN_OPTIONS[] = {
    {"--time", LOG_TIME}, {"--date", LOG_DATE}, {"--rpm", LOG_RPM},
    {"--map", LOG_MAP},   {"--temp", LOG_TEMP},
};

// The part converted: after the first row, or by the log's clock times.
struct bound_option {
    const char *name;
    bool end, clock;
};

const bound_option BOUND_OPTIONS[] = {
    {"--start", false, false},
    {"--end", true, false},
    {"--start-at", false, true},
    {"--end-at", true, true},
};

// The program's name, for its messages.
std::string program_name;

int usage_error(const std::string &message) {
    std::cerr << program_name << ": " << printable(message) << "\n";
    return 2;
}

int failure(const std::string &path, const std::string &message) {
    std::cerr << program_name << ": " << printable(path) << ": " << printable(message) << "\n";
    return 1;
}

} // namespace

int from_log_main(const std::string &program, int argc, char **argv) {
    program_name = program;
    log_options options;
    std::string log, outdir, profile_file;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        bool taken = false; // an option with its value
        for (const column_option &c : COLUMN_OPTIONS)
            if (arg == c.name && has_value) {
                options.column[c.role] = argv[++i];
                taken = true;
            }
        for (const bound_option &b : BOUND_OPTIONS)
            if (!taken && arg == b.name && has_value) {
                std::string why;
                if (!set_log_bound(options, b.end, b.clock, argv[++i], why))
                    return usage_error(arg + " " + why + ": " + argv[i]);
                taken = true;
            }
        if (taken) continue;
        if (arg == "--from-log" && has_value) {
            log = argv[++i];
        } else if (arg == "--map-unit" && has_value) {
            if (!parse_figure_unit(SLIDER_MAP, argv[++i], options.map_unit))
                return usage_error("--map-unit takes inHg or mB");
        } else if (arg == "--temp-unit" && has_value) {
            if (!parse_figure_unit(SLIDER_TEMP, argv[++i], options.temp_unit))
                return usage_error("--temp-unit takes C or F");
        } else if (arg == "--profile" && has_value) {
            profile_file = argv[++i];
        } else if (arg == "--settings") {
            return usage_error("--settings is replaced by --profile FILE: the settings by name "
                               "and value, put in place at power-on (omnira-lcdshot(1))");
        } else if (arg[0] != '-' && outdir.empty()) {
            outdir = arg;
        } else {
            return usage_error("unknown or incomplete option for --from-log: " + arg);
        }
    }
    std::string why;
    if (!check_log_part(options, why)) return usage_error("--start and --end: " + why);

    std::string csv;
    if (!read_capped(log, MAX_LOG_BYTES, csv)) return failure(log, "cannot open the log");
    if (!profile_file.empty()) {
        instrument_profile profile;
        std::string text, error;
        if (!read_capped(profile_file, MAX_PROFILE_BYTES, text))
            return failure(profile_file, "cannot open the profile");
        if (!read_profile(text, profile, error)) return failure(profile_file, error);
        options.settings = profile_lines(profile);
    }
    // The log's name goes into the scenario only as its printable title
    // (host/data_log); the files take only letters, digits, _ and -.
    const std::string name =
        file_name_part(std::filesystem::path(log).stem().string(), "log");
    options.title = std::filesystem::path(log).filename().string();
    log_conversion result;
    if (!convert_data_log(csv, options, result)) return failure(log, result.error);
    for (const std::string &w : result.warnings)
        std::cerr << program_name << ": " << printable(log) << ": warning: " << printable(w)
                  << "\n";
    if (outdir.empty()) {
        std::cout << result.script;
        return std::cout.flush() ? 0 : failure("standard output", "cannot write the scenario");
    }

    std::error_code ec;
    std::filesystem::create_directories(outdir, ec);
    if (ec) return failure(outdir, "cannot make the folder: " + ec.message());
    const std::string scenario = (std::filesystem::path(outdir) / (name + ".txt")).string();
    std::string error;
    if (!replace_file(scenario, result.script, error))
        return failure(scenario, "cannot write the scenario: " + error);
    std::cout << printable(scenario) << "\n";
    script_run_options play;
    play.outdir = outdir;
    const script_run_result ran =
        run_script(result.script + "golden " + name + "-end\n", name, play,
                   [](const std::string &line) { std::cout << line; });
    if (ran.result == script_run_result::PASSED) return 0;
    const std::string line = std::to_string(ran.failures.empty() ? ran.error_line
                                                                 : ran.failures[0].line);
    return failure(scenario + ":" + line,
                   ran.failures.empty() ? ran.error : ran.failures[0].message);
}
