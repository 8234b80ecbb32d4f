// The one rule for any text a front end shows or a terminal prints.
#pragma once
#include <stddef.h>

#include <string>

// Text from a script as it may be shown on a terminal or a page: valid UTF-8
// stays as it is; control characters, bidirectional controls and bytes that
// are not UTF-8 become \xNN or \u{NNNN}. Cut after `length` characters
// with "..." when longer.
std::string printable(const std::string &text, size_t length = (size_t)-1);
