// lcdshot's --from-log mode: its own options, from the whole command line.
#pragma once

#include <string>

// Runs the mode, its messages under `program`; returns the exit status.
int from_log_main(const std::string &program, int argc, char **argv);
