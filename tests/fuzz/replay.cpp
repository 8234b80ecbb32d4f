// Runs every file of the given corpus folders (or single files) through the
// fuzz target it is linked with, so every input found stays a regression test.
#include "tests/fuzz/fuzz_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; i++) {
        if (fs::is_directory(argv[i])) {
            for (const fs::directory_entry &e : fs::directory_iterator(argv[i]))
                if (e.is_regular_file()) inputs.push_back(e.path());
        } else if (fs::is_regular_file(argv[i])) {
            inputs.push_back(argv[i]);
        } else {
            fprintf(stderr, "%s: no such corpus file or folder\n", argv[i]);
            return 1;
        }
    }
    if (inputs.empty()) {
        fprintf(stderr, "usage: %s CORPUS_DIR|FILE...\n", argv[0]);
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path &p : inputs) {
        std::ifstream in(p, std::ios::binary);
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
        std::string name = p.string();
        fuzz_input_name = name.c_str();
        // A copy of exactly the file's length, so a read past it is caught.
        uint8_t *copy = new uint8_t[data.size()];
        std::copy(data.begin(), data.end(), copy);
        LLVMFuzzerTestOneInput(copy, data.size());
        delete[] copy;
    }
    printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
