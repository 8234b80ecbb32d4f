// Abuse of the simulator window, one case per process so that each ends with
// the program's own exit code (and, in the sanitizer build, with no report):
//   host_fault_tests CASE
// The case drives the real window from inside its power loop, as a user
// would, between two passes.
#include "core/keys.h"
#include "host/shell/power_loop.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "window/TfrmMain.h"
#include "window/instrument_panel.h"
#include "window/menus.h"
#include "window/panel_widgets.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <vector>

namespace {

TfrmMain *frm;
const char *failure;

// The run screen, counting its passes and the depth of the stack it runs at.
long passes_seen;
uintptr_t first_frame, deepest_frame;

void counting_screen(void) {
    uintptr_t frame = (uintptr_t)__builtin_frame_address(0);
    if (passes_seen++ == 0) first_frame = deepest_frame = frame;
    if (frame < deepest_frame) deepest_frame = frame;
    run_screen();
}

void count_passes(void) {
    if (current_screen != counting_screen) current_screen = counting_screen;
}

void fail(const char *what) {
    if (!failure) failure = what;
}

// One step of a case: polled between passes until it returns true.
typedef std::function<bool()> Step;

Step action(std::function<void()> body) {
    return [body] {
        body();
        return true;
    };
}

Step after_passes(long n) {
    return [n] {
        count_passes();
        return passes_seen >= n;
    };
}

void click(QWidget *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs the steps one after another from a zero-interval timer, started
// with a click on "&On" from the application's message loop. A case that
// does not get through its steps in time is stopped and fails.
void run_case(const std::vector<Step> &steps) {
    size_t next = 0;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (next < steps.size() && steps[next]()) next++;
        if (next == steps.size()) poll.stop();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        fail("the case did not finish in time");
        power_off_request = 1;
        QCoreApplication::quit();
    });
    poll.start();
    // A safety net for a hang only: a thousand clicks under the sanitizers
    // on a busy machine take minutes.
    guard.start(600000);
    QTimer::singleShot(0, [] { click(frm->Controls->Button1); });
    QApplication::exec();
    if (next != steps.size()) fail("the loop ended before the last step");
}

// A key reaches the instrument: the next pass takes it out of the slot.
std::vector<Step> key_is_taken() {
    return {action([] { click(frm->Controls->Button3); }), [] { return pending_key == 0; }};
}

// A click on "&On" from inside the loop, then the pass after it.
void on_and_a_pass(std::vector<Step> &steps) {
    static long mark;
    steps.push_back(action([] {
        click(frm->Controls->Button1);
        if (power_off_request != 0 || current_screen != run_screen)
            fail("a click on On while on did not power on afresh");
        mark = passes_seen;
    }));
    steps.push_back([] {
        count_passes();
        return passes_seen > mark;
    });
}

void on_while_on() {
    std::vector<Step> steps = {after_passes(2)};
    for (int i = 0; i < 1000; i++) on_and_a_pass(steps);
    for (const Step &s : key_is_taken()) steps.push_back(s);
    steps.push_back(action([] { click(frm->Controls->Button2); }));
    steps.push_back(action([] { QCoreApplication::quit(); }));
    run_case(steps);
    if (first_frame - deepest_frame > 256) fail("a pass ran deeper in the stack than the first");
}

// Off while off, before the first On and after an Off, changes nothing; the
// instrument still powers on after it.
void off_while_off() {
    for (int i = 0; i < 1000; i++) click(frm->Controls->Button2);
    std::vector<Step> steps = {after_passes(2)};
    for (const Step &s : key_is_taken()) steps.push_back(s);
    steps.push_back(action([] {
        for (int i = 0; i < 1000; i++) click(frm->Controls->Button2);
    }));
    steps.push_back(action([] { QCoreApplication::quit(); }));
    run_case(steps);
    long stopped = passes_seen;
    for (int i = 0; i < 1000; i++) click(frm->Controls->Button2);
    QCoreApplication::processEvents();
    if (passes_seen != stopped) fail("a pass ran while off");
    run_case({after_passes(stopped + 2), action([] { click(frm->Controls->Button2); }),
              action([] { QCoreApplication::quit(); })});
}

void close_while_on() {
    run_case({after_passes(5), action([] { frm->close(); })});
    if (power_off_request != 1) fail("closing the window did not end the loop");
}

void exit_while_on() {
    run_case({after_passes(5), action([] { frm->Menus->Exit1->trigger(); })});
    if (power_off_request != 1) fail("File, Exit did not end the loop");
}

