// Raw sensor inputs and the live values the three sensor tasks derive from them.
#pragma once
#include <stdint.h>

// Raw inputs, written by the host.
extern int32_t rpm_pulse_rate;
extern uint16_t map_adc;
extern uint16_t exio_map_reading;
extern uint16_t temp_adc;
extern uint8_t exio_present;
// The light sensor and two further units on the data bus; nothing in this
// system supplies them, so they stay 0.
extern uint16_t light_sensor_adc;
extern uint8_t bus_unit_c_present;
extern uint8_t bus_unit_a_present;

// A temperature input above this means no sensor is connected: the run
// screen reads "---".
#define TEMP_RAW_NO_SENSOR 3800

// Live values.
extern int32_t rpm;
extern int32_t rpm_percent;
extern uint16_t map_raw;
extern uint32_t map_filter_acc;
extern int16_t map_mb;
extern int16_t map_value;
extern uint16_t temp_raw;
extern int16_t temp_c;
extern int16_t temp_value;

void update_rpm(void);
void update_map(void);
void update_temperature(void);

int16_t celsius_to_fahrenheit(int16_t celsius);

// The steps of the three tasks as pure functions of the settings, for a host
// that looks for the input giving a reading.
// RPM for a pulse rate: pulses per revolution, the 99999 limit, rounding.
int32_t rpm_for_pulse_rate(int32_t pulse_rate);
// What the MAP filter takes for a reading of the selected source with its
// calibration; 0 at or below the source's threshold, where the pressure is 0.
uint32_t map_filter_input(uint16_t reading);
// The filter's next state for an input v, and what it gives out (v itself
// with the filter off).
uint32_t map_filter_next(uint32_t acc, uint32_t v);
uint32_t map_filter_output(uint32_t acc, uint32_t v);
// Millibar for the filter's output, and millibar in tenths of an inch of
// mercury.
int16_t map_mb_for_filtered(uint32_t v);
int16_t map_mb_to_inhg(int16_t mb);
// Degrees C for a temperature reading, with the calibration offset.
int16_t temp_c_for_reading(uint16_t reading);
