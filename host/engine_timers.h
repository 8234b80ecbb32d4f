// The engine timers the simulator can run on top of the instrument: the
// flight time, the Hobbs time and the maintenance time, counted from the
// 100 ms timebase. Off at program start, so that the instrument behaves as
// built unless the user asks for them (Simulation > Run Engine Timers).
#pragma once
#include <stdint.h>

// 1 while the engine timers run.
extern uint8_t engine_timers_on;

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

// Back to program start: switched off, no part-counted minute or hundredth.
void reset_engine_timers(void);
