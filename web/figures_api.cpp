// The page's side of the boundary for the engine figures beside the sliders
// and for the LCD's description: plain C functions over the toolkit-free
// host, as the window calls it. `on` says whether the settings in force are
// the instrument's own (on, live or in a script) or the factory ones.
#include "core/alarms.h"
#include "host/figures/engine_figures.h"
#include "host/figures/lcd_description.h"
#include "host/shell/power_loop.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

std::string typed;   // an entry handed over by the page
std::string message; // the last entry's warning or refusal
std::string reply;   // the last string handed back
lcd_announcer announcer;

const char *hand_back(const std::string &s) {
    reply = s;
    return reply.c_str();
}

// Slider numbers as the page gives them: 0 RPM, 1 MAP, 2 TEMP.
slider_id slider_of(int slider) {
    return slider == 1 ? SLIDER_MAP : slider == 2 ? SLIDER_TEMP : SLIDER_RPM;
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char *omnira_slider_reading(int slider, int position, int on) {
    return hand_back(slider_reading(slider_of(slider), position, on != 0));
}

EMSCRIPTEN_KEEPALIVE const char *omnira_slider_unit(int slider, int on) {
    return hand_back(figure_unit_name(shown_unit(slider_of(slider), on != 0)));
}

// Room for `bytes` bytes of an entry's UTF-8 text, which the page writes.
EMSCRIPTEN_KEEPALIVE char *omnira_entry_text(int bytes) {
    typed.assign(bytes < 0 ? 0 : (size_t)bytes, '\0');
    return &typed[0];
}

// The position the entry handed over puts its slider at, or -1 when it is
// refused; its warning or refusal through omnira_entry_message.
EMSCRIPTEN_KEEPALIVE int omnira_enter_figure(int slider, int on) {
    int32_t position = 0;
    if (!enter_slider_figure(slider_of(slider), typed, on != 0, position, message)) return -1;
    return position;
}

EMSCRIPTEN_KEEPALIVE const char *omnira_entry_message(void) {
    return hand_back(message);
}

EMSCRIPTEN_KEEPALIVE int omnira_page_position(int slider, int position, int direction, int on) {
    return slider_page_position(slider_of(slider), position, direction, on != 0);
}

EMSCRIPTEN_KEEPALIVE void omnira_announcer_tick(int ticks) {
    for (int i = 0; i < ticks && i < lcd_announcer::ANNOUNCE_TICKS; i++) announcer.tick();
}

// The LCD's description when it is to be announced now, else empty.
EMSCRIPTEN_KEEPALIVE const char *omnira_announcement(int on) {
    const lcd_description description = describe_lcd(on != 0);
    return hand_back(announcer.offer(description) ? description.text : std::string());
}

EMSCRIPTEN_KEEPALIVE const char *omnira_lamp_name(void) {
    return lamp_accessible_name(lamp_red >= LAMP_BRIGHT);
}

} // extern "C"
