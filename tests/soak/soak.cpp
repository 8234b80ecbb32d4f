// A seeded random walk over the panel from power-on: keys (mostly the rotary
// control), slider moves over their whole ranges, the EXIO box, timer ticks,
// Off and On, each followed by a pass of the power loop the window runs. On
// a code page the walk now and then dials the right code, so the pages
// behind the codes are reached; LOAD DEFAULT SETTINGS is confirmed by keys
// on its page like everything else. After every pass the invariants in
// soak_checks.h are checked; at the end every screen handler must have run.
//
//   soak_tests [--events N] [--seed S] [--from I]
//
// SOAK_EVENTS and SOAK_SEED in the environment give the defaults. A failure
// prints the seed and the event index; --from I replays that seed quietly up
// to event I and reports every event from there on.
#include "core/keys.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "menus/hobbs_code.h"
#include "menus/security_setup.h"
#include "screens/screen.h"
#include "screens/security_gate.h"
#include "tests/soak/soak_checks.h"
#include "tests/support/instrument.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <deque>

namespace {

// xorshift64*: the whole walk follows from the seed.
struct random_source {
    uint64_t state;
    explicit random_source(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t next() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return (uint32_t)((state * 0x2545F4914F6CDD1Dull) >> 32);
    }
    // 0 .. n - 1
    uint32_t below(uint32_t n) { return next() % n; }
    int32_t between(int32_t low, int32_t high) {
        return low + (int32_t)below((uint32_t)(high - low + 1));
    }
};

// Slider positions: anywhere in the range, with its ends and a few steps
// next to them more often than chance would give.
int32_t slider_position(random_source &r, int32_t low, int32_t high) {
    switch (r.below(8)) {
    case 0:
        return low;
    case 1:
        return high;
    case 2:
        return r.between(low, low + 20);
    case 3:
        return r.between(high - 20, high);
    default:
        return r.between(low, high);
    }
}

// The code a user who knows it dials on a code page, or -1 where the walk
// dials at random: the stored codes, a new code, or its confirmation.
int32_t known_code(random_source &r) {
    if (current_screen == security_gate_screen || current_screen == check_code_screen)
        return settings.security_code;
    if (current_screen == enter_hobbs_code_screen ||
        current_screen == enter_current_hobbs_code_screen)
        return settings.hobbs_code;
    if (current_screen == new_code_screen || current_screen == enter_new_hobbs_code_screen)
        return r.below(4) == 0 ? 0 : (int32_t)r.below(10000);
    if (current_screen == confirm_code_screen || current_screen == confirm_new_hobbs_code_screen)
        return r.below(4) == 0 ? (int32_t)r.below(10000) : pending_code;
    return -1;
}

struct walk {
    random_source random;
    panel controls;
    uint16_t temp = 0;
    bool on = false;
    int off_events = 0;          // events left before the next On while off
    std::deque<uint8_t> dialled; // keys of a code being dialled, one an event

    explicit walk(uint64_t seed) : random(seed) {}

    // Now and then, on a fresh code page, the keys that dial the right code.
    void maybe_dial_code() {
        if (!dialled.empty() || menu_selected != 0 || random.below(2)) return;
        int32_t code = known_code(random);
        if (code < 0) return;
        const uint8_t digits[4] = {(uint8_t)(code / 1000 % 10), (uint8_t)(code / 100 % 10),
                                   (uint8_t)(code / 10 % 10), (uint8_t)(code % 10)};
        for (int i = 0; i < 4; i++) {
            for (uint8_t d = entry_digits[i]; d != digits[i]; d = (uint8_t)((d + 1) % 10))
                dialled.push_back(KEY_PLUS);
            dialled.push_back(KEY_PUSH);
        }
    }

    void power_on_now() {
        power_on(controls);
        on = true;
    }

