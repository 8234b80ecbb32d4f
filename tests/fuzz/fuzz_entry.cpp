// A slider's typed entry on any bytes. Layout: the slider (first byte, mod 3),
// then a byte of settings (bit 0 MAP in inHg, bit 1 TEMP in F, bit 2 MAP from
// EXIO, bit 3 the instrument on), then the text. An entry is either refused
// with a reason or puts the slider inside its range.
#include "core/settings.h"
#include "host/figures/engine_figures.h"
#include "tests/fuzz/fuzz_check.h"

#include <string>

#define HEADER 2

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < HEADER) return 0;
    const slider_id slider = (slider_id)(data[0] % 3);
    load_factory_defaults();
    settings.map_unit = data[1] & 1;
    settings.temp_unit = (data[1] >> 1) & 1;
    settings.map_source = (data[1] >> 2) & 1;
    const bool on = (data[1] >> 3) & 1;
    const std::string text((const char *)data + HEADER, size - HEADER);

    int32_t position = -1;
    std::string message;
    if (enter_slider_figure(slider, text, on, position, message)) {
        fuzz_require(position >= slider_minimum(slider) && position <= slider_maximum(slider),
                     "an accepted entry is inside the slider's range");
        fuzz_require(slider_reading(slider, position, on).find("  ") != std::string::npos,
                     "the reading has the position and the figure");
    } else {
        fuzz_require(!message.empty(), "a refusal says why");
    }
    return 0;
}
