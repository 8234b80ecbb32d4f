#include "host/session/bindings.h"

#include "core/keys.h"

#include <ctype.h>
#include <string.h>

const key_binding key_bindings[] = {
    {ACT_F1, "F1", "", "F1", "the F1 key (left bezel key)", IN_BOTH},
    {ACT_F2, "F2", "", "F2", "the F2 key (right bezel key)", IN_BOTH},
    {ACT_PUSH, "Enter NumpadEnter Space", "", "Return, Enter, Space",
     "push the knob (wherever the focus is, never a focused button)", IN_BOTH},
    {ACT_PLUS, "NumpadAdd ArrowUp", "+", "+ (main or keypad), Up", "turn the knob one step up",
     IN_BOTH},
    {ACT_MINUS, "NumpadSubtract ArrowDown", "-", "- (main or keypad), Down",
     "turn the knob one step down", IN_BOTH},
    {ACT_NONE, "", "", "Mouse wheel over the bezel", "one knob step per notch, up is +", IN_BOTH},
    {ACT_NONE, "", "", "Wheel click over the bezel", "push the knob", IN_BOTH},
    {ACT_ON, "KeyI", "", "I", "On (power on; afresh while on)", IN_BOTH},
    {ACT_OFF, "KeyO", "", "O", "Off", IN_BOTH},
    {ACT_EXIO, "KeyX", "", "X", "check or uncheck EXIO", IN_BOTH},
    {ACT_PAUSE, "KeyP", "", "P", "while a script plays: pause or resume it", IN_BOTH},
    {ACT_STEP, "KeyN", "", "N", "while a script is paused: the next tick", IN_BOTH},
    {ACT_RESTART, "KeyR", "", "R", "while a script plays: restart it", IN_BOTH},
    {ACT_SLOWER, "", "[", "[ and ]", "while a script plays: half or twice the speed (x1 to x16)",
     IN_BOTH},
    {ACT_FASTER, "", "]", "", "", IN_BOTH},
    {ACT_NONE, "", "", "Up, Down, +, - on a slider the Tab key reached",
     "move the slider one step, not the knob (on a slider clicked they turn the knob)", IN_BOTH},
    {ACT_NONE, "", "", "F1, F2 in a slider's entry", "the bezel keys; other keys type there",
     IN_BOTH},
    {ACT_NONE, "", "", "Page Up, Page Down on a slider or its entry",
     "move the slider an engine step: 100 rpm, 1.0 inHg or 10 mB, 5 degrees", IN_BOTH},
    {ACT_NONE, "", "", "Return in a slider's entry",
     "put the slider where the figure typed shows (a position when followed by raw)", IN_BOTH},
    {ACT_NONE, "", "", "Left, Right, Page Up, Page Down, Home, End on the timeline",
     "seek a second, ten seconds, to the start or the end", IN_BOTH},
    {ACT_NONE, "", "", "Ctrl++, Ctrl+-, Ctrl+0", "zoom the window in, out, back to 1x", IN_WINDOW},
    {ACT_NONE, "", "", "Ctrl+Q", "power off and quit", IN_WINDOW},
};
const int key_binding_count = sizeof key_bindings / sizeof key_bindings[0];

namespace {

// Whether `word` is one of the space-separated words of `list`.
bool listed(const char *list, const std::string &word) {
    if (word.empty()) return false;
    for (const char *at = list; *at;) {
        const char *end = strchr(at, ' ');
        const size_t length = end ? (size_t)(end - at) : strlen(at);
        if (length == word.size() && word.compare(0, length, at, length) == 0) return true;
        at += length + (end ? 1 : 0);
    }
    return false;
}

} // namespace

panel_action key_action(const std::string &code, const std::string &character, int front_end) {
    for (int i = 0; i < key_binding_count; i++) {
        const key_binding &b = key_bindings[i];
        if (b.action == ACT_NONE || !(b.front_ends & front_end)) continue;
        if (listed(b.codes, code) || listed(b.chars, character)) return b.action;
    }
    return ACT_NONE;
}

key_effect focused_key(const std::string &code, const std::string &character, key_focus focus,
                       int front_end) {
    const bool on_slider = focus == FOCUS_SLIDER_KEYED || focus == FOCUS_SLIDER_TOUCHED;
    if ((on_slider || focus == FOCUS_FIGURE_ENTRY) && (code == "PageUp" || code == "PageDown"))
        return {ACT_NONE, 0, code == "PageUp" ? 1 : -1};
    const bool function_key = code.size() > 1 && code[0] == 'F' && isdigit((unsigned char)code[1]);
    if ((focus == FOCUS_FIGURE_ENTRY || focus == FOCUS_TEXT) && !function_key)
        return {ACT_NONE, 0, 0};
    const panel_action action = key_action(code, character, front_end);
    if (focus == FOCUS_SLIDER_KEYED && (action == ACT_PLUS || action == ACT_MINUS)) {
        if (code == "ArrowUp" || code == "ArrowDown") return {ACT_NONE, 0, 0};
        return {ACT_NONE, action == ACT_PLUS ? 1 : -1, 0};
    }
    if (focus == FOCUS_BUTTON && action == ACT_PUSH && front_end == IN_PAGE)
        return {ACT_NONE, 0, 0};
    return {action, 0, 0};
}

void act(session &s, panel_action action) {
    switch (action) {
    case ACT_NONE: break;
    case ACT_F1: s.key(KEY_F1); break;
    case ACT_F2: s.key(KEY_F2); break;
    case ACT_PUSH: s.key(KEY_PUSH); break;
    case ACT_PLUS: s.key(KEY_PLUS); break;
    case ACT_MINUS: s.key(KEY_MINUS); break;
    case ACT_ON: s.power_on(); break;
    case ACT_OFF: s.power_off(); break;
    case ACT_EXIO: s.set_exio(!s.panel().exio_checked); break;
    case ACT_PAUSE: s.pause_resume(); break;
    case ACT_STEP: s.step(); break;
    case ACT_RESTART: s.restart(); break;
    case ACT_SLOWER: s.change_speed(-1); break;
    case ACT_FASTER: s.change_speed(1); break;
    }
}

std::string bindings_help(int front_end) {
    std::string text;
    for (int i = 0; i < key_binding_count; i++) {
        const key_binding &b = key_bindings[i];
        if (*b.keys && (b.front_ends & front_end))
            text += std::string(b.keys) + ": " + b.help + "\n";
    }
    return text;
}
