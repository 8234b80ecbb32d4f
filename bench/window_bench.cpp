// The LCD presentation and the window's power loop under X (Xvfb in
// `make bench`): render_frame for an all-lit and a typical frame in the
// window's own OpenGL context, and the passes per second of the loop behind
// "&On" on the gauge page, with the share of one core the process takes
// meanwhile (every thread, the GL driver's included).
#include "bench/worst_script.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "host/shell/power_loop.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "tests/support/instrument.h"
#include "window/TfrmMain.h"
#include "window/instrument_panel.h"
#include "window/lcd_presentation.h"
#include "window/playback_strip.h"

#include <QApplication>
#include <QOpenGLContext>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <string.h>
#include <sys/resource.h>

#include <chrono>

namespace {

TfrmMain *window;

// render_frame, waited for with glFinish so the time includes the drawing.
void render(benchmark::State &state) {
    for (auto _ : state) {
        render_frame();
        glFinish();
    }
}

void render_all_lit(benchmark::State &state) {
    memset(frame_buffer, COLOUR_WHITE, sizeof frame_buffer);
    render(state);
}

// The gauge page at cruise: 5000 rpm, 30.0 inHg, 50 C.
void gauge_frame(void) {
    start_program_and_power_on({30000, 1518, 0});
    temp_slider_change(2674);
    settings.rpm_display_on = 0;
    passes(10);
}

void render_typical(benchmark::State &state) {
    gauge_frame();
    render(state);
}

// Counts the passes of the window's loop and ends it after LOOP_PASSES.
const int LOOP_PASSES = 200;
int loop_passes;

void counting_gauge_screen(void) {
    settings.rpm_display_on = 0;
    run_screen();
    if (++loop_passes == LOOP_PASSES) power_off_request = 1;
}

// Seconds of CPU the whole process has used.
double process_cpu_seconds() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void window_loop(benchmark::State &state) {
    window->Controls->ScrollBar29->setValue(30000);
    window->Controls->ScrollBar30->setValue(1518);
    window->Controls->ScrollBar1->setValue(2674);
    const double cpu_start = process_cpu_seconds();
    const auto wall_start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        loop_passes = 0;
        // The first pass after "&On" runs on the run screen's handler; from
        // the timer callback on, every pass is counted.
        QTimer::singleShot(0, [] { current_screen = counting_gauge_screen; });
        window->Button1Click();
        (void)QTest::qWaitFor(
            [] { return loop_passes == LOOP_PASSES && !window->powerLoopRunning(); }, 60000);
        if (loop_passes != LOOP_PASSES) state.SkipWithError("the loop ended early");
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_start;
    state.counters["passes_per_second"] =
        benchmark::Counter(LOOP_PASSES, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["cpu_share_of_one_core"] = (process_cpu_seconds() - cpu_start) / wall.count();
}

// Checking the script of most work at a size in the window, the instrument
// off: slices between the window's events until it plays.
void worst_script_check(benchmark::State &state, size_t bytes) {
    const std::string text = worst_script(bytes);
    session &s = window->simulation();
    for (auto _ : state) {
        s.play_script(text, "Worst", "", "");
        window->sessionChanged();
        while (s.checking()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!s.playing()) state.SkipWithError("the script was refused");
        window->StopScenario1Click();
    }
}

// Seeking in a 10-minute scenario, to a tick just before each checkpoint
// (the most replayed), as a click on the timeline does.
void seek_ten_minutes(benchmark::State &state) {
    std::string text = "rpm 30000\nmap 1522\ntemp 2674\non\n";
    for (int minute = 0; minute < 10; minute++)
        text += "ramp rpm " + std::to_string(1000 + minute * 200) + " rpm 30\nhold 30\n";
    session &s = window->simulation();
    s.play_script(text, "Ten minutes", "", "");
    window->sessionChanged();
    while (s.checking()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!s.playing()) state.SkipWithError("the script was refused");
    long long tick = 299;
    for (auto _ : state) {
        window->Playback->Timeline1Seek(tick);
        tick = (tick + 2 * 300) % 6000;
    }
    window->StopScenario1Click();
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    TfrmMain frm;
    frm.show();
    if (!QTest::qWaitForWindowExposed(&frm) || !frm.renderingContext()) {
        fputs("window_bench: no exposed window with a rendering context\n", stderr);
        return 1;
    }
    window = &frm;
    benchmark::RegisterBenchmark("render_frame/all_lit", render_all_lit)->UseRealTime();
    benchmark::RegisterBenchmark("render_frame/typical", render_typical)->UseRealTime();
    benchmark::RegisterBenchmark("window_loop/gauge_200_passes", window_loop)->UseRealTime();
    benchmark::RegisterBenchmark("seek/ten_minute_scenario", seek_ten_minutes)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    for (const size_t bytes : {1024, 8192})
        benchmark::RegisterBenchmark(
            ("script_check/worst_" + std::to_string(bytes / 1024) + "KB").c_str(),
            worst_script_check, bytes)
            ->UseRealTime()
            ->Unit(benchmark::kSecond)
            ->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
