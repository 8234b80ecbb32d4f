// RPM SETUP: display on/off and mode, range, alarm and caution limits,
// pulses per revolution, rounding increment, label, data source and EXIO
// address. The list changes with the settings and is rebuilt every pass.
#pragma once
#include <stdint.h>

// Edit kinds, one per item, whatever its place in the list.
#define RPM_KIND_DISPLAY_MODE 1
#define RPM_KIND_DISPLAY_MAX 2
#define RPM_KIND_DISPLAY_MIN 3
#define RPM_KIND_100_PERCENT 4
#define RPM_KIND_LOW_ALARM_ON 5
#define RPM_KIND_LOW_ALARM 6
#define RPM_KIND_LOW_CAUTION 7
#define RPM_KIND_HIGH_CAUTION 8
#define RPM_KIND_HIGH_ALARM_ON 9
#define RPM_KIND_HIGH_ALARM 10
#define RPM_KIND_PULSES_PER_REV 11
#define RPM_KIND_INCREMENT 12
#define RPM_KIND_LABEL 13
#define RPM_KIND_SOURCE 14
#define RPM_KIND_EXIO_ADDRESS 15
#define RPM_KIND_DISPLAY_ON 16

void rpm_setup_screen(void);

// The key of the item of `kind` at `index` in this pass's list: acts only when
// a key is pending and the item is selected; never consumes the key.
void rpm_item_keys(uint8_t kind, uint8_t index);
