// TIMERS SETUP: HOBBS RPM, the Hobbs time, Hobbs code and maintenance time
// actions, the flight mode and the take-off RPM; and the two time pages.
#pragma once

void timers_setup_screen(void);
void set_hobbs_time_screen(void);
void set_maint_time_screen(void);

// The Hobbs time into entry_digits 0..5 (hours, tenths, hundredths), and the
// maintenance time into 0..2; a time beyond the page's largest shows that.
void preload_hobbs_time(void);
void preload_maint_time(void);
