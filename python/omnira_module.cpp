// The Python module `omnira`: a thin binding over the host's session
// (host/session/session.h) and its headless script runner, for tests
// written with pytest. The instrument's records are the program's globals:
// each Instrument keeps its own copy while another one runs.
#include "core/alarms.h"
#include "display/frame_buffer.h"
#include "host/png/png_io.h"
#include "host/profiles/profile.h"
#include "host/runner/script_runner.h"
#include "host/script/instrument_state.h"
#include "host/session/session.h"
#include "host/shell/lcd_palette.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace py = pybind11;

namespace {

slider_id slider_by_name(const std::string &name) {
    if (name == "rpm") return SLIDER_RPM;
    if (name == "map") return SLIDER_MAP;
    if (name == "temp") return SLIDER_TEMP;
    throw py::value_error("no slider is named " + name + " (rpm, map, temp)");
}

class instrument;
// The Instrument whose records are in the program's globals now.
instrument *active = nullptr;

class instrument {
  public:
    // With a profile (the path of a profile file), its settings are put in
    // place at every power-on instead of the factory ones.
    explicit instrument(const py::object &profile) : session_(read_golden_file) {
        // The profile is read first: an instrument refused never runs.
        if (!profile.is_none()) {
            const std::string path = py::str(profile).cast<std::string>();
            std::ifstream in(path, std::ios::binary);
            if (!in.is_open()) throw py::value_error("cannot open the profile " + path);
            // One byte past the largest, so that a longer file is refused unread.
            std::string bytes(MAX_PROFILE_BYTES + 1, '\0');
            in.read(&bytes[0], (std::streamsize)bytes.size());
            bytes.resize((size_t)in.gcount());
            if (!session_.load_profile(bytes, path)) throw py::value_error(session_.take_alert());
        }
        park_active();
        reset_program_state();
        active = this;
    }
    ~instrument() {
        if (active == this) active = nullptr;
    }

    // Brings this instrument's records into the globals, parking the other's.
    void activate() {
        if (active == this) return;
        park_active();
        restore_program_state(parked_);
        active = this;
    }

    void power_on() { activate(), session_.power_on(); }
    void power_off() { activate(), session_.power_off(); }
    bool is_on() { return activate(), session_.instrument_on(); }

    void key(const std::string &name) {
        activate();
        uint8_t code = 0;
        if (!key_code(name, code))
            throw py::value_error("no key is named " + name + " (F1, F2, PUSH, PLUS, MINUS)");
        session_.key(code);
    }

    // A raw position (an int), or a figure as the script language reads it
    // ("30.0 inHg", "2400 rpm", or a number in the unit shown).
    void slider(const std::string &name, const py::object &value) {
        activate();
        const slider_id id = slider_by_name(name);
        if (py::isinstance<py::int_>(value)) {
            session_.move_slider(id, value.cast<int32_t>());
            return;
        }
        if (!session_.enter_figure(id, py::str(value).cast<std::string>()))
            throw py::value_error(session_.entry_message());
    }
    void figure(const std::string &name, const py::object &value, const char *unit) {
        slider(name, py::str(py::str(value).cast<std::string>() + " " + unit));
    }

    void set_exio(bool on) { activate(), session_.set_exio(on); }
    void set_engine_timers(bool on) { activate(), session_.set_engine_timers(on); }

    // Ticks of the 100 ms timer, each followed by `passes` passes while on:
    // as a script's `hold` with passes=6, `tick N` with passes=0.
    void advance(long long ticks, int passes) {
        activate();
        if (ticks < 0 || passes < 0) throw py::value_error("ticks and passes are never negative");
        py::gil_scoped_release unlocked;
        for (long long t = 0; t < ticks; t++) {
            session_.elapse(session::TICK_MS);
            for (int p = 0; p < passes && session_.loop_running(); p++) session_.pass();
        }
    }
    void hold(double seconds) {
        advance((long long)(seconds * 10 + 0.5), lcd_script::PASSES_PER_TICK);
    }
    void passes(long long count) {
        activate();
        if (!session_.loop_running()) throw py::value_error("the instrument is off: no pass runs");
        py::gil_scoped_release unlocked;
        for (long long p = 0; p < count; p++) session_.pass();
    }

