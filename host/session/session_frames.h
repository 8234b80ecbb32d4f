// Where the session's scripts write their pictures and read their goldens;
// shared by the session's own files only.
#pragma once
#include "display/frame_buffer.h"
#include "host/session/session.h"

// A script's pictures are kept in the session; its goldens come from the
// library or, for a script from a file, from its folder through the front
// end's reader.
class session::frames : public frame_files {
  public:
    frames(session &owner, const std::string &folder, library_kind kind)
        : owner_(owner), folder_(folder), kind_(kind) {}

    bool write_frame(const std::string &name, const uint8_t *frame, int, bool,
                     std::string &where) override {
        owner_.pictures_.emplace_back(frame, frame + LCD_PIXELS);
        where = name + " (kept in the session)";
        return true;
    }

    bool read_golden(const std::string &name, uint8_t *frame, std::string &error) override {
        if (folder_.empty()) {
            if (owner_.libraries_[kind_].golden(name, frame)) return true;
            error = "no golden " + name + " in the library";
            return false;
        }
        if (!owner_.read_golden_) {
            error = "no golden " + name + ": only the library's goldens are here";
            return false;
        }
        return owner_.read_golden_(folder_, name, frame, error);
    }

  private:
    session &owner_;
    std::string folder_;
    library_kind kind_;
};

