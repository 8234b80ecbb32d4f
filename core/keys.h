// Key codes of the bezel keys and the rotary control, and the one-key slot.
#pragma once
#include <stdint.h>

#define KEY_F1 1
#define KEY_F2 2
#define KEY_PUSH 3
#define KEY_PLUS 4
#define KEY_MINUS 5

// 0 or one key code; the host fills it only while it is 0, the screen that
// handles the key sets it back to 0.
extern uint8_t pending_key;
