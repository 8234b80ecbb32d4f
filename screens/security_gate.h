// The security code asked before the main menu while security is on.
#pragma once
#include <stdint.h>

void security_gate_screen(void);

// Counts the times the gate opened with a code, for the host to watch.
extern uint16_t gate_openings;
