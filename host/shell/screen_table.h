// Every screen handler with a readable name, for the tools and the tests.
#pragma once
#include "display/menu.h"

struct screen_entry {
    const char *name;
    screen_handler handler;
};

extern const struct screen_entry screen_table[];
extern const int screen_table_size;

// The name of a handler, or "unknown".
const char *screen_name(screen_handler handler);
