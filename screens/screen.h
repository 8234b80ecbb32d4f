// The screen dispatcher: the power loop calls current_screen once per pass.
#pragma once
#include "display/menu.h"

extern screen_handler current_screen;
