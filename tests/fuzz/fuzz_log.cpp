// The data log converter on any bytes. The first byte picks options (bit 0:
// MAP in mB, 1: temperature in F, 2: from 10 s, 3: up to 60 s, 4: key lines
// after power-on, 6: from the clock time 23:59:55, 7: up to 00:00:05), the
// rest is the log. It either refuses with a reason or
// writes a scenario that the script interpreter loads, with no control
// character but the line ends.
#include "host/data_log/data_log.h"
#include "host/script/lcd_script.h"
#include "tests/fuzz/fuzz_check.h"

#include <string>

namespace {

class no_files : public frame_files {
  public:
    bool write_frame(const std::string &, const uint8_t *, int, bool, std::string &) override {
        return false;
    }
    bool read_golden(const std::string &, uint8_t *, std::string &) override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const uint8_t flags = data[0];
    log_options options;
    if (flags & 1) options.map_unit = FIGURE_MB;
    if (flags & 2) options.temp_unit = FIGURE_F;
    if (flags & 4) options.start = 100;
    if (flags & 8) options.end = 600;
    if (flags & 16) options.settings = "key F2\npass 2\n";
    if (flags & 64) options.start_clock = 863950;
    if (flags & 128) options.end_clock = 50;
    options.title = "fuzz.csv";
    const std::string csv((const char *)data + 1, size - 1);
    log_conversion result;
    if (!convert_data_log(csv, options, result)) {
        fuzz_require(!result.error.empty(), "a refusal says why");
        return 0;
    }
    for (char c : result.script)
        fuzz_require(c == '\n' || (unsigned char)c >= 32, "no control character in the scenario");
    no_files files;
    lcd_script script(files, 1, [](const std::string &) {});
    fuzz_require(script.load(result.script), "the scenario loads");
    log_header header;
    std::string error;
    fuzz_require(read_log_header(csv, header, error), "a converted log has a header");
    return 0;
}
