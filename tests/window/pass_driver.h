// Working the live window from a test (the power loop, a lesson): steps run
// one after another between the loop's passes, the window's clock moved a
// tick once a pass has run since the last one, so that time goes by the
// passes and no hint comes due by itself, however slow the machine.
#pragma once

#include "host/shell/power_loop.h"
#include "window/TfrmMain.h"

#include <QList>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <string>

typedef std::function<bool()> Step;

class PassDriver {
  public:
    explicit PassDriver(TfrmMain *frm) : frm(frm) {
        frm->Timer1->stop();
        frm->setClock([this] { return now; });
    }

    // A tick once a pass has run since the last one; while Show me plays,
    // the live loop waits and the clock alone drives it: a tick each call.
    void tick() {
        if (!frm->simulation().lesson_showing()) {
            const std::string session = frm->simulation().recording();
            const size_t last = session.rfind('\n', session.size() - 2);
            if (session.size() == seen || session.compare(last + 1, 5, "pass ") != 0) return;
        }
        now += session::TICK_MS;
        frm->Timer1Timer();
        seen = frm->simulation().recording().size();
    }

    // Runs `steps` after `start` (which starts the loop), each once the one
    // before it held, ticking between them; `each` runs at every turn. The
    // loop is stopped after the last; true when all of them held.
    bool run(const std::function<void()> &start, const QList<Step> &steps,
             const std::function<void()> &each = nullptr) {
        int next = 0;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            tick();
            if (each) each();
            if (next < steps.size() && steps[next]()) next++;
            if (next == steps.size()) power_off_request = 1;
        });
        // A safety net only: the steps wait on passes, not on time.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] { power_off_request = 1; });
        poll.start();
        guard.start(30000);
        start();
        const bool ended = QTest::qWaitFor(
            [&] { return next == steps.size() && !frm->powerLoopRunning(); }, 60000);
        if (next < steps.size())
            qWarning("lesson steps stopped at %d of %d", next, (int)steps.size());
        return ended && next == steps.size();
    }

    // A step that does `action` and holds at once.
    static Step action(const std::function<void()> &action) {
        return [action] {
            action();
            return true;
        };
    }

    qint64 now = 0;

  private:
    TfrmMain *frm;
    size_t seen = 0;
};
