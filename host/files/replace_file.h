// Files written whole or not at all: a new temporary file beside the target,
// renamed over it once complete, so that a link at the target is replaced,
// never followed, and a failed or interrupted write leaves no half file.
#pragma once
#include <stdio.h>

#include <functional>
#include <string>

// Writes `path` through `fill`, which writes to the open temporary file and
// says whether it succeeded. False, with `error` saying why, when the folder
// cannot take the file; the temporary file is removed then.
bool replace_file(const std::string &path, const std::function<bool(FILE *)> &fill,
                  std::string &error);

// The same for bytes already in memory.
bool replace_file(const std::string &path, const std::string &bytes, std::string &error);

// Removes the temporary files beside `path` that a process which no longer
// runs left behind (killed before it could rename them).
void remove_stale_temporaries(const std::string &path);

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary file being written
// before the program ends, as the signal would end it.
void remove_temporaries_on_signals();

// `text` as a part of a file name: letters, digits, '_' and '-' kept, every
// other byte (blanks, dots, slashes, controls, UTF-8) as '_', at most 64
// bytes; `fallback` when nothing is left.
std::string file_name_part(const std::string &text, const std::string &fallback);
