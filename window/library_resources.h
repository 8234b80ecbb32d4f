// The libraries bundled in the window's resources, handed to the session.
#pragma once

#include "host/session/library.h"

#include <QString>

// The scripts of the resource folder `folder` (":/scenarios"), its
// course.list and the goldens in its goldens/ folder, as a script names them.
void load_library(script_library &library, const QString &folder);
