// Alarm flags, the lamp rule and the maximum values.
#pragma once
#include <stdint.h>

#define ALARM_MAP 1
#define ALARM_RPM 2
#define ALARM_TEMP 4

extern uint32_t alarm_active;
extern uint32_t alarm_acknowledged;

extern int16_t max_map;
extern int32_t max_rpm;
extern int16_t max_temp;

// The maximum-and-alarm step of each quantity, run at the end of its sensor task.
void check_map_alarm(void);
void check_rpm_alarm(void);
void check_temp_alarm(void);

void reset_max_values(void);

// Acknowledges every active, unacknowledged alarm; returns 1 if there was one.
uint8_t acknowledge_alarms(void);

// Red level of the alarm lamp: LAMP_BRIGHT while an alarm is unacknowledged.
#define LAMP_BRIGHT 255
#define LAMP_DARK 128
uint8_t lamp_red_level(void);
