// lcdshot's --from-log mode: its own options, from the whole command line.
#pragma once

// Runs the mode; returns the exit status.
int from_log_main(int argc, char **argv);
