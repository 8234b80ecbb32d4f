#include "display/trig.h"

#include <math.h>

float sin_table[TRIG_TABLE_SIZE];
float cos_table[TRIG_TABLE_SIZE];
float sin_table_neg[TRIG_TABLE_SIZE];
float cos_table_neg[TRIG_TABLE_SIZE];

static const double RADIANS_PER_DEGREE = 0.017453292519943295;

void build_trig_tables(void) {
    for (int a = 0; a < TRIG_TABLE_SIZE; a++) {
        double r = a * RADIANS_PER_DEGREE;
        sin_table[a] = (float)sin(r);
        cos_table[a] = (float)cos(r);
        sin_table_neg[a] = (float)sin(-r);
        cos_table_neg[a] = (float)cos(-r);
    }
}

// The tables cover -360..360; anything beyond is clamped rather than read
// outside them.
static int16_t clamp_angle(int16_t a) {
    if (a > 360) return 360;
    if (a < -360) return -360;
    return a;
}

float sin_deg(int16_t a) {
    a = clamp_angle(a);
    return a < 0 ? sin_table_neg[-a] : sin_table[a];
}

float cos_deg(int16_t a) {
    a = clamp_angle(a);
    return a < 0 ? cos_table_neg[-a] : cos_table[a];
}
