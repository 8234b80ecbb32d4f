#include "host/shell/drawn_state.h"

#include "core/alarms.h"
#include "core/timebase.h"
#include "display/menu.h"
#include "screens/run_screen.h"

drawn_state lcd_drawn_state;

// Field by field: the record's padding stays as program start left it, so
// saved program states compare equal byte for byte.
void keep_drawn_state(void) {
    drawn_state &d = lcd_drawn_state;
    d.run_page = run_page;
    d.mag_check = mag_check_countdown;
    d.menu_selected = menu_selected;
    d.menu_top = menu_top;
    d.menu_editing = menu_editing;
    d.alarm_active = alarm_active;
    d.alarm_acknowledged = alarm_acknowledged;
}
