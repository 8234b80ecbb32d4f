#include "core/keys.h"

uint8_t pending_key;
