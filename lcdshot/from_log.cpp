// lcdshot --from-log: an engine data log turned into a scenario on standard
// output, or, with an output folder, into OUTDIR/NAME.txt played at once with
// the last frame as OUTDIR/NAME-end.png.
#include "lcdshot/from_log.h"

#include "host/data_log/data_log.h"
#include "host/script/lcd_script.h"
#include "host/png/png_io.h"

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

int usage_error(const std::string &message) {
    std::cerr << "lcdshot: " << printable(message) << "\n";
    return 2;
}

} // namespace

int from_log_main(int argc, char **argv) {
    log_options options;
    std::string log, outdir, settings_file;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        bool column = false;
        for (const column_option &c : COLUMN_OPTIONS)
            if (arg == c.name && has_value) {
                options.column[c.role] = argv[++i];
                column = true;
            }
        if (column) continue;
        if (arg == "--from-log" && has_value) {
            log = argv[++i];
        } else if ((arg == "--start" || arg == "--end") && has_value) {
            long long &at = arg == "--start" ? options.start : options.end;
            if (!parse_log_time(argv[++i], at))
                return usage_error(arg + " takes seconds or [H:]MM:SS: " + argv[i]);
        } else if (arg == "--map-unit" && has_value) {
            if (!parse_figure_unit(SLIDER_MAP, argv[++i], options.map_unit))
                return usage_error("--map-unit takes inHg or mB");
        } else if (arg == "--temp-unit" && has_value) {
            if (!parse_figure_unit(SLIDER_TEMP, argv[++i], options.temp_unit))
                return usage_error("--temp-unit takes C or F");
        } else if (arg == "--settings" && has_value) {
            settings_file = argv[++i];
        } else if (arg[0] != '-' && outdir.empty()) {
            outdir = arg;
        } else {
            return usage_error("unknown or incomplete option for --from-log: " + arg);
        }
    }
    if (options.start >= 0 && options.end >= 0 && options.end <= options.start)
        return usage_error("--end comes before --start");

    std::string csv;
    if (!read_capped(log, MAX_LOG_BYTES, csv)) {
        std::cerr << "lcdshot: cannot open " << printable(log) << "\n";
        return 1;
    }
    if (!settings_file.empty() &&
        !read_capped(settings_file, lcd_script::MAX_SCRIPT_BYTES / 16, options.settings)) {
        std::cerr << "lcdshot: cannot open " << printable(settings_file) << "\n";
        return 1;
    }
    const std::string name = std::filesystem::path(log).stem().string();
    options.title = std::filesystem::path(log).filename().string();
    log_conversion result;
    if (!convert_data_log(csv, options, result)) {
        std::cerr << "lcdshot: " << printable(log) << ": " << result.error << "\n";
        return 1;
    }
    for (const std::string &w : result.warnings)
        std::cerr << "lcdshot: " << printable(log) << ": warning: " << w << "\n";
    if (outdir.empty()) {
        std::cout << result.script;
        return 0;
    }

    png_frame_files files(outdir);
    std::error_code ec;
    std::filesystem::create_directories(outdir, ec);
    const std::string scenario = (std::filesystem::path(outdir) / (name + ".txt")).string();
    std::ofstream(scenario, std::ios::binary) << result.script;
    std::cout << printable(scenario) << "\n";
    lcd_script runner(files, 4, [](const std::string &line) { std::cout << line; });
    if (!runner.run(result.script + "golden " + name + "-end\n")) {
        std::cerr << "lcdshot: " << printable(scenario) << ": " << runner.error() << "\n";
        return 1;
    }
    return 0;
}
