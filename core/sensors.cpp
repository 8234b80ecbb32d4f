#include "core/sensors.h"

#include "core/alarms.h"
#include "core/settings.h"

int32_t rpm_pulse_rate;
uint16_t map_adc;
uint16_t exio_map_reading;
uint16_t temp_adc;
uint8_t exio_present;
uint16_t light_sensor_adc;
uint8_t bus_unit_c_present;
uint8_t bus_unit_a_present;

int32_t rpm;
int32_t rpm_percent;
uint16_t map_raw;
uint32_t map_filter_acc;
int16_t map_mb;
int16_t map_value;
uint16_t temp_raw;
int16_t temp_c;
int16_t temp_value;

#define RPM_LIMIT 99999

static int32_t rpm_step(uint8_t increment) {
    switch (increment) {
    case 1: return 5;
    case 2: return 10;
    case 3: return 50;
    case 4: return 100;
    default: return 1;
    }
}

int32_t rpm_for_pulse_rate(int32_t pulse_rate) {
    // Pulses per revolution are held in tenths. A zero divisor (the records
    // before the first power-on) reads as 0 instead of trapping.
    int32_t pulses = settings.rpm_pulses_per_rev;
    int32_t r = pulses == 0 ? 0 : pulse_rate * 10 / pulses;
    if (r > RPM_LIMIT) r = RPM_LIMIT;
    int32_t s = rpm_step(settings.rpm_increment);
    return s * ((r + s / 2) / s);
}

void update_rpm(void) {
    rpm = rpm_for_pulse_rate(rpm_pulse_rate);
    rpm_percent = settings.rpm_100_percent == 0 ? 0 : rpm * 100 / settings.rpm_100_percent;
    check_rpm_alarm();
}

// Conversion constants of the two pressure sources.
struct map_source_constants {
    uint16_t threshold;
    uint16_t bias;
    uint16_t divisor;
};

static const struct map_source_constants INTERNAL_SENSOR = {165, 169, 166};
static const struct map_source_constants EXIO_UNIT = {168, 180, 163};

static const struct map_source_constants *map_source_in_use(void) {
    return settings.map_source == 0 ? &INTERNAL_SENSOR : &EXIO_UNIT;
}

uint32_t map_filter_input(uint16_t reading) {
    int8_t offset =
        settings.map_source == 0 ? calibration.map_cal_internal : calibration.map_cal_exio;
    const struct map_source_constants *c = map_source_in_use();
    int32_t sum = (int32_t)reading + offset;
    return sum <= c->threshold ? 0 : (uint32_t)sum + c->bias;
}

// The filter keeps its state in map_filter_acc: twice the filtered value with
// FAST, four times with SLOW. It is shared by both sources and never cleared.
uint32_t map_filter_next(uint32_t acc, uint32_t v) {
    switch (settings.map_filter) {
    case 1: return (2 * v + acc) / 2;
    case 2: return (3 * acc + 4 * v) / 4;
    default: return acc;
    }
}

uint32_t map_filter_output(uint32_t acc, uint32_t v) {
    switch (settings.map_filter) {
    case 1: return acc / 2;
    case 2: return acc / 4;
    default: return v;
    }
}

int16_t map_mb_for_filtered(uint32_t v) {
    return (int16_t)(v * 100 / map_source_in_use()->divisor);
}

int16_t map_mb_to_inhg(int16_t mb) {
    // 33.8639 millibar to the inch of mercury, in tenths of an inch; the
    // product passes 32 bits once map_mb is above 21474.
    return (int16_t)((int64_t)mb * 100000 / 338639);
}

void update_map(void) {
    uint16_t reading = settings.map_source == 0 ? map_adc : exio_map_reading;
    map_raw = reading;
    uint32_t v = map_filter_input(reading);
    if (v == 0) {
        map_mb = 0;
    } else {
        map_filter_acc = map_filter_next(map_filter_acc, v);
        map_mb = map_mb_for_filtered(map_filter_output(map_filter_acc, v));
    }
    map_value = settings.map_unit == 0 ? map_mb : map_mb_to_inhg(map_mb);
    check_map_alarm();
}

int16_t celsius_to_fahrenheit(int16_t celsius) {
    return (int16_t)(celsius * 18 / 10 + 32);
}

int16_t temp_c_for_reading(uint16_t reading) {
    // The sensor delivers 0.1208 kelvin per count.
    int16_t t = (int16_t)((int32_t)reading * 1208 / 10000 - 273);
    return (int16_t)(t + calibration.temp_cal);
}

void update_temperature(void) {
    temp_raw = temp_adc;
    temp_c = temp_c_for_reading(temp_raw);
    temp_value = settings.temp_unit == 1 ? celsius_to_fahrenheit(temp_c) : temp_c;
    check_temp_alarm();
}
