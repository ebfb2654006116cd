// The subcommands of parvane-cli. Each command receives its own arguments (after its name)
// and returns the exit code: 0 done, 1 refused or failed, 2 usage error.
#pragma once

#include <span>
#include <string_view>

namespace parvane::cli {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct Command {
    std::string_view name;
    std::string_view usage;   // arguments, for --help
    std::string_view summary; // one line, for --help
    int (*run)(std::span<const std::string_view> args);
};

int runInfo(std::span<const std::string_view> args);
int runConvert(std::span<const std::string_view> args);
int runResample(std::span<const std::string_view> args);
int runExtract(std::span<const std::string_view> args);
int runLevelInfo(std::span<const std::string_view> args);
int runTiles(std::span<const std::string_view> args);

} // namespace parvane::cli
