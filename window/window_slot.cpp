#include "window/window_slot.h"

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

window_slot::window_slot() {
    // Per user and display: windows on other displays do not cascade.
    const char *display = getenv("DISPLAY");
    if (!display || !*display) display = getenv("WAYLAND_DISPLAY");
    if (!display) display = "";
    for (int n = 0; n < MAX_SLOTS; n++) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return;
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        // An abstract name starts with a NUL byte; a long display name is cut.
        snprintf(address.sun_path + 1, sizeof address.sun_path - 1,
                 "org.omnira.Omnira.window/%u/%d/%s", (unsigned)getuid(), n, display);
        const size_t used = 1 + strlen(address.sun_path + 1);
        if (bind(fd, (const sockaddr *)&address, offsetof(sockaddr_un, sun_path) + used) == 0) {
            socket_ = fd;
            number_ = n;
            return;
        }
        close(fd);
    }
}

window_slot::~window_slot() {
    if (socket_ >= 0) close(socket_);
}
