#include "screens/screen.h"

#include "screens/run_screen.h"

// Both start at the run screen, so no handler is ever called through 0.
screen_handler current_screen = run_screen;
screen_handler message_return_screen = run_screen;
