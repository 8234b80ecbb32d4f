// Frame files for tests that keep no pictures and have no goldens.
#pragma once
#include "host/script/lcd_script.h"

#include <string>

class no_files : public frame_files {
  public:
    bool write_frame(const std::string &name, const uint8_t *, int, bool,
                     std::string &where) override {
        where = name;
        return true;
    }
    bool read_golden(const std::string &name, uint8_t *, std::string &error) override {
        error = "no file " + name;
        return false;
    }
};