// Cruise positions, so that no alarm takes the first knob step for its
// acknowledgement.
void cruise_sliders() {
    frm->Controls->ScrollBar29->setValue(30000);
    frm->Controls->ScrollBar30->setValue(1518);
    frm->Controls->ScrollBar1->setValue(2674);
}

// A burst of input events posted at once, as a held key or a spun wheel
// queues them, and the run page they must have led to once drained.
std::vector<Step> burst(std::function<void()> post, uint8_t page, const char *what) {
    static long mark;
    std::vector<Step> steps;
    for (int i = 0; i < 200; i++) {
        steps.push_back(action([post] {
            post();
            mark = passes_seen;
        }));
        steps.push_back([] {
            count_passes();
            return passes_seen > mark;
        });
    }
    steps.push_back([page, what] {
        count_passes();
        if (pending_key == 0 && run_page != page) fail(what);
        return pending_key == 0;
    });
    return steps;
}

void post_key(int key) {
    // Auto-repeat: presses flagged as repeats, and no release until the end.
    for (int i = 0; i < 10; i++)
        QCoreApplication::postEvent(
            frm, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, QString(), true));
}

void post_wheel(int delta) {
    const QPoint centre = frm->Controls->Image1->rect().center();
    const QPoint global = frm->Controls->Image1->mapToGlobal(centre);
    for (int i = 0; i < 10; i++)
        QCoreApplication::postEvent(frm->Controls->Image1,
                                    new QWheelEvent(centre, global, QPoint(), QPoint(0, delta),
                                                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                                                    false));
}

void end_case(std::vector<Step> &steps) {
    for (const Step &s : key_is_taken()) steps.push_back(s);
    steps.push_back(action([] { click(frm->Controls->Button2); }));
    steps.push_back(action([] { QCoreApplication::quit(); }));
}

// Up held down, then Down: thousands of repeats against the one-key slot.
void key_held() {
    cruise_sliders();
    std::vector<Step> steps = {after_passes(2)};
    for (const Step &s : burst([] { post_key(Qt::Key_Up); }, RUN_PAGE_MAX_VALUES,
                               "a held Up did not reach the last run page"))
        steps.push_back(s);
    steps.push_back(action([] {
        QCoreApplication::postEvent(frm,
                                    new QKeyEvent(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier));
    }));
    for (const Step &s : burst([] { post_key(Qt::Key_Down); }, RUN_PAGE_MAIN,
                               "a held Down did not come back to the first run page"))
        steps.push_back(s);
    end_case(steps);
    run_case(steps);
}

// The wheel spun both ways, in whole notches and in the small steps of a
// fine-grained wheel.
void fast_wheel() {
    cruise_sliders();
    std::vector<Step> steps = {after_passes(2)};
    for (const Step &s : burst([] { post_wheel(120); }, RUN_PAGE_MAX_VALUES,
                               "the wheel turned up did not reach the last run page"))
        steps.push_back(s);
    for (const Step &s : burst([] { post_wheel(-15); }, RUN_PAGE_MAIN,
                               "the wheel turned down did not come back to the first run page"))
        steps.push_back(s);
    end_case(steps);
    run_case(steps);
}

struct fault_case {
    const char *name;
    void (*run)(void);
};

const fault_case CASES[] = {
    {"on_while_on", on_while_on},
    {"off_while_off", off_while_off},
    {"close_while_on", close_while_on},
    {"exit_while_on", exit_while_on},
    {"key_held", key_held},
    {"fast_wheel", fast_wheel},
};

} // namespace

int main(int argc, char **argv) {
    const fault_case *chosen = nullptr;
    for (const fault_case &c : CASES)
        if (argc == 2 && strcmp(argv[1], c.name) == 0) chosen = &c;
    if (!chosen) {
        fputs("usage: host_fault_tests CASE; cases:", stderr);
        for (const fault_case &c : CASES) fprintf(stderr, " %s", c.name);
        fputc('\n', stderr);
        return 2;
    }
    QApplication app(argc, argv);
    // What the window remembers goes to a folder of the test's own.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    TfrmMain window;
    frm = &window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        fputs("host_fault_tests: the window was never exposed (no X display?)\n", stderr);
        return 1;
    }
    chosen->run();
    if (failure) {
        fprintf(stderr, "%s: %s (after %ld passes)\n", chosen->name, failure, passes_seen);
        return 1;
    }
    printf("%s: %ld passes\n", chosen->name, passes_seen);
    return 0;
}
