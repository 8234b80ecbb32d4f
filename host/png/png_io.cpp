#include "host/png/png_io.h"

#include "display/frame_buffer.h"
#include "host/files/replace_file.h"
#include "host/shell/lcd_palette.h"

#include <fcntl.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

bool write_png_to(FILE *file, int width, int height, int colour_type,
                  const std::vector<png_color> &palette, const std::vector<png_bytep> &rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), (int)palette.size());
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Writes the PNG by a temporary file renamed over `path` (host/files).
bool write_png(const std::string &path, int width, int height, int colour_type,
               const std::vector<png_color> &palette, const std::vector<png_bytep> &rows) {
    std::string error;
    return replace_file(
        path, [&](FILE *f) { return write_png_to(f, width, height, colour_type, palette, rows); },
        error);
}

// The largest side of a PNG these tools read: a 16x shot is 2560 wide.
const png_uint_32 MAX_SIDE = 4096;

void png_error_jump(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void png_warning_ignore(png_structp, png_const_charp) {}

// Opens a regular file only: a pipe or a device would block or never end.
FILE *open_regular_file(const std::string &path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    FILE *f = fdopen(fd, "rb");
    if (!f) close(fd);
    return f;
}

// libpng reports errors by jumping back to setjmp, skipping destructors: the
// two functions that call it hold no C++ object, and the callers allocate
// before or after them.
bool read_header(png_structp png, png_infop info, FILE *f, bool want_indexed) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, f);
    png_set_user_limits(png, MAX_SIDE, MAX_SIDE);
    png_read_info(png, info);
    int type = png_get_color_type(png, info);
    int depth = png_get_bit_depth(png, info);
    if (want_indexed) return type == PNG_COLOR_TYPE_PALETTE && depth == 8;
    if (depth == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    return true;
}

bool read_rows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Reads a PNG's pixels, as indices or as RGBA bytes. A PNG whose size is not
// `want_width` x `want_height` (when given) is refused before its rows are
// read.
bool read_png_from(FILE *f, bool want_indexed, std::vector<uint8_t> &bytes, int &width,
                   int &height, int want_width = 0, int want_height = 0) {
    if (!f) return false;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_jump, png_warning_ignore);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = info && read_header(png, info, f, want_indexed);
    if (ok) {
        width = (int)png_get_image_width(png, info);
        height = (int)png_get_image_height(png, info);
        ok = want_width == 0 || (width == want_width && height == want_height);
    }
    if (ok) {
        const size_t stride = png_get_rowbytes(png, info);
        bytes.assign(stride * height, 0);
        std::vector<png_bytep> rows(height);
        for (int y = 0; y < height; y++) rows[y] = bytes.data() + y * stride;
        ok = read_rows(png, rows.data());
    }
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(f);
    return ok;
}

bool read_png(const std::string &path, bool want_indexed, std::vector<uint8_t> &bytes, int &width,
              int &height, int want_width = 0, int want_height = 0) {
    return read_png_from(open_regular_file(path), want_indexed, bytes, width, height, want_width,
                         want_height);
}

} // namespace

bool decode_lcd_png(const std::string &png, uint8_t *frame) {
    if (png.empty()) return false;
    FILE *f = fmemopen(const_cast<char *>(png.data()), png.size(), "rb");
    std::vector<uint8_t> indices;
    int width = 0, height = 0;
    if (!read_png_from(f, true, indices, width, height, LCD_WIDTH, LCD_HEIGHT)) return false;
    std::copy(indices.begin(), indices.end(), frame);
    return true;
}

bool read_golden_file(const std::string &folder, const std::string &name, uint8_t *frame,
                      std::string &error) {
    return png_frame_files("", folder).read_golden(name, frame, error);
}

bool write_rgb_png(const std::string &path, const uint32_t *rgb, int width, int height) {
    std::vector<uint8_t> bytes((size_t)width * height * 3);
    for (size_t i = 0; i < (size_t)width * height; i++) {
        bytes[3 * i] = (uint8_t)(rgb[i] >> 16);
        bytes[3 * i + 1] = (uint8_t)(rgb[i] >> 8);
        bytes[3 * i + 2] = (uint8_t)rgb[i];
    }
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; y++) rows[y] = bytes.data() + (size_t)y * width * 3;
    return write_png(path, width, height, PNG_COLOR_TYPE_RGB, {}, rows);
}

bool write_indexed_png(const std::string &path, const uint8_t *indices, int width, int height,
                       const uint32_t *palette, int palette_size) {
    std::vector<png_color> colours(256, png_color{0, 0, 0});
    for (int i = 0; i < palette_size && i < 256; i++)
        colours[i] = png_color{(png_byte)(palette[i] >> 16), (png_byte)(palette[i] >> 8),
                               (png_byte)palette[i]};
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; y++) rows[y] = const_cast<png_bytep>(indices + (size_t)y * width);
    return write_png(path, width, height, PNG_COLOR_TYPE_PALETTE, colours, rows);
}

bool read_indexed_png(const std::string &path, std::vector<uint8_t> &indices, int &width,
                      int &height) {
    return read_png(path, true, indices, width, height);
}

