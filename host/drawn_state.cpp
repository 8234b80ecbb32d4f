#include "host/drawn_state.h"

#include "core/alarms.h"
#include "core/timebase.h"
#include "display/menu.h"
#include "screens/run_screen.h"

drawn_state lcd_drawn_state;

void keep_drawn_state(void) {
    lcd_drawn_state = {run_page,     mag_check_countdown, menu_selected,     menu_top,
                       menu_editing, alarm_active,        alarm_acknowledged};
}
