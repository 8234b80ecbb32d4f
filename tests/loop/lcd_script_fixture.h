// The script interpreter's test fixture: a script run from program start,
// its pictures in a folder of its own, what it reported kept.
#pragma once
#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "host/shell/engine_timers.h"
#include "host/shell/lcd_palette.h"
#include "host/script/lcd_script.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "host/script/session_recorder.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "host/png/png_io.h"

#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

class LcdScript : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        std::string pattern = (std::filesystem::temp_directory_path() / "lcdshot-XXXXXX").string();
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        outdir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(outdir); }

    bool run(const std::string &text, int scale = 4) {
        log.clear();
        reset_program_state();
        files = std::make_unique<png_frame_files>(outdir, outdir);
        script = std::make_unique<lcd_script>(*files, scale,
                                              [this](const std::string &line) { log += line; });
        return script->run(text);
    }

    // Goes on with the same script, after the test changed a setting.
    bool more(const std::string &text) { return script->run(text); }

    std::string outdir;
    std::string log; // what the script reported
    std::unique_ptr<png_frame_files> files;
    std::unique_ptr<lcd_script> script;
};

