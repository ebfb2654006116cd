#include "FailureReason.h"

#include <cctype>

namespace parvane::imaging::reasons {

namespace {

constexpr const char* kAll[] = {
    kFileMissing,
    kIsFolder,
    kNotRegularFile,
    kCannotOpen,
    kCannotRead,
    kFileTooLarge,
    kEndsAfter,
    kNoMemory,
    kNoReader,
    kEmptyPicture,
    kPictureTooLarge,
    kRunLengthEnds,
    kRunLengthEndsInRow,
    kBitsPerPixel,
    kCompression,
    kTgaNoImage,
    kTgaImageType,
    kTgaImageTypeDepth,
    kTgaColourMapEntries,
    kPsdVersion,
    kPsdColourMode,
    kPsdChannelDepth,
    kPsdNoChannels,
    kPcxNotPcx,
    kPcxPlanes,
    kNoFileName,
    kSaveOnFolder,
    kReadOnly,
    kFolderNotWritable,
    kWriteFailed,
    kPermissionsFailed,
    kReplaceFailed,
    kBmpTooLarge,
    kTgaTooLarge,
    kBmpNoSignature,
    kBmpShortHeaders,
    kBmpEmbedded,
    kBmpRowsPastEnd,
    kBmpBeyondPalette,
    kPsdNoSignature,
    kPsdBitmapDepth,
    kPsdTooFewChannels,
    kPsdOneBit,
    kPsdIndexedDepth,
    kPsdNoPalette,
    kPsdPackedRow,
    kPsdPackedRowOfChannel,
    kPcxShortHeader,
    kPcxWindow,
    kPcxBytesPerLine,
    kPcxRawEnds,
    kPcxRunLengthShort,
    kPspShortHeader,
    kPspNoSignature,
    kPspVersion,
    kPspBlockMarker,
    kPspBlockPastEnd,
    kPspBlockHeader,
    kPspAttributesCutShort,
    kPspPaletteDamaged,
    kPspNoAttributes,
    kPspDepth,
    kPspCompression,
    kPspCannotHoldPicture,
    kPspBeyondLimit,
    kPspNothingToShow,
    kPspCompositeDamaged,
    kPspChannelPastBlock,
    kPspChannelCannotFill,
    kPspRunLengthEnds,
    kPspDeflateDamaged,
    kPspJpegChannels,
    kPspNoColourChannel,
    kPspNoIndexChannel,
    kPspLayerCutShort,
    kPspGroupDamaged,
    kPspBitmapInfoDamaged,
    kPspLayerTooLarge,
    kPspGroupsNest,
    kPspGroupCanvasesNest,
    kPspCannotHoldLayers,
    kPspNoVisibleLayer,
    kPngNoSignature,
    kPngEndsEarly,
    kPngChunkCrc,
    kPngPixelData,
    kPngCannotHold,
    kPngDamaged,
    kLevelEndsInPalettes,
    kLevelEndsBeforePageCount,
    kLevelEndsInTextureHeader,
    kLevelPageCount,
    kLevelPagesNeed,
    kLevelDataDeclares,
    kLevelRoomDeclares,
    kLevelLargerThan,
};

} // namespace

std::span<const char* const> allPatterns() {
    return kAll;
}

std::string format(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string grouped(std::uint64_t count) {
    const std::string digits = std::to_string(count);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string endsAfter(std::uint64_t have, std::uint64_t need) {
    return format(kEndsAfter, {grouped(have), grouped(need)});
}

std::string sentence(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n'))
        text.pop_back();
    if (text.empty())
        return text;
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const char last = text.back();
    if (last != '.' && last != '!' && last != '?')
        text += '.';
    return text;
}

} // namespace parvane::imaging::reasons
