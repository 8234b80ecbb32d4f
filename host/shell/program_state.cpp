#include "host/shell/program_state.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"
#include "display/trig.h"
#include "host/shell/drawn_state.h"
#include "host/shell/engine_timers.h"
#include "host/shell/power_loop.h"
#include "screens/run_screen.h"
#include "screens/security_gate.h"
#include "screens/screen.h"

#include <string.h>

// Every global record, once: what a reset zeroes and a save copies.
#define PROGRAM_RECORDS(X)                                                                         \
    X(frame_buffer)                                                                                \
    X(sin_table)                                                                                   \
    X(cos_table)                                                                                   \
    X(sin_table_neg)                                                                               \
    X(cos_table_neg)                                                                               \
    X(text_start_x)                                                                                \
    X(text_end_x)                                                                                  \
    X(shown_texts)                                                                                 \
    X(shown_text_count)                                                                            \
    X(lcd_drawn_state)                                                                             \
    X(pending_key)                                                                                 \
    X(settings)                                                                                    \
    X(calibration)                                                                                 \
    X(timers)                                                                                      \
    X(rpm_pulse_rate)                                                                              \
    X(map_adc)                                                                                     \
    X(exio_map_reading)                                                                            \
    X(temp_adc)                                                                                    \
    X(exio_present)                                                                                \
    X(light_sensor_adc)                                                                            \
    X(bus_unit_c_present)                                                                          \
    X(bus_unit_a_present)                                                                          \
    X(rpm)                                                                                         \
    X(rpm_percent)                                                                                 \
    X(map_raw)                                                                                     \
    X(map_filter_acc)                                                                              \
    X(map_mb)                                                                                      \
    X(map_value)                                                                                   \
    X(temp_raw)                                                                                    \
    X(temp_c)                                                                                      \
    X(temp_value)                                                                                  \
    X(alarm_active)                                                                                \
    X(alarm_acknowledged)                                                                          \
    X(max_map)                                                                                     \
    X(max_rpm)                                                                                     \
    X(max_temp)                                                                                    \
    X(fast_tick)                                                                                   \
    X(blink_phase)                                                                                 \
    X(slow_tick)                                                                                   \
    X(slow_phase)                                                                                  \
    X(mag_check_countdown)                                                                         \
    X(menu_selected)                                                                               \
    X(menu_top)                                                                                    \
    X(menu_editing)                                                                                \
    X(edit_step)                                                                                   \
    X(pending_code)                                                                                \
    X(entry_digits)                                                                                \
    X(label_cursor)                                                                                \
    X(message_return_screen)                                                                       \
    X(run_page)                                                                                    \
    X(mag_check_rpm)                                                                               \
    X(max_values_resets)                                                                           \
    X(mag_checks_started)                                                                          \
    X(gate_openings)                                                                               \
    X(flight_running)                                                                              \
    X(flight_hours)                                                                                \
    X(flight_minutes)                                                                              \
    X(current_screen)                                                                              \
    X(power_off_request)                                                                           \
    X(map_slider)                                                                                  \
    X(temp_slider)                                                                                 \
    X(lamp_red)                                                                                    \
    X(shown_screen)                                                                                \
    X(engine_timers_on)                                                                            \
    X(engine_counts)

namespace {

#define RECORD_SIZE(record) +sizeof(record)
const size_t STATE_SIZE = 0 PROGRAM_RECORDS(RECORD_SIZE);

} // namespace

void reset_program_state(void) {
#define ZERO(record) memset(&(record), 0, sizeof(record));
    PROGRAM_RECORDS(ZERO)
    message_return_screen = run_screen;
    current_screen = run_screen;
    lamp_red = LAMP_BRIGHT;
}

void save_program_state(program_state &state) {
    state.bytes.resize(STATE_SIZE);
    uint8_t *at = state.bytes.data();
#define SAVE(record)                                                                               \
    memcpy(at, &(record), sizeof(record));                                                         \
    at += sizeof(record);
    PROGRAM_RECORDS(SAVE)
}

void restore_program_state(const program_state &state) {
    if (state.bytes.size() != STATE_SIZE) return;
    const uint8_t *at = state.bytes.data();
#define RESTORE(record)                                                                            \
    memcpy(&(record), at, sizeof(record));                                                         \
    at += sizeof(record);
    PROGRAM_RECORDS(RESTORE)
}
