// Writes a small level file for the command-line script tests:
//   write_test_level OUT GENERATION [--pages N] [--no-animated] [--container] [--truncate N]
#include "../LevelFileWriter.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    using namespace parvane::level::testing;
    if (argc < 3) {
        std::fprintf(stderr, "usage: write_test_level OUT GENERATION [options]\n");
        return 2;
    }
    const int generation = std::atoi(argv[2]);
    if (generation < 1 || generation > 7) {
        std::fprintf(stderr, "generation must be 1 to 7\n");
        return 2;
    }
    LevelRecipe recipe = richLevel(generation);
    long truncate = -1;
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--pages" && i + 1 < argc)
            recipe.pages = static_cast<std::uint32_t>(std::atoi(argv[++i]));
        else if (a == "--no-animated")
            recipe.animatedWords = {0};
        else if (a == "--container")
            recipe.zlibContainer = true;
        else if (a == "--truncate" && i + 1 < argc)
            truncate = std::atol(argv[++i]);
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    auto bytes = writeLevel(recipe);
    if (truncate >= 0 && static_cast<std::size_t>(truncate) < bytes.size())
        bytes.resize(static_cast<std::size_t>(truncate));
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}
