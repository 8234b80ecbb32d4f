// One pass of the power loop (sensor tasks, clear, screen handler) for every
// screen handler and every run page in a typical state, the gauge page in
// alarm, and the headless driver's passes per second.
#include "bench/worst_script.h"
#include "core/alarms.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "host/script/lcd_script.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "tests/support/instrument.h"
#include "host/png/png_io.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

// Cruise: 5000 rpm, 30.0 inHg, 50 C, the EXIO unit connected, the filter settled.
const panel CRUISE = {30000, 1518, 1};

void cruise(void) {
    start_program_and_power_on(CRUISE);
    temp_slider_change(2674);
    passes(10, CRUISE.exio);
}

void measure(benchmark::State &state, screen_handler handler) {
    for (auto _ : state) {
        current_screen = handler;
        power_pass(CRUISE.exio);
        benchmark::ClobberMemory();
    }
}

void screen_pass(benchmark::State &state, int entry) {
    cruise();
    measure(state, screen_table[entry].handler);
}

void run_page_pass(benchmark::State &state, uint8_t page, uint8_t mag_check) {
    cruise();
    run_page = page;
    mag_check_countdown = mag_check;
    measure(state, run_screen);
}

// The MAP gauge (RPM display off) at cruise.
void gauge(benchmark::State &state) {
    cruise();
    settings.rpm_display_on = 0;
    measure(state, run_screen);
}

// The MAP gauge with MAP above its high alarm, in the blink phase that
// flashes the value.
void gauge_in_alarm(benchmark::State &state) {
    start_program_and_power_on(CRUISE);
    settings.rpm_display_on = 0;
    map_slider_change(2400);
    passes(20, CRUISE.exio);
    while (blink_phase != 1) timebase_tick();
    if (!(alarm_active & ALARM_MAP)) state.SkipWithError("MAP is not in alarm");
    measure(state, run_screen);
}

void driver_passes(benchmark::State &state) {
    png_frame_files files("");
    lcd_script script(files, 1, [](const std::string &) {});
    script.run("rpm 30000\nmap 1518\ntemp 2674\non\n");
    for (auto _ : state)
        if (!script.run("pass 100\n")) state.SkipWithError(script.error().c_str());
    state.counters["passes_per_second"] =
        benchmark::Counter(100, benchmark::Counter::kIsIterationInvariantRate);
}

// Checking the script of most work at a size before it plays, as every front
// end does: the rehearsal runs it whole.
void worst_script_check(benchmark::State &state, size_t bytes) {
    png_frame_files files("");
    const std::string text = worst_script(bytes);
    for (auto _ : state) {
        lcd_script script(files, 1, [](const std::string &) {});
        if (!script.prepare(text)) state.SkipWithError(script.error().c_str());
    }
}

void register_all(void) {
    for (int i = 0; i < screen_table_size; i++)
        benchmark::RegisterBenchmark((std::string("pass/") + screen_table[i].name).c_str(),
                                     screen_pass, i);
    benchmark::RegisterBenchmark("pass/run/mag_check", run_page_pass, RUN_PAGE_MAIN, 60);
    benchmark::RegisterBenchmark("pass/run/timers", run_page_pass, RUN_PAGE_TIMERS, 0);
    benchmark::RegisterBenchmark("pass/run/max_values", run_page_pass, RUN_PAGE_MAX_VALUES, 0);
    benchmark::RegisterBenchmark("pass/run/gauge", gauge);
    benchmark::RegisterBenchmark("pass/run/gauge_in_alarm", gauge_in_alarm);
    benchmark::RegisterBenchmark("lcd_script/pass_100", driver_passes);
    benchmark::RegisterBenchmark("lcd_script/check_worst_1KB", worst_script_check, 1024)
        ->Unit(benchmark::kSecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("lcd_script/check_worst_8KB", worst_script_check, 8192)
        ->Unit(benchmark::kSecond)
        ->Iterations(1);
}

} // namespace

int main(int argc, char **argv) {
    register_all();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
