// Engine figures as a pilot reads them (RPM, millibar or inches of mercury,
// degrees C or F) turned into slider positions, through the instrument's own
// conversions with the settings in force.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

enum slider_id { SLIDER_RPM, SLIDER_MAP, SLIDER_TEMP };

// A figure's unit; FIGURE_RAW is a slider position itself. inHg figures are
// in tenths of an inch, as the instrument holds them.
enum figure_unit { FIGURE_RAW, FIGURE_RPM, FIGURE_MB, FIGURE_INHG, FIGURE_C, FIGURE_F };

// The range of each slider.
int32_t slider_minimum(slider_id slider);
int32_t slider_maximum(slider_id slider);

// Reads a unit's name ("rpm", "mB", "inHg", "C", "F", any case, or as the
// pages write them: "Hg, °C, °F) for a slider; false if the slider has no
// such unit.
bool parse_figure_unit(slider_id slider, const std::string &name, figure_unit &unit);
// A unit as the pages write it ("Hg, °C with the degree sign in UTF-8 or as
// the fonts' code 176) in the words above; any other word as it is.
std::string unit_spelling(const std::string &word);

// Reads a figure: a whole number, or for inHg one with at most one decimal
// (in tenths).
bool parse_figure(const std::string &text, figure_unit unit, int32_t &figure);

// A figure as the instrument shows it, with its unit ("2400 rpm", "30.0 inHg").
std::string figure_text(int32_t figure, figure_unit unit);

struct slider_choice {
    int32_t position; // the slider position chosen
    int32_t shown;    // the figure the instrument shows there once settled
    bool exact;       // shown equals the figure asked for
    bool clipped;     // shown has a digit more than the run screen has room
                      // for: it reads without its leading digit
};

// The slider position at which the instrument shows `figure` (for MAP, once
// the filter has settled from its present state); where no position shows it
// exactly, the one showing the nearest figure. The settings are those in
// force while the instrument is on; while it is off (before the first
// power-on or after "off"), the factory settings the next power-on loads,
// the records being left as they were. A TEMP figure is reached only up to
// the last reading that shows one: above it the screen reads "---". False,
// with `error` set, when the figure lies outside what the slider can reach,
// or for a MAP figure while the MAP source is EXIO.
bool position_for_figure(slider_id slider, int32_t figure, figure_unit unit, bool instrument_on,
                         slider_choice &choice, std::string &error);

// Every figure the slider makes the instrument show under the factory
// settings (a MAP figure as the filter settles from rest), in rising order:
// its reach is the first to the last.
void figures_shown(slider_id slider, figure_unit unit, std::vector<int32_t> &shown);

// The unit a slider's figure is shown in under the settings in force (the
// factory ones while the instrument is off): rpm, the MAP unit, the
// temperature unit.
figure_unit shown_unit(slider_id slider, bool instrument_on);

// A unit's name as shown ("rpm", "mB", "inHg", "C", "F"); empty for a raw
// position.
std::string figure_unit_name(figure_unit unit);

// What the instrument shows for a slider position under the settings in
// force, as slider_reading gives it after the position.
std::string slider_figure(slider_id slider, int32_t position, bool instrument_on);

// A slider's raw position and what the instrument shows for it under the
// settings in force: "30000  5000 rpm", "1522  30.0 inHg", "2674  50 C";
// "---" in place of the figure where the screen shows none (a TEMP reading
// without a sensor), "EXIO" for MAP while its source is EXIO.
std::string slider_reading(slider_id slider, int32_t position, bool instrument_on);

// The warnings for a chosen position, each empty when it does not apply:
// no position shows the figure exactly; the screen has no room for the
// shown figure's leading digit.
std::string nearest_figure_warning(const slider_choice &choice, int32_t figure, figure_unit unit);
std::string clipped_figure_warning(const slider_choice &choice, figure_unit unit);

// Reads a typed entry for a slider: a figure in the unit shown, optionally
// followed by that unit's name (or another unit of the slider), or a number
// followed by "raw" for a position. Puts the position the script language
// would choose in `position` and its warnings in `message`; false, with
// the refusal in `message`, for text it cannot read or a figure out of reach.
bool enter_slider_figure(slider_id slider, const std::string &text, bool instrument_on,
                         int32_t &position, std::string &message);

// Where Page Up (direction 1) or Page Down (-1) moves a slider: to the
// position showing the figure an engine step away (100 rpm, 10 mB or
// 1.0 inHg, 5 degrees), or to the end of the range when that is out of
// reach. Where the instrument shows no figure (MAP from EXIO, a TEMP reading
// without a sensor), by the raw counts of about one such step.
int32_t slider_page_position(slider_id slider, int32_t position, int direction, bool instrument_on);
