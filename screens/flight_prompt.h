// The START FLIGHT? / STOP FLIGHT? prompt.
#pragma once

void flight_prompt_screen(void);