    py::bytes frame() {
        activate();
        return py::bytes((const char *)frame_buffer, LCD_PIXELS);
    }
    py::bytes frame_rgb() {
        activate();
        std::string rgb(LCD_PIXELS * 3, '\0');
        for (int i = 0; i < LCD_PIXELS; i++) {
            const uint32_t c = palette_colour(frame_buffer[i]);
            rgb[3 * i] = (char)(c >> 16);
            rgb[3 * i + 1] = (char)(c >> 8);
            rgb[3 * i + 2] = (char)c;
        }
        return py::bytes(rgb);
    }
    std::string screen() { return activate(), screen_name(screen_on_display()); }
    std::string lamp() { return activate(), lamp_red == LAMP_BRIGHT ? "bright" : "dark"; }
    std::string state_json() {
        activate();
        return instrument_state_json(session_.instrument_on(),
                                     (long long)(session_.now() / session::TICK_MS));
    }
    std::string recording() const { return session_.recording(); }
    std::string profile_title() const { return session_.profile_title(); }

    session::saved_state save() { return activate(), session_.save(); }
    void restore(const session::saved_state &saved) { activate(), session_.restore(saved); }

    // A script from program start, on the side: this instrument is as it
    // was afterwards.
    script_run_result play(const std::string &text, const std::string &outdir,
                           const std::string &goldens, bool keep_going, int scale) {
        activate();
        program_state mine;
        save_program_state(mine);
        script_run_options options;
        options.outdir = outdir;
        options.goldens = goldens;
        options.keep_going = keep_going;
        options.scale = scale;
        std::string log;
        script_run_result result;
        {
            py::gil_scoped_release unlocked;
            result = run_script(text, "script", options,
                                [&log](const std::string &line) { log += line; });
        }
        restore_program_state(mine);
        log_ = log;
        return result;
    }
    const std::string &play_log() const { return log_; }

  private:
    static void park_active() {
        if (active) save_program_state(active->parked_);
    }

    session session_;
    program_state parked_;
    std::string log_;
};

// The live LCD's frame buffer as a read-only 120 x 160 buffer of palette
// indices: numpy.asarray() and memoryview() see it without a copy.
struct lcd_view {};

} // namespace

