// The MAX VALUES page of the run screen.
#pragma once

void draw_max_values_page(void);
void draw_max_rpm_line(void);
