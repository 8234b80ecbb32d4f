// Every record of the instrument and of the toolkit-free host as one block of
// bytes: brought back to program start, set aside and restored. A rehearsal
// runs a script on a copy while the live instrument stays as it was.
#pragma once
#include <stdint.h>

#include <vector>

struct program_state {
    std::vector<uint8_t> bytes;
};

// Brings every instrument and host record back to its program-start state.
void reset_program_state(void);

// Copies every record into `state`, and back.
void save_program_state(program_state &state);
void restore_program_state(const program_state &state);
