// Feeds bytes through the level reader, the page strip and the animated layout. The file name
// decides between generation codes, so the first byte picks the name (and whether only the
// textures are read); the rest is the file.
#include "level/AnimatedTextures.h"
#include "level/PageStrip.h"
#include "level/dvunit3_modif.h"

#include <array>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace parvane::level;
    if (size < 1)
        return 0;
    static constexpr std::array<const char*, 7> kNames = {
        "fuzz.PHD", "fuzz.DVX", "fuzz.DV2", "fuzz.dvg/x.DV2", "fuzz.DV2", "fuzz.DV4", "fuzz.DVC"};
    const char* name = kNames[data[0] % kNames.size()];
    const bool texturesOnly = (data[0] & 0x80) != 0;
    Tdvlevel level;
    level.maxInflatedBytes = std::size_t{16} << 20;
    if (!level.LoadLevelFromBytes(std::vector<std::uint8_t>(data + 1, data + size), name,
                                  texturesOnly))
        return 0;
    const TdvlevelModel& model = level.model();
    if (model.NumTextiles == 0 || model.NumTextiles > 8)
        return 0;
    const PageStrip strip = buildPageStrip(level, (data[0] & 0x40) != 0);
    const auto ranges = parseAnimatedRanges(model.AnimatedTextures);
    if (layoutAnimatedRanges(ranges).rows <= 1024)
        layoutAnimatedTextures(ranges, model.ObjectTextures, strip.bitmap, model.NumTextiles);
    return 0;
}
