// The keyboard and mouse bindings of both front ends, once: what each key
// does, the keys as the page's KeyboardEvent names them (the window maps its
// own keys onto those names), and the Help text.
#pragma once
#include "host/session/session.h"

#include <string>

enum panel_action {
    ACT_NONE, // a binding the front end carries out itself (sliders, wheel, zoom)
    ACT_F1,
    ACT_F2,
    ACT_PUSH,
    ACT_PLUS,
    ACT_MINUS,
    ACT_ON,
    ACT_OFF,
    ACT_EXIO,
    ACT_PAUSE,
    ACT_STEP,
    ACT_RESTART,
    ACT_SLOWER,
    ACT_FASTER,
};

// Which front ends have a binding.
enum { IN_WINDOW = 1, IN_PAGE = 2, IN_BOTH = 3 };

struct key_binding {
    panel_action action;
    const char *codes; // KeyboardEvent.code names, space-separated
    const char *chars; // KeyboardEvent.key characters, wherever a layout puts them
    const char *keys;  // as Help lists them; empty for a row Help leaves out
    const char *help;  // what they do
    int front_ends;
};

extern const key_binding key_bindings[];
extern const int key_binding_count;

// The action of a key in a front end: by its code name or its character;
// ACT_NONE when it has none.
panel_action key_action(const std::string &code, const std::string &character, int front_end);

// What holds the keyboard focus in a front end, as far as the keys go.
enum key_focus {
    FOCUS_ELSEWHERE,      // the LCD, a panel, a list: the keys are the instrument's
    FOCUS_BUTTON,         // a button, a link, a check box
    FOCUS_SLIDER_KEYED,   // a sensor slider the keyboard brought the focus to
    FOCUS_SLIDER_TOUCHED, // a sensor slider last clicked, dragged or touched
    FOCUS_FIGURE_ENTRY,   // a slider's figure entry
    FOCUS_TEXT,           // any other field being typed in
};

// What a key does with the focus on `focus`: `action` for act(), or `step`
// (1 up, -1 down) moves the focused slider one position, or `page` (1 or -1)
// moves the focused slider, or its entry's, an engine step. None of them:
// the focused control keeps the key. A slider reached by the keyboard keeps
// Up and Down and takes + and - as its step; one clicked leaves them to the
// knob; a field typed in keeps every key but the function keys. Return,
// Enter and Space press a focused button in the page; in the window they
// push the knob wherever the focus is (its buttons go by their Alt keys).
struct key_effect {
    panel_action action;
    int step, page;
};
key_effect focused_key(const std::string &code, const std::string &character, key_focus focus,
                       int front_end);

// Does what the action does: a key of the instrument, On, Off, EXIO, or the
// playback's pause, step, restart and speed.
void act(session &s, panel_action action);

// Ticks the timeline's keys seek, as Help says: Left and Right a second,
// Page Up and Page Down ten.
const long long TIMELINE_ARROW_TICKS = 10;
const long long TIMELINE_PAGE_TICKS = 100;

// The Help text of a front end's bindings, a "keys: what" line each.
std::string bindings_help(int front_end);
