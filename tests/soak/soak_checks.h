// The invariants the soak checks around every pass.
#pragma once
#include "display/menu.h"

#include <stdint.h>

#include <vector>

struct soak_checks {
    soak_checks();

    // Before a pass: notes the screen and menu state it starts from.
    void before_pass();
    // After it: the first broken invariant, or 0.
    const char *after_pass();

    screen_handler previous = 0;      // the screen the pass ran
    std::vector<long long> passes_in; // passes per screen_table entry
    long long factory_loads = 0;      // LOAD DEFAULT SETTINGS confirmed

  private:
    const char *check_security();
    const char *check_list_page();

    uint8_t security_was_on = 0;
    bool gate_code_right = false;
    bool menus_open_rightly = false;
    uint8_t selected_before = 0;
};

// Every numeric and option setting inside what its setup page allows in
// either unit; 0 when all are, else the first field that is not.
const char *setting_out_of_range();
