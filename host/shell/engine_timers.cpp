#include "host/shell/engine_timers.h"

#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "screens/flight_prompt.h"
#include "screens/run_screen.h"

uint8_t engine_timers_on;

engine_timer_counts engine_counts;

#define MAX_FLIGHT_HOURS 255
#define MAX_TIMER_HOURS 65535

void host_timer_tick(uint8_t instrument_on) {
    timebase_tick();
    if (instrument_on && engine_timers_on == 1) engine_timers_tick();
}

// DETECT: the flight starts, from 0:00 as on the START FLIGHT? prompt, when
// the engine reaches T/O RPM, and ends after a minute spent below it.
static void detect_flight(void) {
    if (settings.flight_mode != 1) return;
    if (rpm >= settings.takeoff_rpm) {
        engine_counts.below_takeoff_ticks = 0;
        if (flight_running == 0) start_flight();
    } else if (flight_running == 1 &&
               ++engine_counts.below_takeoff_ticks >= TICKS_TO_DETECT_LANDING) {
        engine_counts.below_takeoff_ticks = 0;
        flight_running = 0;
    }
}

// The flight time counts whole minutes and holds at 255:59.
static void count_flight_time(void) {
    if (flight_running != 1) {
        engine_counts.flight_was_running = 0;
        return;
    }
    if (engine_counts.flight_was_running == 0) engine_counts.flight_tick_count = 0;
    engine_counts.flight_was_running = 1;
    if (++engine_counts.flight_tick_count < TICKS_PER_FLIGHT_MINUTE) return;
    engine_counts.flight_tick_count = 0;
    if (flight_minutes < 59) {
        flight_minutes++;
    } else if (flight_hours < MAX_FLIGHT_HOURS) {
        flight_minutes = 0;
        flight_hours++;
    }
}

// Adds a hundredth of an hour; the time holds at its largest value.
static void add_hundredth(uint16_t *hours, uint8_t *hundredths) {
    if (*hundredths < 99) {
        (*hundredths)++;
    } else if (*hours < MAX_TIMER_HOURS) {
        *hundredths = 0;
        (*hours)++;
    }
}

// The Hobbs and maintenance times run while the engine turns at HOBBS RPM or faster.
static void count_engine_time(void) {
    if (rpm < settings.hobbs_rpm) return;
    if (++engine_counts.hobbs_tick_count < TICKS_PER_HOBBS_HUNDREDTH) return;
    engine_counts.hobbs_tick_count = 0;
    add_hundredth(&timers.hobbs_hours, &timers.hobbs_hundredths);
    add_hundredth(&timers.maint_hours, &timers.maint_hundredths);
    store_timers();
}

void engine_timers_tick(void) {
    detect_flight();
    count_flight_time();
    count_engine_time();
}
