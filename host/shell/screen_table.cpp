#include "host/shell/screen_table.h"

#include "menus/hobbs_code.h"
#include "menus/main_menu.h"
#include "menus/map_setup.h"
#include "menus/misc_setup.h"
#include "menus/rpm_setup.h"
#include "menus/security_setup.h"
#include "menus/temp_setup.h"
#include "menus/timers_setup.h"
#include "screens/flight_prompt.h"
#include "screens/messages.h"
#include "screens/run_screen.h"
#include "screens/security_gate.h"

const struct screen_entry screen_table[] = {
    {"run", run_screen},
    {"done_message", done_message_screen},
    {"code_result", code_result_screen},
    {"flight_prompt", flight_prompt_screen},
    {"security_gate", security_gate_screen},
    {"main_menu", main_menu_screen},
    {"map_setup", map_setup_screen},
    {"rpm_setup", rpm_setup_screen},
    {"temp_setup", temp_setup_screen},
    {"timers_setup", timers_setup_screen},
    {"set_hobbs_time", set_hobbs_time_screen},
    {"set_maint_time", set_maint_time_screen},
    {"enter_hobbs_code", enter_hobbs_code_screen},
    {"enter_current_hobbs_code", enter_current_hobbs_code_screen},
    {"enter_new_hobbs_code", enter_new_hobbs_code_screen},
    {"confirm_new_hobbs_code", confirm_new_hobbs_code_screen},
    {"misc_setup", misc_setup_screen},
    {"backlight", backlight_screen},
    {"security_setup", security_setup_screen},
    {"check_code", check_code_screen},
    {"new_code", new_code_screen},
    {"confirm_code", confirm_code_screen},
    {"info", info_screen},
    {"default_settings", default_settings_screen},
    {"adc_values", adc_values_screen},
};

const int screen_table_size = sizeof screen_table / sizeof screen_table[0];

const char *screen_name(screen_handler handler) {
    for (int i = 0; i < screen_table_size; i++)
        if (screen_table[i].handler == handler) return screen_table[i].name;
    return "unknown";
}
