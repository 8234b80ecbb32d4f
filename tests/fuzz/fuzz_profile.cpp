// An instrument profile on any bytes: it is refused naming a line, or its
// settings go in place over the factory ones, and saved again they read back
// to the same records.
#include "core/settings.h"
#include "host/profiles/profile.h"
#include "tests/fuzz/fuzz_check.h"

#include <string.h>

#include <string>

namespace {

struct records {
    settings_record s;
    calibration_record c;
};

records applied(const instrument_profile &profile) {
    load_factory_defaults();
    apply_profile(profile);
    return records{settings, calibration};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string bytes((const char *)data, size);
    instrument_profile profile;
    std::string error;
    if (!read_profile(bytes, profile, error)) {
        fuzz_require(!error.empty(), "a refused profile says why");
        return 0;
    }
    const records first = applied(profile);
    const std::string saved = write_profile(profile.title);
    instrument_profile again;
    fuzz_require(read_profile(saved, again, error), "a saved profile reads back");
    const records second = applied(again);
    fuzz_require(memcmp(&first.s, &second.s, sizeof first.s) == 0 &&
                     memcmp(&first.c, &second.c, sizeof first.c) == 0,
                 "a saved profile puts the same settings in place");
    return 0;
}
