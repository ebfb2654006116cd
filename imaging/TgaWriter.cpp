#include "TgaWriter.h"

#include "PixelFormatConversions.h"

#include <cstring>
#include <memory>

namespace parvane::imaging {

namespace {

std::size_t encodedSize(const Bitmap& bitmap) {
    return kTgaHeaderSize +
           3 * static_cast<std::size_t>(bitmap.width()) * static_cast<std::size_t>(bitmap.height());
}

// Fills file (encodedSize bytes) with the complete TGA file of the bitmap.
void encodeInto(const Bitmap& bitmap, std::uint8_t* file) {
    const int width = bitmap.width();
    const int height = bitmap.height();
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(width);
    std::memset(file, 0, kTgaHeaderSize);
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
    std::uint8_t* out = file + kTgaHeaderSize;
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
}

} // namespace

std::vector<std::uint8_t> encodeUncompTGA24bits(const Bitmap& bitmap) {
    if (bitmap.width() > kMaxTgaSide || bitmap.height() > kMaxTgaSide)
        return {};
    std::vector<std::uint8_t> file(encodedSize(bitmap));
    encodeInto(bitmap, file.data());
    return file;
}

WriteStatus SaveAsUncompTGA24bits(const Bitmap& bitmap, const std::filesystem::path& fileName) {
    if (bitmap.width() > kMaxTgaSide || bitmap.height() > kMaxTgaSide)
        return WriteStatus::failure("Cannot save " + fileName.string() +
                                    ": a TGA picture is at most 65535 pixels on each side.");
    // The whole file is built in one buffer (left uninitialised: every byte is written) and
    // handed to the file system in one write.
    const std::size_t size = encodedSize(bitmap);
    const std::unique_ptr<std::uint8_t[]> file(new std::uint8_t[size]);
    encodeInto(bitmap, file.get());
    return writeFileAtomically(fileName, {file.get(), size});
}

} // namespace parvane::imaging
