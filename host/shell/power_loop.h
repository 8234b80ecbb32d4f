// The toolkit-free half of the host: the power-on sequence and one pass of
// the power loop. The window, the tests and the tools all drive the
// instrument through these functions.
#pragma once
#include "display/menu.h"
#include "host/shell/program_state.h"

#include <stdint.h>

extern uint8_t power_off_request;

// Latches of the MAP and TEMP sliders, copied into the raw inputs every pass.
extern uint16_t map_slider;
extern uint16_t temp_slider;

// Red level of the alarm lamp set by the last pass (LAMP_BRIGHT at creation).
extern uint8_t lamp_red;

// The screen handler that drew the frame buffer in the last pass (null
// before the first pass since program start).
extern screen_handler shown_screen;
// The screen the LCD shows: the one that drew it, or current_screen when
// nothing has been drawn yet.
screen_handler screen_on_display(void);

// Stores a key code in pending_key only while the slot is empty.
void press_key(uint8_t code);

// The state changes of the three slider handlers (the labels are the window's).
void rpm_slider_change(int32_t position);
void map_slider_change(uint16_t position);
void temp_slider_change(uint16_t position);

// Power-on steps up to the slider handlers, which the caller runs next.
void power_on_sequence(void);

// Steps 1 to 6 of a pass: lamp, latches, EXIO, sensor tasks, clear, screen
// (a null current_screen runs the run screen).
void power_pass(uint8_t exio_checked);
