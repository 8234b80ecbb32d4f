// MISC SETUP with the pages it opens (BACKLIGHT, INFORMATION, DEFAULT
// SETTINGS; SECURITY SETUP has its own module), and ADC VALUES.
#pragma once
#include <stdint.h>

// The version shown on the information page, in hundredths.
extern const uint16_t firmware_version;

void misc_setup_screen(void);
void backlight_screen(void);
void info_screen(void);
void default_settings_screen(void);
void adc_values_screen(void);
