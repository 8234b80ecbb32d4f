// reset_program_state must bring back every writable global of the instrument
// and of the toolkit-free host, including ones added later. The globals are
// found with nm in the two libraries, located in this executable, and
// compared with a copy of the writable segment taken before main.
#include "core/settings.h"
#include "host/shell/power_loop.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// AddressSanitizer pads every global with red zones that may not be read, so
// the test runs in the regular build only.
#ifndef __SANITIZE_ADDRESS__

extern "C" char __data_start[];
extern "C" char _end[];

namespace {

// The writable segment (.data and .bss) as it was at program start.
const std::vector<char> program_start(__data_start, _end);

struct symbol {
    std::string name;
    uintptr_t address;
    size_t size;
};

// Data and bss symbols with a size, as nm lists them.
std::vector<symbol> writable_symbols(const std::string &file) {
    std::vector<symbol> symbols;
    std::string command = std::string(NM_TOOL) + " --defined-only -S " + file + " 2>/dev/null";
    FILE *nm = popen(command.c_str(), "r");
    if (!nm) return symbols;
    char line[1024];
    while (fgets(line, sizeof line, nm)) {
        char address[64], size[64], type, name[900];
        if (sscanf(line, "%63s %63s %c %899s", address, size, &type, name) != 4) continue;
        if (!strchr("bBdD", type)) continue;
        symbols.push_back(
            {name, (uintptr_t)strtoull(address, 0, 16), (size_t)strtoull(size, 0, 16)});
    }
    pclose(nm);
    return symbols;
}

// This executable's copies of the libraries' writable globals, at run-time addresses.
std::vector<symbol> instrument_globals() {
    std::set<std::pair<std::string, size_t>> wanted;
    for (const char *library : {INSTRUMENT_LIBRARY, SHELL_LIBRARY})
        for (const symbol &s : writable_symbols(library)) wanted.insert({s.name, s.size});
    char self[4096] = {0};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return {};
    std::vector<symbol> found = writable_symbols(self);
    uintptr_t bias = 0;
    for (const symbol &s : found)
        if (s.name == "settings") bias = (uintptr_t)&settings - s.address;
    std::vector<symbol> globals;
    for (symbol s : found) {
        if (!wanted.count({s.name, s.size})) continue;
        s.address += bias;
        // Tables of pointers are relocated data, read-only once the program runs.
        if (s.address < (uintptr_t)__data_start || s.address + s.size > (uintptr_t)_end) continue;
        globals.push_back(s);
    }
    return globals;
}

TEST(ProgramState, ResetBringsBackEveryGlobal) {
    std::vector<symbol> globals = instrument_globals();
    ASSERT_GT(globals.size(), 40u) << "nm found too few globals";
    for (const symbol &s : globals) memset((void *)s.address, 0xA5, s.size);
    reset_program_state();
    std::vector<std::string> missed;
    for (const symbol &s : globals) {
        const char *start = program_start.data() + (s.address - (uintptr_t)__data_start);
        if (memcmp((void *)s.address, start, s.size) != 0) missed.push_back(s.name);
        memcpy((void *)s.address, start, s.size);
    }
    EXPECT_TRUE(missed.empty()) << "not reset: " << ::testing::PrintToString(missed);
}

} // namespace

#endif
