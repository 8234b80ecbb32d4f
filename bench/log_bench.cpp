// Data logs: converting a three-hour log at 1 Hz with 60 columns (generated
// here, 10,800 rows), and playing the scenario it gives headless as lcdshot
// does.
#include "host/data_log/data_log.h"
#include "host/script/lcd_script.h"
#include "host/shell/program_state.h"

#include <benchmark/benchmark.h>
#include <math.h>
#include <stdio.h>

#include <string>

namespace {

const int ROWS = 3 * 3600, COLUMNS = 60;

// A date and clock column, 54 other columns, and the engine's four, whose
// figures wander as a flight's do.
std::string three_hour_log() {
    std::string csv = "#log version 1\nLcl Date,Lcl Time";
    for (int c = 2; c < COLUMNS - 4; c++) csv += ",Other" + std::to_string(c);
    csv += ",E1 RPM,E1 MAP,E1 OilT,E1 CHT1\n";
    char cell[64];
    for (int r = 0; r < ROWS; r++) {
        snprintf(cell, sizeof cell, "2026-06-14,%02d:%02d:%02d", 8 + r / 3600, r / 60 % 60, r % 60);
        csv += cell;
        for (int c = 2; c < COLUMNS - 4; c++) csv += "," + std::to_string((r * 7 + c) % 1000);
        snprintf(cell, sizeof cell, ",%d,%.1f,%d,%d\n", 2300 + (int)(200 * sin(r / 50.0)),
                 24.0 + 3 * sin(r / 70.0), 170 + (int)(20 * sin(r / 900.0)), 350 + r % 20);
        csv += cell;
    }
    return csv;
}

class no_files : public frame_files {
  public:
    bool write_frame(const std::string &, const uint8_t *, int, bool, std::string &) override {
        return false;
    }
    bool read_golden(const std::string &, uint8_t *, std::string &) override { return false; }
};

void convert_three_hours(benchmark::State &state) {
    const std::string csv = three_hour_log();
    log_conversion result;
    for (auto _ : state) {
        if (!convert_data_log(csv, log_options(), result))
            state.SkipWithError(result.error.c_str());
        benchmark::DoNotOptimize(result.script.data());
    }
    state.counters["log_MB"] = csv.size() / 1e6;
    state.counters["scenario_KB"] = result.script.size() / 1e3;
}
BENCHMARK(convert_three_hours)->Unit(benchmark::kMillisecond);

void play_three_hours(benchmark::State &state) {
    log_conversion result;
    convert_data_log(three_hour_log(), log_options(), result);
    no_files files;
    for (auto _ : state) {
        reset_program_state();
        lcd_script script(files, 1, [](const std::string &) {});
        if (!script.run(result.script)) state.SkipWithError(script.error().c_str());
    }
}
BENCHMARK(play_three_hours)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
