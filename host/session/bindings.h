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

// What has the focus when a key is pressed, as the front end sees it.
enum key_focus {
    FOCUS_NONE,            // the page or the instrument's picture
    FOCUS_BUTTON,          // a control Return, Enter and Space press: a button, a check box
                           // a file picker, a link
    FOCUS_SLIDER_KEYBOARD, // a sensor slider the keyboard brought the focus to
    FOCUS_SLIDER_POINTER,  // a sensor slider clicked or touched
    FOCUS_SLIDER_ENTRY,    // a sensor slider's figure entry
    FOCUS_TYPING,          // a list or any other text field
};

// Where a key goes: to the front end's focused control (ROUTE_KEEP: the
// browser's or toolkit's own use of it), to the session as `action`, a
// step of the focused slider, or an engine step of it (Page Up, Page Down).
enum key_route_kind { ROUTE_KEEP, ROUTE_ACTION, ROUTE_SLIDER_STEP, ROUTE_SLIDER_PAGE };
struct key_route {
    key_route_kind kind;
    panel_action action; // ROUTE_ACTION
    int direction;       // 1 or -1 for a slider's step or page
};

// The keys act on the instrument unless the focus uses them itself: a
// repeat or a combination with Ctrl, Alt or Meta (`combined`) is kept; a
// list or text field keeps all but the function keys (a figure entry takes
// Page Up and Page Down for its slider too); a slider the keyboard reached
// keeps Up and Down and takes + and - as its step, one clicked or touched
// leaves + and - to the knob; a focused button keeps Return and Space.
key_route route_key(const std::string &code, const std::string &character, key_focus focus,
                    bool combined, int front_end);

// Does what the action does: a key of the instrument, On, Off, EXIO, or the
// playback's pause, step, restart and speed.
void act(session &s, panel_action action);

// Ticks the timeline's keys seek, as Help says: Left and Right a second,
// Page Up and Page Down ten.
const long long TIMELINE_ARROW_TICKS = 10;
const long long TIMELINE_PAGE_TICKS = 100;

// The Help text of a front end's bindings, a "keys: what" line each.
std::string bindings_help(int front_end);
