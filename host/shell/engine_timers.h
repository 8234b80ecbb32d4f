// The engine timers the simulator can run on top of the instrument: the
// flight time, the Hobbs time and the maintenance time, counted from the
// 100 ms timebase. Off at program start, so that the instrument behaves as
// built unless the user asks for them (Simulation > Run Engine Timers).
#pragma once
#include <stdint.h>

// 1 while the engine timers run.
extern uint8_t engine_timers_on;

// Ticks counted toward the next flight minute and the next Hobbs hundredth,
// ticks spent below T/O RPM during a detected flight, and whether the flight
// timer ran at the last tick (a new flight starts its first minute afresh).
struct engine_timer_counts {
    uint16_t flight_tick_count;
    uint16_t hobbs_tick_count;
    uint16_t below_takeoff_ticks;
    uint8_t flight_was_running;
};
extern engine_timer_counts engine_counts;

// Ticks of 100 ms in a minute of flight time, in a hundredth of an hour of
// Hobbs time, and below T/O RPM before a detected flight ends.
#define TICKS_PER_FLIGHT_MINUTE 600
#define TICKS_PER_HOBBS_HUNDREDTH 360
#define TICKS_TO_DETECT_LANDING 600

// One tick of the 100 ms timer as the window delivers it: the instrument's
// timebase, then the engine timers while the instrument is on and they run.
void host_timer_tick(uint8_t instrument_on);

// One 100 ms step of the engine timers, whether or not they are switched on.
void engine_timers_tick(void);