PYBIND11_MODULE(omnira, m) {
    m.doc() = "The Omnira instrument for tests: the host's session, headless.";
    m.attr("WIDTH") = LCD_WIDTH;
    m.attr("HEIGHT") = LCD_HEIGHT;
    m.attr("PASSES_PER_TICK") = lcd_script::PASSES_PER_TICK;
    m.def(
        "palette",
        [] {
            py::list colours;
            for (int i = 0; i < LCD_PALETTE_SIZE; i++) colours.append(lcd_palette[i]);
            return colours;
        },
        "The palette: 0xRRGGBB per index.");

    py::class_<session::saved_state>(m, "SavedState",
                                     "The instrument's records and panel, from Instrument.save().");

    py::class_<script_picture>(m, "Picture")
        .def_readonly("name", &script_picture::name)
        .def_readonly("path", &script_picture::where)
        .def_property_readonly("frame", [](const script_picture &p) {
            return py::bytes((const char *)p.frame.data(), p.frame.size());
        });

    py::class_<script_run_result>(m, "ScriptResult")
        .def_property_readonly(
            "passed",
            [](const script_run_result &r) { return r.result == script_run_result::PASSED; })
        .def_property_readonly("outcome",
                               [](const script_run_result &r) {
                                   return r.result == script_run_result::PASSED   ? "passed"
                                          : r.result == script_run_result::FAILED ? "failed"
                                                                                  : "not run";
                               })
        .def_property_readonly("messages",
                               [](const script_run_result &r) {
                                   std::vector<std::string> out;
                                   if (r.result == script_run_result::NOT_RUN)
                                       out.push_back(std::to_string(r.error_line) + ": " + r.error);
                                   for (const lcd_script::failure &f : r.failures)
                                       out.push_back(std::to_string(f.line) + ": " + f.message);
                                   return out;
                               })
        .def_readonly("pictures", &script_run_result::pictures)
        .def_readonly("ticks", &script_run_result::ticks)
        .def("__bool__",
             [](const script_run_result &r) { return r.result == script_run_result::PASSED; });

    py::class_<lcd_view>(m, "LcdView", py::buffer_protocol()).def_buffer([](lcd_view &) {
        return py::buffer_info(frame_buffer, 1, py::format_descriptor<uint8_t>::format(), 2,
                               {LCD_HEIGHT, LCD_WIDTH}, {LCD_WIDTH, 1}, true);
    });

    py::class_<instrument>(m, "Instrument",
                           "The instrument at program start: off, sliders at RPM 1, MAP 1, TEMP 0.")
        .def(py::init<const py::object &>(), py::arg("profile") = py::none(),
             "profile: the path of a profile file, put in place at every power-on.")
        .def_property_readonly("profile_title", &instrument::profile_title)
        .def("power_on", &instrument::power_on)
        .def("power_off", &instrument::power_off)
        .def_property_readonly("on", &instrument::is_on)
        .def("key", &instrument::key, py::arg("name"), "F1, F2, PUSH, PLUS or MINUS.")
        .def("slider", &instrument::slider, py::arg("name"), py::arg("value"),
             "rpm, map or temp: an int is a raw position, a str a figure (\"30.0 inHg\").")
        .def("rpm", [](instrument &i, const py::object &v) { i.figure("rpm", v, "rpm"); })
        .def(
            "map",
            [](instrument &i, const py::object &v, const char *unit) { i.figure("map", v, unit); },
            py::arg("figure"), py::arg("unit") = "inHg")
        .def(
            "temp",
            [](instrument &i, const py::object &v, const char *unit) { i.figure("temp", v, unit); },
            py::arg("figure"), py::arg("unit") = "C")
        .def("exio", &instrument::set_exio)
        .def("engine_timers", &instrument::set_engine_timers)
        .def("advance", &instrument::advance, py::arg("ticks") = 1,
             py::arg("passes") = lcd_script::PASSES_PER_TICK)
        .def("hold", &instrument::hold, py::arg("seconds"))
        .def("passes", &instrument::passes, py::arg("count") = 1)
        .def("frame", &instrument::frame, "160 x 120 palette indices, row by row.")
        .def("frame_rgb", &instrument::frame_rgb, "160 x 120 pixels of R, G, B bytes.")
        .def_property_readonly(
            "lcd",
            [](instrument &i) {
                i.activate();
                return lcd_view{};
            },
            "The live frame buffer (120 x 160) without a copy; numpy.asarray() takes it.")
        .def_property_readonly("screen", &instrument::screen)
        .def_property_readonly("lamp", &instrument::lamp)
        .def(
            "state",
            [](instrument &i) { return py::module_::import("json").attr("loads")(i.state_json()); },
            "The instrument's state as data (the format of lcdshot --state).")
        .def("state_json", &instrument::state_json)
        .def("recording", &instrument::recording, "Every input so far as an lcdshot script.")
        .def("save", &instrument::save)
        .def("restore", &instrument::restore, py::arg("saved"))
        .def("play", &instrument::play, py::arg("script"), py::arg("outdir") = "",
             py::arg("goldens") = "", py::arg("keep_going") = false, py::arg("scale") = 4,
             "Runs a script from program start on the side; pictures kept in memory "
             "unless outdir is given.")
        .def_property_readonly("play_log", &instrument::play_log);
}
