// A Qt key as the session's bindings name keys: the KeyboardEvent.code name
// of the key ("F1", "Enter", "NumpadAdd", "ArrowUp", "KeyI").
#pragma once

#include <Qt>

#include <string>

// Empty for a key that has no name the bindings could use.
std::string keyboardCode(int key, Qt::KeyboardModifiers modifiers);
