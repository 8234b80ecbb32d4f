#include "host/files/replace_file.h"

#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary file being written, for the signal handler.
char pending_temporary[4096];
volatile sig_atomic_t temporary_pending = 0;

// How much of the target's name a temporary file repeats: the rest of the
// name (the process, six random characters) must still fit a file name.
const size_t NAME_KEPT = 100;

// The folder of `path` (with its slash) and the start of every temporary name beside it:
// ".NAME." (cut to NAME_KEPT bytes).
void split(const std::string &path, std::string &folder, std::string &prefix) {
    const size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    prefix = "." + name.substr(0, NAME_KEPT) + ".";
}

void on_signal(int signal_number) {
    if (temporary_pending) unlink(pending_temporary);
    ::signal(signal_number, SIG_DFL);
    raise(signal_number);
}

} // namespace

bool replace_file(const std::string &path, const std::function<bool(FILE *)> &fill,
                  std::string &error) {
    std::string folder, prefix;
    split(path, folder, prefix);
    remove_stale_temporaries(path);
    std::string temporary = folder + prefix + std::to_string((long)getpid()) + ".tmp-XXXXXX";
    if (temporary.size() >= sizeof pending_temporary) {
        error = "the name is too long";
        return false;
    }
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) {
        error = strerror(errno);
        return false;
    }
    memcpy(pending_temporary, temporary.c_str(), temporary.size() + 1);
    temporary_pending = 1;
    FILE *file = fdopen(fd, "wb");
    bool written = file && fill(file);
    int saved = errno;
    if (file)
        written = fclose(file) == 0 && written;
    else
        close(fd);
    // mkstemp makes the file for its owner only; the file is as any new one.
    const mode_t mask = umask(0);
    umask(mask);
    written = written && chmod(temporary.c_str(), 0666 & ~mask) == 0 &&
              rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        saved = errno ? errno : saved;
        unlink(temporary.c_str());
        error = saved ? strerror(saved) : "the file could not be written";
    }
    temporary_pending = 0;
    return written;
}

bool replace_file(const std::string &path, const std::string &bytes, std::string &error) {
    return replace_file(
        path, [&](FILE *f) { return fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(); },
        error);
}

void remove_stale_temporaries(const std::string &path) {
    std::string folder, prefix;
    split(path, folder, prefix);
    DIR *dir = opendir(folder.c_str());
    if (!dir) return;
    while (const dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        // ".NAME.PID.tmp-XXXXXX" of a process that is gone.
        char *end = nullptr;
        const long pid = strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid <= 0 || strncmp(end, ".tmp-", 5) != 0 || strlen(end) != 11) continue;
        if (kill((pid_t)pid, 0) == 0 || errno != ESRCH) continue;
        struct stat st;
        const std::string stale = folder + name;
        if (lstat(stale.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(stale.c_str());
    }
    closedir(dir);
}

void remove_temporaries_on_signals() {
    for (int s : {SIGINT, SIGTERM, SIGHUP}) signal(s, on_signal);
}

std::string file_name_part(const std::string &text, const std::string &fallback) {
    std::string out;
    for (size_t i = 0; i < text.size() && out.size() < 64; i++) {
        const char c = text[i];
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '_' || c == '-';
        out += kept ? c : '_';
    }
    return out.find_first_not_of('_') == std::string::npos ? fallback : out;
}
