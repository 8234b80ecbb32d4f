// The run screen: the screen of normal operation and its three pages.
#pragma once
#include <stdint.h>

#define RUN_PAGE_MAIN 0
#define RUN_PAGE_TIMERS 1
#define RUN_PAGE_MAX_VALUES 2

extern uint8_t run_page;
extern int32_t mag_check_rpm;
// Counts of what the student did, for the host to watch: MAX VALUES reset
// with F1, and magneto checks started with F2. They change nothing drawn.
extern uint16_t max_values_resets;
extern uint16_t mag_checks_started;
extern uint8_t flight_running;
extern uint8_t flight_hours;
extern uint8_t flight_minutes;

void run_screen(void);

// Back from a setup screen: the run screen with the menu state reset.
void return_to_run_screen(void);

// The page drawers that only the run screen uses.
void draw_flight_time_header(void);
void draw_hobbs_header(void);
void draw_timers_page(void);
void draw_mag_check_page(void);
