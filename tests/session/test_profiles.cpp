// Instrument profiles: read and checked by line, put in place at power-on,
// saved so that they read back to the same records, and carried by the
// recording and a data log's scenario.
#include "core/alarms.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "host/profiles/profile.h"
#include "host/session/session.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"

#include "tests/support/no_files.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

namespace {

const std::string OIL_IN_F = "# Four-cylinder, oil in F\n"
                             "note Oil limits from the engine's handbook\n"
                             "set temp_unit F\n"
                             "set temp_low_alarm 75 F\n"
                             "set temp_high_alarm 245 F\n"
                             "set map_low_alarm_on OFF\n"
                             "set rpm_label \"LYC \"\n";

TEST(Profiles, LinesAreCheckedEachNamingItsLine) {
    struct {
        const char *text;
        const char *error; // empty: read
    } cases[] = {
        {"set temp_unit F\nset temp_high_alarm 245 F\n", ""},
        {"set temp_high_alarm 245 F\n", "line 1: temp_high_alarm is given in F while"},
        {"# t\n\nset map_unit mB\nset map_high_alarm 41.3 inHg\n", "line 4: map_high_alarm"},
        {"set fuel_flow 3\n", "line 1: no setting is named \"fuel_flow\""},
        {"set hobbs_time 12.5\n", "line 1: hobbs_time is the aircraft's time"},
        {"set backlight_level 15\n", "line 1: backlight_level is set from 10 to 100"},
        {"sett map_unit mB\n", "line 1: unknown line \"sett\""},
        {"set map_unit\n", "line 1: set takes"},
        {"title Mine\nnote x\n# a comment\nset security_on ON\n", ""},
    };
    for (const auto &c : cases) {
        reset_program_state();
        instrument_profile profile;
        std::string error;
        const bool read = read_profile(c.text, profile, error);
        EXPECT_EQ(read, !*c.error) << c.text;
        EXPECT_EQ(error.compare(0, strlen(c.error), c.error), 0) << c.text << ": " << error;
    }
    instrument_profile profile;
    std::string error;
    ASSERT_TRUE(read_profile(OIL_IN_F, profile, error)) << error;
    EXPECT_EQ(profile.title, "Four-cylinder, oil in F");
    EXPECT_EQ(profile.note, "Oil limits from the engine's handbook");
}

// Saved, then loaded on the factory settings: the same records, byte for byte.
TEST(Profiles, ASavedProfileReadsBackToTheSameRecords) {
    reset_program_state();
    load_factory_defaults();
    instrument_profile profile;
    std::string error;
    ASSERT_TRUE(read_profile(OIL_IN_F, profile, error)) << error;
    apply_profile(profile);
    settings.map_unit = 0;
    settings.map_high_alarm = 1400;
    calibration.map_cal_internal = -7;
    memcpy(settings.temp_label, "OIL", 4);
    const settings_record kept_settings = settings;
    const calibration_record kept_calibration = calibration;
    const std::string saved = write_profile("Round trip");
    reset_program_state();
    load_factory_defaults();
    ASSERT_TRUE(read_profile(saved, profile, error)) << error << "\n" << saved;
    apply_profile(profile);
    EXPECT_EQ(memcmp(&settings, &kept_settings, sizeof settings), 0) << saved;
    EXPECT_EQ(memcmp(&calibration, &kept_calibration, sizeof calibration), 0) << saved;
}

TEST(Profiles, TheLiveInstrumentPowersOnWithItAndItsRecordingReplays) {
    reset_program_state();
    session s;
    ASSERT_TRUE(s.load_profile(OIL_IN_F, "oil.txt")) << s.take_alert();
    EXPECT_EQ(s.profile_title(), "Four-cylinder, oil in F");
    s.move_slider(SLIDER_TEMP, 2674);
    s.power_on();
    for (int i = 0; i < 12; i++) s.pass();
    EXPECT_EQ(settings.temp_unit, 1);
    EXPECT_EQ(settings.map_low_alarm_on, 0);
    const std::string live((const char *)frame_buffer, LCD_PIXELS);
    no_files files;
    lcd_script replay(files, 1, [](const std::string &) {});
    reset_program_state();
    ASSERT_TRUE(replay.run(s.recording())) << replay.error();
    EXPECT_EQ(std::string((const char *)frame_buffer, LCD_PIXELS), live);
    // Off, the profile saved is the one the next power-on loads.
    reset_program_state();
    session fresh;
    ASSERT_TRUE(fresh.load_profile(OIL_IN_F, "oil.txt"));
    EXPECT_NE(fresh.save_profile("x").find("set temp_high_alarm 245 F\n"), std::string::npos);
    fresh.factory_settings();
    EXPECT_NE(fresh.save_profile("x").find("set temp_high_alarm 60 C\n"), std::string::npos);
}

// A log in F under the factory TEMP limits (0 to 60 C) lights the lamp all
// flight; under the owner's profile it stays dark.
TEST(Profiles, AProfileChangesWhatALogsFlightShows) {
    std::string log = "time,rpm,map,oil_temp_f\n";
    for (int t = 0; t <= 30; t++) log += std::to_string(t) + ",2400,24.0,180\n";
    for (bool with_profile : {false, true}) {
        reset_program_state();
        session s;
        if (with_profile) {
            ASSERT_TRUE(s.load_profile(OIL_IN_F, "oil.txt"));
        }
        ASSERT_TRUE(s.open_log(log, "flight.csv"));
        ASSERT_TRUE(s.play_log()) << s.take_alert();
        s.set_speed(16);
        for (int i = 0; i < 5000 && s.playing(); i++) s.elapse(50);
        EXPECT_EQ(lamp_red == LAMP_BRIGHT, !with_profile) << with_profile;
    }
}

// Each preset reads, and a cruise of its kind of engine (its MAP, 2400 rpm,
// oil at 180 F) runs with the lamp dark under it.
TEST(Profiles, ThePresetsReadAndCruiseWithoutAnAlarm) {
    const struct {
        const char *file, *map;
    } presets[] = {
        {"normally_aspirated_oil_f.txt", "24.0 inHg"},
        {"turbocharged_c.txt", "32.0 inHg"},
        {"turbo_normalised_oil_f.txt", "28.0 inHg"},
    };
    for (const auto &p : presets) {
        FILE *f = fopen((std::string(PROFILE_DIR) + "/" + p.file).c_str(), "rb");
        ASSERT_TRUE(f) << p.file;
        std::string text(MAX_PROFILE_BYTES, '\0');
        text.resize(fread(&text[0], 1, text.size(), f));
        fclose(f);
        reset_program_state();
        no_files files;
        lcd_script cruise(files, 1, [](const std::string &) {});
        instrument_profile profile;
        std::string error;
        ASSERT_TRUE(read_profile(text, profile, error)) << p.file << ": " << error;
        EXPECT_FALSE(profile.title.empty()) << p.file;
        cruise.settings_at_power_on(profile.settings);
        ASSERT_TRUE(cruise.run(std::string("rpm 2400 rpm\non\nmap ") + p.map +
                               "\ntemp 82 C\nhold 3\nexpect lamp dark\n"))
            << p.file << ": " << cruise.error();
    }
}

} // namespace
