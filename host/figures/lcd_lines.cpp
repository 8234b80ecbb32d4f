#include "host/figures/lcd_lines.h"

#include "display/text.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

// ":" or "." nearer than this to a neighbour reads as part of it ("0:05").
const int PUNCTUATION_GAP = 12;

struct placed {
    const shown_text *t;
    std::string words;
};

struct line {
    int top, bottom;
    std::vector<placed> texts;
};

bool punctuation(const std::string &w) {
    return w == ":" || w == ".";
}

bool share_rows(const line &l, const shown_text &t) {
    const int overlap = std::min(l.bottom, t.y + t.height) - std::max(l.top, (int)t.y);
    const int shorter = std::min(l.bottom - l.top, (int)t.height);
    return overlap > 0 && 2 * overlap >= shorter;
}

bool x_overlap(const shown_text &a, const shown_text &b) {
    return a.x < b.end_x && b.x < a.end_x;
}

std::string joined(const line &l) {
    std::string out;
    const placed *previous = nullptr;
    bool single_capital = false;
    for (const placed &p : l.texts) {
        if (previous) {
            const std::string &w = p.words;
            const int gap = p.t->x - previous->t->end_x;
            const bool touching = abs(gap) <= 1 && p.t->height == previous->t->height &&
                                  isalnum((unsigned char)out.back()) &&
                                  isalnum((unsigned char)w[0]);
            const bool name_rest = single_capital && islower((unsigned char)w[0]);
            const bool close_mark =
                (punctuation(w) || punctuation(previous->words)) && gap < PUNCTUATION_GAP;
            if (!touching && !name_rest && !close_mark) out += ' ';
        }
        out += p.words;
        single_capital = p.words.size() == 1 && isupper((unsigned char)p.words[0]);
        previous = &p;
    }
    return out;
}

} // namespace

std::string spoken(const char *text) {
    if (strcmp(text, "\"Hg") == 0) return "inHg";
    std::string out;
    for (const char *c = text; *c; c++) {
        const unsigned char b = (unsigned char)*c;
        const bool blank = b == ' ' || b == 0xB0;
        if (blank && (out.empty() || out.back() == ' ')) continue;
        if (blank || (b > 32 && b < 127)) out += blank ? ' ' : (char)b;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

bool shown_text_repeated(int i) {
    const shown_text &t = shown_texts[i];
    for (int j = 0; j < i; j++) {
        const shown_text &u = shown_texts[j];
        if (u.y != t.y) continue;
        if (u.x == t.x && strcmp(u.text, t.text) == 0) return true;
        if (strlen(t.text) == 1 && strlen(u.text) > 1 && u.x <= t.x && t.end_x <= u.end_x)
            return true;
    }
    return false;
}

std::vector<drawn_line> drawn_lines() {
    // The tallest texts first, so that each line's rows are its largest font's.
    std::vector<int> order;
    for (int i = 0; i < shown_text_count; i++) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [](int a, int b) { return shown_texts[a].height > shown_texts[b].height; });
    std::vector<line> lines;
    for (int i : order) {
        const shown_text &t = shown_texts[i];
        std::string words = spoken(t.text);
        if (words.empty() || shown_text_repeated(i)) continue;
        auto at = std::find_if(lines.begin(), lines.end(),
                               [&](const line &l) { return share_rows(l, t); });
        if (at == lines.end()) at = lines.insert(lines.end(), line{t.y, t.y + t.height, {}});
        at->top = std::min(at->top, (int)t.y);
        at->bottom = std::max(at->bottom, t.y + t.height);
        at->texts.push_back({&t, words});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const line &a, const line &b) { return a.top < b.top; });
    std::vector<drawn_line> out;
    for (line &l : lines) {
        std::stable_sort(l.texts.begin(), l.texts.end(),
                         [](const placed &a, const placed &b) { return a.t->x < b.t->x; });
        // Of two texts standing over each other, the upper one first.
        for (size_t k = 1; k < l.texts.size(); k++)
            if (x_overlap(*l.texts[k - 1].t, *l.texts[k].t) &&
                l.texts[k].t->y < l.texts[k - 1].t->y)
                std::swap(l.texts[k - 1], l.texts[k]);
        out.push_back({l.top, joined(l)});
    }
    return out;
}