    // One input; returns a short description for the replay log.
    const char *input() {
        uint32_t roll = random.below(1000);
        if (!on) {
            if (roll < 300) press_key((uint8_t)(1 + random.below(5)));
            if (roll < 500) timebase_tick();
            if (--off_events <= 0) {
                power_on_now();
                return "on";
            }
            return "off, waiting";
        }
        maybe_dial_code();
        if (!dialled.empty()) {
            press_key(dialled.front());
            dialled.pop_front();
            return "code key";
        }
        if (roll < 640) {
            static const uint8_t keys[] = {KEY_PLUS,  KEY_PLUS, KEY_PLUS, KEY_MINUS, KEY_MINUS,
                                           KEY_MINUS, KEY_PUSH, KEY_PUSH, KEY_F1,    KEY_F2};
            press_key(keys[random.below(sizeof keys)]);
            return "key";
        }
        if (roll < 900) {
            timebase_tick();
            return "tick";
        }
        if (roll < 930) {
            controls.map = (uint16_t)slider_position(random, 1, 4096);
            map_slider_change(controls.map);
            return "map slider";
        }
        if (roll < 960) {
            controls.rpm = slider_position(random, 1, 100000);
            rpm_slider_change(controls.rpm);
            return "rpm slider";
        }
        if (roll < 990) {
            temp = (uint16_t)slider_position(random, 0, 4096);
            temp_slider_change(temp);
            return "temp slider";
        }
        if (roll < 996) {
            controls.exio = !controls.exio;
            return "exio";
        }
        if (roll < 999) {
            power_on_now();
            dialled.clear();
            return "on while on";
        }
        power_off_request = 1;
        on = false;
        dialled.clear();
        off_events = (int)random.between(1, 50);
        return "off";
    }
};

long long option(int argc, char **argv, const char *name, const char *env, long long fallback) {
    for (int i = 1; i + 1 < argc; i++)
        if (strcmp(argv[i], name) == 0) return atoll(argv[i + 1]);
    const char *value = getenv(env);
    return value && *value ? atoll(value) : fallback;
}

} // namespace

int main(int argc, char **argv) {
    const long long events = option(argc, argv, "--events", "SOAK_EVENTS", 200000);
    const uint64_t seed = (uint64_t)option(argc, argv, "--seed", "SOAK_SEED", 1);
    const long long from = option(argc, argv, "--from", "SOAK_FROM", -1);

    walk w(seed);
    start_program_and_power_on(w.controls);
    w.on = true;
    soak_checks checks;
    long long passes_run = 0;
    clock_t started = clock();

    for (long long event = 0; event < events; event++) {
        const char *what = w.input();
        if (from >= 0 && event >= from)
            printf("event %lld: %s, screen %s, key %d\n", event, what, screen_name(current_screen),
                   pending_key);
        if (!w.on) continue;
        checks.before_pass();
        power_pass(w.controls.exio);
        passes_run++;
        const char *fault = checks.after_pass();
        if (fault) {
            fprintf(stderr,
                    "soak: seed %llu, event %lld (%s): %s\n"
                    "  screen before the pass %s, after it %s\n"
                    "  replay: soak_tests --seed %llu --events %lld --from %lld\n",
                    (unsigned long long)seed, event, what, fault, screen_name(checks.previous),
                    screen_name(current_screen), (unsigned long long)seed, event + 1,
                    event > 20 ? event - 20 : 0);
            return 1;
        }
    }

    double seconds = (double)(clock() - started) / CLOCKS_PER_SEC;
    printf("soak: seed %llu, %lld events, %lld passes, %lld factory loads, %.1f s\n",
           (unsigned long long)seed, events, passes_run, checks.factory_loads, seconds);
    int missing = 0;
    for (int i = 0; i < screen_table_size; i++) {
        printf("  %-24s %10lld passes\n", screen_table[i].name, checks.passes_in[i]);
        if (checks.passes_in[i] == 0) missing++;
    }
    fflush(stdout);
    if (missing) {
        fprintf(stderr, "soak: seed %llu: %d screen handlers were never reached\n",
                (unsigned long long)seed, missing);
        return 1;
    }
    return 0;
}
