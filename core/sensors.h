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
