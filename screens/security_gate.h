// The security code asked before the main menu while security is on.
#pragma once

void security_gate_screen(void);
