// PNG reading and writing for the developer tools and the golden-screen tests.
#pragma once
#include "host/script/lcd_script.h"

#include <stdint.h>

#include <string>
#include <vector>

// Writes width x height pixels of 0xRRGGBB.
bool write_rgb_png(const std::string &path, const uint32_t *rgb, int width, int height);

// Writes an 8-bit indexed PNG: the indices themselves with the given palette.
bool write_indexed_png(const std::string &path, const uint8_t *indices, int width, int height,
                       const uint32_t *palette, int palette_size);

// Reads an 8-bit indexed PNG's indices; false if it is missing, not a
// regular file, not indexed, broken, or larger than 4096 on a side.
bool read_indexed_png(const std::string &path, std::vector<uint8_t> &indices, int &width,
                      int &height);

// Reads any PNG as 0xAARRGGBB pixels.
bool read_rgba_png(const std::string &path, std::vector<uint32_t> &argb, int &width, int &height);

// The 160 x 120 frame buffer in palette colours, each pixel a scale x scale square.
bool write_lcd_png(const std::string &path, const uint8_t *frame, int scale);

// The 160 x 120 frame buffer as an exact indexed PNG (indices plus the palette).
bool write_lcd_indexed_png(const std::string &path, const uint8_t *frame);

// Golden | actual | the differing pixels (magenta), side by side, 4x.
bool write_diff_png(const std::string &path, const uint8_t *golden, const uint8_t *actual);

// A script's pictures as PNG files in a folder (created when needed), and its
// goldens read from 160 x 120 indexed PNGs in golden_dir or below it (the
// script's own folder; empty for the working directory).
class png_frame_files : public frame_files {
  public:
    explicit png_frame_files(const std::string &outdir, const std::string &golden_dir = "");
    bool write_frame(const std::string &name, const uint8_t *frame, int scale, bool exact,
                     std::string &where) override;
    bool read_golden(const std::string &file, uint8_t *frame, std::string &error) override;
    // OUTDIR/NAME.json.
    bool write_state(const std::string &name, const std::string &json, std::string &where) override;
    // OUTDIR/NAME-actual.png (the frame, indexed) and OUTDIR/NAME-diff.png,
    // NAME from the golden's file name.
    void write_mismatch(const std::string &file, const uint8_t *golden, const uint8_t *frame,
                        std::string &where) override;
    bool write_golden(const std::string &file, const uint8_t *frame, std::string &where) override;

  private:
    bool golden_path(const std::string &name, std::string &path, std::string &error) const;
    std::string outdir_;
    std::string golden_dir_;
};

// The bytes of a 160 x 120 indexed PNG (a golden in a front end's resources)
// as palette indices; false for anything else.
bool decode_lcd_png(const std::string &png, uint8_t *frame);

// A golden named by a script, read from `folder` or below it by the rule of
// png_frame_files: the session's reader of goldens in files.
bool read_golden_file(const std::string &folder, const std::string &name, uint8_t *frame,
                      std::string &error);