bool read_rgba_png(const std::string &path, std::vector<uint32_t> &argb, int &width, int &height) {
    std::vector<uint8_t> bytes;
    if (!read_png(path, false, bytes, width, height)) return false;
    argb.resize((size_t)width * height);
    for (size_t i = 0; i < argb.size(); i++) {
        const uint8_t *p = &bytes[4 * i];
        argb[i] = (uint32_t)p[3] << 24 | (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
    }
    return true;
}

bool write_lcd_png(const std::string &path, const uint8_t *frame, int scale) {
    int width = LCD_WIDTH * scale, height = LCD_HEIGHT * scale;
    std::vector<uint32_t> rgb((size_t)width * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            rgb[(size_t)y * width + x] = palette_colour(frame[(y / scale) * LCD_WIDTH + x / scale]);
    return write_rgb_png(path, rgb.data(), width, height);
}

bool write_lcd_indexed_png(const std::string &path, const uint8_t *frame) {
    return write_indexed_png(path, frame, LCD_WIDTH, LCD_HEIGHT, lcd_palette, LCD_PALETTE_SIZE);
}

png_frame_files::png_frame_files(const std::string &outdir, const std::string &golden_dir)
    : outdir_(outdir), golden_dir_(golden_dir) {}

bool png_frame_files::write_frame(const std::string &name, const uint8_t *frame, int scale,
                                  bool exact, std::string &where) {
    std::error_code ec;
    std::filesystem::create_directories(outdir_, ec);
    where = (std::filesystem::path(outdir_) / (name + ".png")).string();
    const bool written =
        exact ? write_lcd_indexed_png(where, frame) : write_lcd_png(where, frame, scale);
    if (!written) where = "cannot write " + where;
    return written;
}

bool png_frame_files::write_state(const std::string &name, const std::string &json,
                                  std::string &where) {
    std::error_code ec;
    std::filesystem::create_directories(outdir_, ec);
    where = (std::filesystem::path(outdir_) / (name + ".json")).string();
    std::string error;
    if (replace_file(where, json, error)) return true;
    where = "cannot write " + where + ": " + error;
    return false;
}

void png_frame_files::write_mismatch(const std::string &file, const uint8_t *golden,
                                     const uint8_t *frame, std::string &where) {
    namespace fs = std::filesystem;
    const std::string name = file_name_part(fs::path(file).stem().string(), "golden");
    std::error_code ec;
    fs::create_directories(outdir_, ec);
    const std::string actual = (fs::path(outdir_) / (name + "-actual.png")).string();
    const std::string diff = (fs::path(outdir_) / (name + "-diff.png")).string();
    where.clear();
    if (write_lcd_indexed_png(actual, frame)) where = "actual " + actual;
    if (write_diff_png(diff, golden, frame))
        where += (where.empty() ? "" : ", ") + std::string("golden | actual | difference ") + diff;
}

// A golden is a file in golden_dir or below it: an absolute name, a name
// that climbs out, or a link that leads out is refused before it is opened,
// so that a script learns nothing of files elsewhere (and writes nowhere else).
bool png_frame_files::golden_path(const std::string &name, std::string &path,
                                  std::string &error) const {
    namespace fs = std::filesystem;
    const fs::path given = fs::path(name).lexically_normal();
    std::error_code ec;
    const fs::path dir = fs::weakly_canonical(golden_dir_.empty() ? "." : golden_dir_, ec);
    const fs::path file = fs::weakly_canonical(dir / given, ec);
    const fs::path inside = file.lexically_relative(dir);
    if (given.is_absolute() || ec || inside.empty() || *inside.begin() == "..") {
        error = "golden " + name + " is outside the goldens' folder " + dir.string();
        return false;
    }
    path = file.string();
    return true;
}

bool png_frame_files::write_golden(const std::string &name, const uint8_t *frame,
                                   std::string &where) {
    std::string path;
    if (!golden_path(name, path, where)) return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (write_lcd_indexed_png(path, frame)) {
        where = path;
        return true;
    }
    where = "cannot write " + path;
    return false;
}

bool png_frame_files::read_golden(const std::string &name, uint8_t *frame, std::string &error) {
    namespace fs = std::filesystem;
    std::string path;
    if (!golden_path(name, path, error)) return false;
    std::vector<uint8_t> indices;
    int width = 0, height = 0;
    if (read_png(path, true, indices, width, height, LCD_WIDTH, LCD_HEIGHT)) {
        std::copy(indices.begin(), indices.end(), frame);
        return true;
    }
    std::error_code ec;
    if (width != 0 && (width != LCD_WIDTH || height != LCD_HEIGHT))
        error = name + " is " + std::to_string(width) + " x " + std::to_string(height) +
                ", not 160 x 120";
    else if (!fs::exists(path, ec))
        error = "no file " + name + " in " + fs::path(path).parent_path().string();
    else
        error = "cannot read " + name + " as an indexed PNG";
    return false;
}

bool write_diff_png(const std::string &path, const uint8_t *golden, const uint8_t *actual) {
    const int scale = 4, gap = 4, w = LCD_WIDTH;
    const int width = (3 * w + 2 * gap) * scale, height = LCD_HEIGHT * scale;
    // Differing pixels in magenta on black in the third panel.
    const uint32_t MARK = 0xFF00FF, GAP = 0x404040;
    std::vector<uint32_t> rgb((size_t)width * height, GAP);
    for (int y = 0; y < height; y++) {
        uint32_t *row = &rgb[(size_t)y * width];
        for (int x = 0; x < w * scale; x++) {
            const int i = (y / scale) * w + x / scale;
            row[x] = palette_colour(golden[i]);
            row[x + (w + gap) * scale] = palette_colour(actual[i]);
            row[x + 2 * (w + gap) * scale] = golden[i] != actual[i] ? MARK : 0;
        }
    }
    return write_rgb_png(path, rgb.data(), width, height);
}
