// Replays fuzz inputs, files or whole directories of them, through the
// driver without libFuzzer: the seed corpus and every checked-in finding
// run as a plain test with any compiler.
#include "driver.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

static int replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::printf("%s (%zu bytes)\n", file.filename().c_str(), bytes.size());
    std::fflush(stdout);
    return xif::fuzz::run_case(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

int main(int argc, char** argv) {
    int cases = 0;
    for (int k = 1; k < argc; ++k) {
        const fs::path p(argv[k]);
        std::vector<fs::path> files;
        if (fs::is_directory(p)) {
            for (const auto& e : fs::directory_iterator(p))
                if (e.is_regular_file() && e.path().extension() != ".md" &&
                    e.path().filename().string()[0] != '.')
                    files.push_back(e.path());
        } else if (fs::is_regular_file(p)) {
            files.push_back(p);
        } else {
            std::fprintf(stderr, "no such input: %s\n", argv[k]);
            return 2;
        }
        std::sort(files.begin(), files.end());
        for (const auto& f : files) {
            replay(f);
            ++cases;
        }
    }
    std::printf("%d cases replayed\n", cases);
    return cases > 0 ? 0 : 2;
}
