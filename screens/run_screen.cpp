#include "screens/run_screen.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/primitives.h"
#include "display/text.h"
#include "menus/main_menu.h"
#include "screens/flight_prompt.h"
#include "screens/gauges.h"
#include "screens/max_values.h"
#include "screens/screen.h"
#include "screens/security_gate.h"

#include <stdio.h>

uint8_t run_page;
int32_t mag_check_rpm;
uint16_t max_values_resets;
uint16_t mag_checks_started;
uint8_t flight_running;
uint8_t flight_hours;
uint8_t flight_minutes;

#define MAG_CHECK_STEPS 60

// The flight-time colon blinks while the flight timer runs.
static uint8_t flight_colon_shown(void) { return !(flight_running == 1 && blink_phase == 1); }

void draw_flight_time_header(void) {
    char text[8];
    snprintf(text, sizeof text, "%d", flight_hours);
    draw_text(0, 0, text, 0, 10, ALIGN_LEFT, COLOUR_WHITE);
    if (flight_colon_shown()) draw_text(12, 0, ":", 0, 10, ALIGN_LEFT, COLOUR_WHITE);
    snprintf(text, sizeof text, "%02d", flight_minutes);
    draw_text(20, 0, text, 0, 10, ALIGN_LEFT, COLOUR_WHITE);
}

// Whole hours and the tenths digit of the Hobbs time.
static void format_hobbs(char *text, uint8_t size) {
    snprintf(text, size, "%u.%d", timers.hobbs_hours, timers.hobbs_hundredths / 10);
}

void draw_hobbs_header(void) {
    char text[12];
    format_hobbs(text, sizeof text);
    draw_text(159, 0, text, 0, 10, ALIGN_RIGHT, COLOUR_WHITE);
}

void draw_timers_page(void) {
    char text[12];
    draw_text(80, 5, "TIMERS", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_hline(0, 159, 25, COLOUR_WHITE);
    draw_text(0, 36, "FLIGHT:", 0, 9, ALIGN_LEFT, COLOUR_GREY);
    snprintf(text, sizeof text, "%d", flight_hours);
    draw_text(85, 36, text, 0, 9, ALIGN_LEFT, COLOUR_WHITE);
    if (flight_colon_shown()) draw_text(95, 36, ":", 0, 9, ALIGN_LEFT, COLOUR_WHITE);
    snprintf(text, sizeof text, "%02d", flight_minutes);
    draw_text(102, 36, text, 0, 9, ALIGN_LEFT, COLOUR_WHITE);
    draw_text(0, 56, "HOBBS:", 0, 9, ALIGN_LEFT, COLOUR_GREY);
    format_hobbs(text, sizeof text);
    draw_text(85, 56, text, 0, 9, ALIGN_LEFT, COLOUR_WHITE);
    draw_text(0, 76, "MAINT:", 0, 9, ALIGN_LEFT, COLOUR_GREY);
    snprintf(text, sizeof text, "%dHrs", timers.maint_hours);
    draw_text(85, 76, text, 0, 9, ALIGN_LEFT, COLOUR_WHITE);
}

void draw_mag_check_page(void) {
    char text[16];
    draw_text(80, 0, "*** MAG CHECK ***", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    snprintf(text, sizeof text, "%ld", (long)(rpm - mag_check_rpm));
    draw_text(80, 26, text, 0, 34, ALIGN_CENTRE, COLOUR_WHITE);
    snprintf(text, sizeof text, "%s RPM", settings.rpm_label);
    draw_text(80, 107, text, 0, 8, ALIGN_CENTRE, COLOUR_GREY);
}

static void draw_run_page(void) {
    if (run_page == RUN_PAGE_MAIN) {
        if (settings.rpm_display_on == 0) {
            draw_map_gauge(70, 15, 35);
        } else if (mag_check_countdown != 0) {
            draw_mag_check_page();
        } else {
            draw_digital_page();
            draw_flight_time_header();
            draw_hobbs_header();
        }
    } else if (run_page == RUN_PAGE_TIMERS) {
        draw_timers_page();
    } else {
        draw_max_values_page();
    }
}

static void open_menu(void) {
    menu_selected = 0;
    menu_editing = 0;
    if (settings.security_on == 1) {
        for (uint8_t i = 0; i < 4; i++) entry_digits[i] = 0;
        current_screen = security_gate_screen;
    } else {
        current_screen = main_menu_screen;
    }
}

// The TIMERS page is skipped while the RPM display is off.
static void next_page(void) {
    if (run_page < RUN_PAGE_MAX_VALUES) run_page++;
    if (run_page == RUN_PAGE_TIMERS && settings.rpm_display_on == 0) run_page++;
}

static void previous_page(void) {
    if (run_page > RUN_PAGE_MAIN) run_page--;
    if (run_page == RUN_PAGE_TIMERS && settings.rpm_display_on == 0) run_page--;
}

void run_screen(void) {
    draw_run_page();
    if (pending_key == 0) return;
    // A key that meets an unacknowledged alarm only acknowledges it.
    if (acknowledge_alarms()) pending_key = 0;
    switch (pending_key) {
    case KEY_F1:
        if (run_page == RUN_PAGE_MAX_VALUES) {
            reset_max_values();
            max_values_resets++;
        }
        else if (settings.flight_mode == 0 && settings.rpm_display_on == 1)
            current_screen = flight_prompt_screen;
        break;
    case KEY_F2:
        if (mag_check_countdown == 0) {
            mag_check_rpm = rpm;
            mag_check_countdown = MAG_CHECK_STEPS;
            mag_checks_started++;
        } else {
            mag_check_countdown = 0;
        }
        break;
    case KEY_PUSH: open_menu(); break;
    case KEY_PLUS: next_page(); break;
    case KEY_MINUS: previous_page(); break;
    default: break;
    }
    pending_key = 0;
}

void return_to_run_screen(void) {
    current_screen = run_screen;
    menu_editing = 0;
    menu_selected = 0;
    menu_top = 0;
    edit_step = 1;
    store_settings();
}
