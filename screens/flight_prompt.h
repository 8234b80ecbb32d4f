// The START FLIGHT? / STOP FLIGHT? prompt.
#pragma once

void flight_prompt_screen(void);

// Starts the flight timer from 0:00, as YES on START FLIGHT? does.
void start_flight(void);
