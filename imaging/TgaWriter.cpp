#include "TgaWriter.h"

#include "PixelFormatConversions.h"

#include <cstring>

namespace parvane::imaging {

std::vector<std::uint8_t> encodeUncompTGA24bits(const Bitmap& bitmap) {
    const int width = bitmap.width();
    const int height = bitmap.height();
    if (width > kMaxTgaSide || height > kMaxTgaSide)
        return {};
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> file(kTgaHeaderSize + rowBytes * static_cast<std::size_t>(height));
    file[2] = 2; // uncompressed true-colour
    file[12] = static_cast<std::uint8_t>(width & 0xFF);
    file[13] = static_cast<std::uint8_t>(width >> 8);
    file[14] = static_cast<std::uint8_t>(height & 0xFF);
    file[15] = static_cast<std::uint8_t>(height >> 8);
    file[16] = 24;
    // Descriptor 0: no alpha bits, left to right, bottom row first.

    const bool direct = bitmap.format() == PixelFormat::Bits24 ||
                        bitmap.format() == PixelFormat::Bits32 ||
                        bitmap.format() == PixelFormat::Device;
    const Bitmap converted = direct ? Bitmap{} : convertedTo24Bits(bitmap);
    const Bitmap& source = direct ? bitmap : converted;
    std::uint8_t* out = file.data() + kTgaHeaderSize;
    for (int y = height - 1; y >= 0; --y, out += rowBytes) {
        const std::uint8_t* s = source.row(y);
        if (source.format() == PixelFormat::Bits24) {
            std::memcpy(out, s, rowBytes);
            continue;
        }
        std::uint8_t* d = out;
        for (int x = 0; x < width; ++x, s += 4, d += 3) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return file;
}

WriteStatus SaveAsUncompTGA24bits(const Bitmap& bitmap, const std::filesystem::path& fileName) {
    if (bitmap.width() > kMaxTgaSide || bitmap.height() > kMaxTgaSide)
        return WriteStatus::failure("Cannot save " + fileName.string() +
                                    ": a TGA picture is at most 65535 pixels on each side.");
    const std::vector<std::uint8_t> file = encodeUncompTGA24bits(bitmap);
    return writeFileAtomically(fileName, file);
}

} // namespace parvane::imaging
