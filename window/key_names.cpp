#include "window/key_names.h"

namespace {

struct named_key {
    int key;
    const char *code;
};

// Keys of the main block and the cursor keys.
const named_key MAIN_KEYS[] = {
    {Qt::Key_Return, "Enter"},
    {Qt::Key_Space, "Space"},
    {Qt::Key_Up, "ArrowUp"},
    {Qt::Key_Down, "ArrowDown"},
    {Qt::Key_Left, "ArrowLeft"},
    {Qt::Key_Right, "ArrowRight"},
    {Qt::Key_Home, "Home"},
    {Qt::Key_End, "End"},
    {Qt::Key_PageUp, "PageUp"},
    {Qt::Key_PageDown, "PageDown"},
    {Qt::Key_Minus, "Minus"},
    {Qt::Key_Equal, "Equal"},
    {Qt::Key_BracketLeft, "BracketLeft"},
    {Qt::Key_BracketRight, "BracketRight"},
    {Qt::Key_Escape, "Escape"},
    {Qt::Key_Tab, "Tab"},
    {Qt::Key_Enter, "NumpadEnter"},
};

// Keys of the keypad, which Qt tells by a modifier.
const named_key KEYPAD_KEYS[] = {
    {Qt::Key_Plus, "NumpadAdd"},          {Qt::Key_Minus, "NumpadSubtract"},
    {Qt::Key_Asterisk, "NumpadMultiply"}, {Qt::Key_Slash, "NumpadDivide"},
    {Qt::Key_Enter, "NumpadEnter"},       {Qt::Key_Period, "NumpadDecimal"},
};

} // namespace

std::string keyboardCode(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (keypad) {
        for (const named_key &k : KEYPAD_KEYS)
            if (k.key == key) return k.code;
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return "Numpad" + std::to_string(key - Qt::Key_0);
    }
    for (const named_key &k : MAIN_KEYS)
        if (k.key == key) return k.code;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return "F" + std::to_string(key - Qt::Key_F1 + 1);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return std::string("Key") + char('A' + key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return "Digit" + std::to_string(key - Qt::Key_0);
    return std::string();
}
