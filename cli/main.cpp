// parvane-cli: batch picture work on the same core code as the desktop program, without Qt.
#include "Commands.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

namespace {

using parvane::cli::Command;

// Adding a subcommand is one line here.
constexpr std::array kCommands = {
    Command{"info", "FILE", "print the size and pixel format of a picture", parvane::cli::runInfo},
    Command{"convert", "IN OUT", "load a picture and save it by OUT's extension (TGA, BMP, JPG)",
            parvane::cli::runConvert},
    Command{"resample", "IN OUT WIDTH HEIGHT [--filter NAME]",
            "resize a picture (filters Box, Triangle, Hermite, Bell, Spline, Lanczos3, "
            "Mitchell; default Mitchell) and save it by OUT's extension",
            parvane::cli::runResample},
    Command{"extract", "LEVEL OUT [--convert] [--animated]",
            "extract a level's texture pages (or with --animated only its animated textures "
            "as tiles) and save them by OUT's extension; --convert paints transparent pixels "
            "magenta",
            parvane::cli::runExtract},
    Command{"level-info", "LEVEL",
            "print a level's generation, page count, object texture count and animation ranges",
            parvane::cli::runLevelInfo},
    Command{"tiles", "SET [--tolerance T] [--turned] [--json] [--compact OUT --map MAP.csv]",
            "count a texture set's empty cells, distinct tiles and their copies (within a mean "
            "difference T, default 0; with --turned also turned or mirrored); --json prints one "
            "object; --compact writes the distinct tiles closed up as a TGA and --map the "
            "old-to-new index map as CSV",
            parvane::cli::runTiles},
};

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: parvane-cli COMMAND ARGUMENTS...\n\ncommands:\n");
    for (const Command& c : kCommands)
        std::fprintf(out, "  %.*s %.*s\n      %.*s\n", static_cast<int>(c.name.size()),
                     c.name.data(), static_cast<int>(c.usage.size()), c.usage.data(),
                     static_cast<int>(c.summary.size()), c.summary.data());
    std::fprintf(out, "\nexit codes: 0 done, 1 refused or failed, 2 usage error\n");
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(stderr);
        return parvane::cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(stdout);
        return parvane::cli::kExitDone;
    }
    for (const Command& c : kCommands) {
        if (c.name == args[0])
            return c.run(std::span<const std::string_view>(args).subspan(1));
    }
    std::fprintf(stderr, "parvane-cli: unknown command '%.*s'\n\n",
                 static_cast<int>(args[0].size()), args[0].data());
    printUsage(stderr);
    return parvane::cli::kExitUsage;
}
