#include "TgaWriter.h"

#include "FailureReason.h"
#include "PixelFormatConversions.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace parvane::imaging {

namespace {

// The file is handed on in pieces of about this size, so that saving never holds a second
// copy of the whole picture; large enough that the number of writes does not matter.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

std::array<std::uint8_t, kTgaHeaderSize> headerOf(const Bitmap& bitmap) {
    std::array<std::uint8_t, kTgaHeaderSize> header{};
    header[2] = 2; // uncompressed true-colour
    header[12] = static_cast<std::uint8_t>(bitmap.width() & 0xFF);
    header[13] = static_cast<std::uint8_t>(bitmap.width() >> 8);
    header[14] = static_cast<std::uint8_t>(bitmap.height() & 0xFF);
    header[15] = static_cast<std::uint8_t>(bitmap.height() >> 8);
    header[16] = 24;
    // Descriptor 0: no alpha bits, left to right, bottom row first.
    return header;
}

// Hands the complete file to sink (a function taking a span of bytes and returning false to
// stop) in bounded pieces: the header, then the rows bottom row first, gathered (32-bit rows
// packed to 24 bits) into one reused chunk of about kChunkBytes, so that narrow pictures do
// not cost a write call per row.
template <typename Sink> bool encodeInChunks(const Bitmap& bitmap, Sink&& sink) {
    const auto header = headerOf(bitmap);
    if (!sink(std::span<const std::uint8_t>(header)))
        return false;
    const bool direct = bitmap.format() == PixelFormat::Bits24 ||
                        bitmap.format() == PixelFormat::Bits32 ||
                        bitmap.format() == PixelFormat::Device;
    // Palette and 16-bit pictures are converted as a whole first, as the bitmap's own
    // conversion does it; the picture being saved is not changed.
    const Bitmap converted = direct ? Bitmap{} : convertedTo24Bits(bitmap);
    const Bitmap& source = direct ? bitmap : converted;
    const int width = source.width();
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    const bool packed = source.format() == PixelFormat::Bits24;
    const std::size_t rowsPerChunk =
        std::max<std::size_t>(1, kChunkBytes / std::max<std::size_t>(rowBytes, 1));
    std::vector<std::uint8_t> chunk(
        std::min(rowsPerChunk, static_cast<std::size_t>(source.height())) * rowBytes);
    std::size_t filled = 0;
    for (int y = source.height() - 1; y >= 0; --y) {
        const std::uint8_t* s = source.row(y);
        std::uint8_t* d = chunk.data() + filled;
        if (packed) {
            std::memcpy(d, s, rowBytes);
        } else {
            for (int x = 0; x < width; ++x, s += 4, d += 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
        filled += rowBytes;
        if (filled == chunk.size() || y == 0) {
            if (!sink(std::span<const std::uint8_t>(chunk.data(), filled)))
                return false;
            filled = 0;
        }
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> encodeUncompTGA24bits(const Bitmap& bitmap) {
    if (bitmap.width() > kMaxTgaSide || bitmap.height() > kMaxTgaSide)
        return {};
    std::vector<std::uint8_t> file;
    file.reserve(kTgaHeaderSize + 3 * static_cast<std::size_t>(bitmap.width()) *
                                      static_cast<std::size_t>(bitmap.height()));
    encodeInChunks(bitmap, [&](std::span<const std::uint8_t> piece) {
        file.insert(file.end(), piece.begin(), piece.end());
        return true;
    });
    return file;
}

WriteStatus SaveAsUncompTGA24bits(const Bitmap& bitmap, const std::filesystem::path& fileName) {
    if (bitmap.width() > kMaxTgaSide || bitmap.height() > kMaxTgaSide)
        return writeFailure(reasons::format(reasons::kTgaTooLarge, {"65535"}));
    AtomicFileWriter file(fileName);
    if (!file.status())
        return file.status();
    encodeInChunks(bitmap, [&](std::span<const std::uint8_t> piece) { return file.write(piece); });
    return file.commit();
}

} // namespace parvane::imaging
