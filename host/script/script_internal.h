// Shared by lcd_script's parser, interpreter and rehearsal: what a checked
// script line does (lcd_script::command::op).
#pragma once

enum script_op {
    OP_ON,
    OP_OFF,
    OP_KEY,
    OP_SLIDER,
    OP_EXIO,
    OP_TICK,
    OP_PASS,
    OP_ENGINE_TIMERS,
    OP_SCALE,
    OP_SHOT,
    OP_GOLDEN,
    OP_EXPECT_SCREEN,
    OP_EXPECT_LAMP,
    OP_EXPECT_GOLDEN,
    OP_HOLD,
    OP_RAMP,
    OP_NOTE,
    OP_ASK,
    OP_HINT,
    OP_WELL,
    OP_UNTIL,
    OP_SET,
};
