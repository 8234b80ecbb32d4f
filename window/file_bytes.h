// Files as the session sees them: names as their bytes, contents read to a
// limit so that the session can refuse one that is too long.
#pragma once
#include <QString>

#include <stddef.h>

#include <string>

// A file's name as its bytes, the way the session and lcdshot see it.
std::string fileBytesName(const QString &path);

// Up to `limit` + 1 bytes of the regular file at `path`; false when it
// cannot be read.
bool readFile(const QString &path, size_t limit, std::string &bytes);
