// The two message pages; both go back to message_return_screen on any key.
#pragma once

// "MESSAGE" / "DONE" with the exclamation icon, no soft keys.
void done_message_screen(void);

// "CODE" / "CHANGED" when pending_code is 1, otherwise "CODE" / "ERROR".
void code_result_screen(void);
