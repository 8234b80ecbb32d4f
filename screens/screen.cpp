#include "screens/screen.h"

screen_handler current_screen;
