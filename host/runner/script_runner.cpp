#include "host/runner/script_runner.h"

#include "display/frame_buffer.h"
#include "host/files/replace_file.h"
#include "host/png/png_io.h"
#include "host/script/instrument_state.h"
#include "host/shell/program_state.h"
#include "host/text/printable.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

// The script's pictures kept as frames, and written as files unless there is
// no output folder; everything else as png_frame_files does it.
class kept_files : public png_frame_files {
  public:
    kept_files(const std::string &outdir, const std::string &goldens,
               std::vector<script_picture> &kept)
        : png_frame_files(outdir, goldens), in_memory_(outdir.empty()), kept_(kept) {}

    bool write_frame(const std::string &name, const uint8_t *frame, int scale, bool exact,
                     std::string &where) override {
        if (in_memory_)
            where = name + " (kept)";
        else if (!png_frame_files::write_frame(name, frame, scale, exact, where))
            return false;
        kept_.push_back({name, in_memory_ ? "" : where, {frame, frame + LCD_PIXELS}});
        return true;
    }
    bool write_state(const std::string &name, const std::string &json,
                     std::string &where) override {
        if (!in_memory_) return png_frame_files::write_state(name, json, where);
        where = name + ".json (kept)";
        return true;
    }
    void write_mismatch(const std::string &file, const uint8_t *golden, const uint8_t *frame,
                        std::string &where) override {
        if (!in_memory_) png_frame_files::write_mismatch(file, golden, frame, where);
    }

  private:
    bool in_memory_;
    std::vector<script_picture> &kept_;
};

} // namespace

script_run_result run_script(const std::string &text, const std::string &name,
                             const script_run_options &options, const script_report &report) {
    script_run_result result;
    kept_files files(options.outdir, options.goldens, result.pictures);
    lcd_script script(files, options.scale, report);
    script.set_keep_going(options.keep_going);
    script.set_update_goldens(options.update_goldens);
    script.set_states_with_pictures(options.states);
    script.settings_at_power_on(options.power_on_settings);
    reset_program_state();
    const bool passed = script.run(text);
    result.ticks = script.ticks_played();
    result.updated = script.updated();
    if (!passed && script.check_failed()) {
        result.result = script_run_result::FAILED;
        result.failures = script.failures();
        if (result.failures.empty())
            result.failures.push_back({script.error_line(), script.message()});
    } else if (!passed) {
        result.result = script_run_result::NOT_RUN;
        result.error = script.message();
        result.error_line = script.error_line();
        return result;
    }
    if (options.states && !options.update_goldens) {
        std::string where;
        const std::string end = file_name_part(name, "script") + "-end";
        if (files.write_state(end, instrument_state_json(script.panel().running, result.ticks),
                              where))
            report(printable(where) + "\n");
    }
    return result;
}

script_run_result run_script_file(const std::string &path, const script_run_options &options,
                                  const script_report &report) {
    namespace fs = std::filesystem;
    script_run_result refused;
    refused.result = script_run_result::NOT_RUN;
    std::string text;
    if (path == "-") {
        text.assign(lcd_script::MAX_SCRIPT_BYTES + 1, '\0');
        std::cin.read(&text[0], (std::streamsize)text.size());
        text.resize((size_t)std::cin.gcount());
    } else {
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            refused.error = "a folder, not a script";
            return refused;
        }
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            refused.error =
                stat(path.c_str(), &st) != 0 ? "cannot open the script" : "not a regular file";
            return refused;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            refused.error = "cannot open the script";
            return refused;
        }
        // One byte past the cap, so that a longer script is refused unread.
        text.assign(lcd_script::MAX_SCRIPT_BYTES + 1, '\0');
        in.read(&text[0], (std::streamsize)text.size());
        text.resize((size_t)in.gcount());
    }
    script_run_options own = options;
    if (own.goldens.empty() && path != "-") own.goldens = fs::path(path).parent_path().string();
    return run_script(text, path == "-" ? "stdin" : fs::path(path).stem().string(), own, report);
}
