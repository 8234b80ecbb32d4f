// The header of a screen: logo, two screen-name lines and the rule at row 25.
#pragma once

void draw_title_bar(const char *name1, const char *name2);
