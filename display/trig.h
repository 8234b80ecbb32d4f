// Whole-degree sine and cosine tables, filled once at power-on.
#pragma once
#include <stdint.h>

#define TRIG_TABLE_SIZE 361

extern float sin_table[TRIG_TABLE_SIZE];
extern float cos_table[TRIG_TABLE_SIZE];
extern float sin_table_neg[TRIG_TABLE_SIZE];
extern float cos_table_neg[TRIG_TABLE_SIZE];

void build_trig_tables(void);

// Angle in whole degrees, -360..360; angles beyond are clamped to that range.
float sin_deg(int16_t a);
float cos_deg(int16_t a);
