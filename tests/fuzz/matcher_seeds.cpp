// Writes the rows of the matcher's table into the folder given, one file a
// row (pattern, NUL, name), as the seeds of the matcher's fuzz test.
#include <cstdio>
#include <string>

#include "tests/matcher_table.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    int row = 0;
    for (const MatcherRow& c : kMatcherTable) {
        const std::string path = std::string(argv[1]) + "/row-" + std::to_string(++row);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        const std::string seed = std::string(c.pattern) + '\0' + c.entry;
        if (file == nullptr || std::fwrite(seed.data(), 1, seed.size(), file) != seed.size() ||
            std::fclose(file) != 0) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
