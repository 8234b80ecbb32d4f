#include "host/text/printable.h"

#include <stdint.h>
#include <stdio.h>

namespace {

// How long a UTF-8 sequence starting with `lead` is; 0 for a byte that
// starts none.
int utf8_length(unsigned char lead) {
    return lead >= 0xC2 && lead <= 0xDF   ? 2
           : lead >= 0xE0 && lead <= 0xEF ? 3
           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                          : 0;
}

// Characters that change how the text around them reads or where it goes:
// C1 controls, bidirectional marks, embeddings, overrides and isolates, and
// the line and paragraph separators.
bool hidden_control(uint32_t cp) {
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0x061C || cp == 0x200E || cp == 0x200F ||
           (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

} // namespace

std::string printable(const std::string &text, size_t length) {
    std::string out;
    size_t characters = 0, at = 0;
    for (; at < text.size() && characters < length; characters++) {
        const unsigned char c = (unsigned char)text[at];
        if (c >= 32 && c < 127) {
            out += (char)c;
            at++;
            continue;
        }
        // A whole, shortest-form sequence of a character other than a surrogate.
        const int n = utf8_length(c);
        uint32_t cp = n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
        bool whole = n > 0 && at + n <= text.size();
        for (int i = 1; whole && i < n; i++) {
            const unsigned char next = (unsigned char)text[at + i];
            whole = (next & 0xC0) == 0x80;
            cp = cp << 6 | (next & 0x3F);
        }
        whole = whole && !(n == 3 && cp < 0x800) && !(n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) &&
                !(cp >= 0xD800 && cp <= 0xDFFF);
        char escape[16];
        if (whole && !hidden_control(cp)) {
            out.append(text, at, n);
            at += n;
        } else if (whole) {
            snprintf(escape, sizeof escape, "\\u{%04X}", (unsigned)cp);
            out += escape;
            at += n;
        } else {
            snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
            at++;
        }
    }
    if (at < text.size()) out += "...";
    return out;
}

