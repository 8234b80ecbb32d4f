// lcdshot: runs an input script headless and writes the LCD as PNG files.
#include "host/script/lcd_script.h"
#include "lcdshot/from_log.h"
#include "host/png/png_io.h"

#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// The usage; with the options and exit codes for --help.
void print_usage(std::ostream &out, bool full) {
    out << "usage: omnira-lcdshot [--scale N] [--goldens DIR] SCRIPT|- [OUTDIR]\n"
           "       omnira-lcdshot --from-log LOG.csv [--start T] [--end T] [--time COL]\n"
           "           [--date COL] [--rpm COL] [--map COL] [--temp COL] [--map-unit U]\n"
           "           [--temp-unit U] [--settings FILE] [OUTDIR]\n"
           "       omnira-lcdshot -h | --help | -v | --version\n"
           "Runs the script's panel inputs through the power loop and writes each\n"
           "`shot NAME` / `golden NAME` to OUTDIR/NAME.png (OUTDIR defaults to .).\n";
    if (!full) return;
    out << "\n"
           "  --scale N      pixel scale of shots, 1..16 (default 4)\n"
           "  --goldens DIR  the folder `expect golden` reads from, and below it\n"
           "                 (default: the script's folder; for - the working directory)\n"
           "  --from-log LOG an engine data log (CSV) as a scenario on standard output;\n"
           "                 with OUTDIR written to OUTDIR/NAME.txt and played, its\n"
           "                 last frame as NAME-end.png. --start/--end: seconds or\n"
           "                 [H:]MM:SS after the first row; --time ... --temp: the\n"
           "                 columns by name; --settings: key lines after power-on\n"
           "  -h, --help     this text\n"
           "  -v, --version  the program's name and version\n"
           "\n"
           "Exit status: 0 the script ran to its end, 1 a bad line, a failed expect or\n"
           "an unreadable script, 2 a usage error. The script language: omnira-lcdshot(1).\n";
}

int usage() {
    print_usage(std::cerr, false);
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    int scale = 4;
    std::string script, outdir = ".", goldens;
    bool goldens_given = false;
    int positional = 0;
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], "--from-log") == 0) return from_log_main(argc, argv);
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            char *end = nullptr;
            long s = strtol(argv[++i], &end, 10);
            if (*end != '\0' || s < lcd_script::MIN_SCALE || s > lcd_script::MAX_SCALE) {
                std::cerr << "lcdshot: --scale takes " << lcd_script::MIN_SCALE << ".."
                          << lcd_script::MAX_SCALE << "\n";
                return 2;
            }
            scale = (int)s;
        } else if (strcmp(argv[i], "--goldens") == 0 && i + 1 < argc) {
            goldens = argv[++i];
            goldens_given = true;
        } else if (strcmp(argv[i], "-h") == 0 || strcmp(argv[i], "--help") == 0) {
            print_usage(std::cout, true);
            return 0;
        } else if (strcmp(argv[i], "-v") == 0 || strcmp(argv[i], "--version") == 0) {
            std::cout << "omnira-lcdshot " OMNIRA_VERSION "\n";
            return 0;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return usage();
        } else if (positional == 0) {
            script = argv[i];
            positional++;
        } else if (positional == 1) {
            outdir = argv[i];
            positional++;
        } else {
            return usage();
        }
    }
    if (positional == 0) return usage();

    // Goldens are the script's neighbours unless a folder is given.
    if (!goldens_given && script != "-") goldens = std::filesystem::path(script).parent_path();
    png_frame_files files(outdir, goldens);
    lcd_script runner(files, scale, [](const std::string &line) { std::cout << line; });
    bool ok;
    if (script == "-") {
        ok = runner.run(std::cin);
    } else {
        std::error_code ec;
        if (std::filesystem::is_directory(script, ec)) {
            std::cerr << "lcdshot: " << printable(script) << " is a folder, not a script\n";
            return 1;
        }
        std::ifstream in(script);
        if (!in) {
            std::cerr << "lcdshot: cannot open " << printable(script) << "\n";
            return 1;
        }
        ok = runner.run(in);
    }
    if (!ok) {
        std::cerr << "lcdshot: " << (script == "-" ? "stdin" : printable(script)) << ": " << runner.error()
                  << "\n";
        return 1;
    }
    return 0;
}
