#include "Bitmap.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace parvane::imaging {

namespace {

std::uint16_t readWord(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void writeWord(std::uint8_t* p, std::uint16_t w) {
    p[0] = static_cast<std::uint8_t>(w & 0xFF);
    p[1] = static_cast<std::uint8_t>(w >> 8);
}

// Scales the masked field of a word to 0..255.
std::uint8_t maskedComponent(std::uint32_t word, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    const std::uint32_t value = (word & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255u + max / 2) / max);
}

std::uint32_t toMaskedField(std::uint8_t component, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    return ((component * max + 127u) / 255u) << shift & mask;
}

bool isByteAligned(PixelFormat f) {
    return imaging::bitsPerPixel(f) >= 8;
}

} // namespace

int bitsPerPixel(PixelFormat format) {
    switch (format) {
    case PixelFormat::Bits1:
        return 1;
    case PixelFormat::Bits4:
        return 4;
    case PixelFormat::Bits8:
        return 8;
    case PixelFormat::Bits15:
    case PixelFormat::Bits16:
    case PixelFormat::Custom:
        return 16;
    case PixelFormat::Bits24:
        return 24;
    case PixelFormat::Device:
    case PixelFormat::Bits32:
        return 32;
    }
    return 32;
}

bool hasPalette(PixelFormat format) {
    return format == PixelFormat::Bits1 || format == PixelFormat::Bits4 ||
           format == PixelFormat::Bits8;
}

std::size_t Bitmap::strideFor(int width, PixelFormat format) {
    const std::size_t bits = static_cast<std::size_t>(width) * imaging::bitsPerPixel(format);
    return ((bits + 31) / 32) * 4;
}

bool Bitmap::fitsInMemory(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        return false;
    return width * height * 4 <= kMaxPixelBytes;
}

Bitmap::Bitmap(int width, int height, PixelFormat format) : format_(format) {
    if (!fitsInMemory(width, height))
        throw std::length_error("bitmap size out of range");
    width_ = width;
    height_ = height;
    stride_ = strideFor(width, format);
    pixels_ = PixelBuffer(stride_ * static_cast<std::size_t>(height));
    if (hasPalette(format))
        palette_.assign(std::size_t{1} << imaging::bitsPerPixel(format), colours::kBlack);
}

Bitmap Bitmap::forWriting(int width, int height, PixelFormat format) {
    if (!fitsInMemory(width, height))
        throw std::length_error("bitmap size out of range");
    Bitmap b;
    b.format_ = format;
    b.width_ = width;
    b.height_ = height;
    b.stride_ = strideFor(width, format);
    b.pixels_ = PixelBuffer::uninitialised(b.stride_ * static_cast<std::size_t>(height));
    // Bytes past the last pixel of a row are never written by readers but take part in
    // comparisons and copies: they stay zero as in every other bitmap.
    const std::size_t used =
        (static_cast<std::size_t>(width) * imaging::bitsPerPixel(format) + 7) / 8;
    if (used < b.stride_)
        for (int y = 0; y < height; ++y)
            std::memset(b.row(y) + used, 0, b.stride_ - used);
    if (hasPalette(format))
        b.palette_.assign(std::size_t{1} << imaging::bitsPerPixel(format), colours::kBlack);
    return b;
}

void Bitmap::setPalette(std::vector<Colour> palette) {
    palette_ = std::move(palette);
}

std::uint8_t Bitmap::indexAt(int x, int y) const {
    const std::uint8_t* r = row(y);
    switch (format_) {
    case PixelFormat::Bits1:
        return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case PixelFormat::Bits4:
        return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
    case PixelFormat::Bits8:
        return r[x];
    default:
        return 0;
    }
}

Colour Bitmap::pixel(int x, int y) const {
    const std::uint8_t* r = row(y);
    switch (format_) {
    case PixelFormat::Bits1:
    case PixelFormat::Bits4:
    case PixelFormat::Bits8: {
        const std::uint8_t index = indexAt(x, y);
        return index < palette_.size() ? palette_[index] : colours::kBlack;
    }
    case PixelFormat::Bits15: {
        const std::uint16_t w = readWord(r + 2 * x);
        return {widen5(w >> 10), widen5(w >> 5), widen5(w)};
    }
    case PixelFormat::Bits16: {
        const std::uint16_t w = readWord(r + 2 * x);
        return {widen5(w >> 11), widen6(w >> 5), widen5(w)};
    }
    case PixelFormat::Custom: {
        const std::uint16_t w = readWord(r + 2 * x);
        return {maskedComponent(w, masks_.red), maskedComponent(w, masks_.green),
                maskedComponent(w, masks_.blue)};
    }
    case PixelFormat::Bits24:
        return {r[3 * x + 2], r[3 * x + 1], r[3 * x]};
    case PixelFormat::Device:
    case PixelFormat::Bits32:
        return {r[4 * x + 2], r[4 * x + 1], r[4 * x]};
    }
    return {};
}

std::uint8_t Bitmap::alphaAt(int x, int y) const {
    if (format_ != PixelFormat::Bits32 && format_ != PixelFormat::Device)
        return 0;
    return row(y)[4 * x + 3];
}

std::uint8_t Bitmap::nearestIndex(Colour c) const {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const int dr = palette_[i].red - c.red;
        const int dg = palette_[i].green - c.green;
        const int db = palette_[i].blue - c.blue;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return static_cast<std::uint8_t>(best);
}

void Bitmap::setIndex(int x, int y, std::uint8_t index) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    std::uint8_t* r = row(y);
    switch (format_) {
    case PixelFormat::Bits1: {
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
        r[x >> 3] = (index & 1) ? (r[x >> 3] | bit) : (r[x >> 3] & ~bit);
        break;
    }
    case PixelFormat::Bits4:
        if (x & 1)
            r[x >> 1] = static_cast<std::uint8_t>((r[x >> 1] & 0xF0) | (index & 0x0F));
        else
            r[x >> 1] = static_cast<std::uint8_t>((r[x >> 1] & 0x0F) | (index << 4));
        break;
    case PixelFormat::Bits8:
        r[x] = index;
        break;
    default:
        break;
    }
}

void Bitmap::setPixel(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    std::uint8_t* r = row(y);
    switch (format_) {
    case PixelFormat::Bits1:
    case PixelFormat::Bits4:
    case PixelFormat::Bits8:
        setIndex(x, y, nearestIndex(c));
        break;
    case PixelFormat::Bits15: {
        const std::uint16_t top = readWord(r + 2 * x) & 0x8000;
        writeWord(r + 2 * x, static_cast<std::uint16_t>(top | ((c.red >> 3) << 10) |
                                                        ((c.green >> 3) << 5) | (c.blue >> 3)));
        break;
    }
    case PixelFormat::Bits16:
        writeWord(r + 2 * x, static_cast<std::uint16_t>(((c.red >> 3) << 11) |
                                                        ((c.green >> 2) << 5) | (c.blue >> 3)));
        break;
    case PixelFormat::Custom:
        writeWord(r + 2 * x, static_cast<std::uint16_t>(toMaskedField(c.red, masks_.red) |
                                                        toMaskedField(c.green, masks_.green) |
                                                        toMaskedField(c.blue, masks_.blue)));
        break;
    case PixelFormat::Bits24:
        r[3 * x] = c.blue;
        r[3 * x + 1] = c.green;
        r[3 * x + 2] = c.red;
        break;
    case PixelFormat::Device:
    case PixelFormat::Bits32:
        r[4 * x] = c.blue;
        r[4 * x + 1] = c.green;
        r[4 * x + 2] = c.red;
        r[4 * x + 3] = 0;
        break;
    }
}

void Bitmap::fillRect(const Rect& area, Colour c) {
    const Rect r = area.intersected(rect());
    if (r.isEmpty())
        return;
    if (format_ == PixelFormat::Bits32 || format_ == PixelFormat::Device) {
        const std::size_t count = static_cast<std::size_t>(r.width());
        if (c == colours::kBlack) {
            for (int y = r.top; y < r.bottom; ++y)
                std::memset(row(y) + 4 * static_cast<std::size_t>(r.left), 0, 4 * count);
            return;
        }
        const std::uint32_t value = c.blue | (c.green << 8) | (c.red << 16);
        std::uint8_t pattern[4];
        std::memcpy(pattern, &value, 4); // little-endian host: B, G, R, 0
        for (int y = r.top; y < r.bottom; ++y) {
            std::uint8_t* p = row(y) + 4 * static_cast<std::size_t>(r.left);
            for (std::size_t x = 0; x < count; ++x, p += 4)
                std::memcpy(p, pattern, 4);
        }
        return;
    }
    if (format_ == PixelFormat::Bits24) {
        for (int y = r.top; y < r.bottom; ++y) {
            std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(r.left);
            for (int x = r.left; x < r.right; ++x, p += 3) {
                p[0] = c.blue;
                p[1] = c.green;
                p[2] = c.red;
            }
        }
        return;
    }
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            setPixel(x, y, c);
}

void Bitmap::copyRect(Point dst, const Bitmap& src, const Rect& srcRect) {
    // Clip the source rectangle to the source, then the destination to this bitmap.
    Rect s = srcRect.intersected(src.rect());
    if (s.isEmpty())
        return;
    int dx = dst.x + (s.left - srcRect.left);
    int dy = dst.y + (s.top - srcRect.top);
    const Rect d = Rect::fromSize(dx, dy, s.width(), s.height()).intersected(rect());
    if (d.isEmpty())
        return;
    s = Rect::fromSize(s.left + (d.left - dx), s.top + (d.top - dy), d.width(), d.height());
    dx = d.left;
    dy = d.top;

    const bool sameLayout = src.format_ == format_ && isByteAligned(format_) &&
                            (format_ != PixelFormat::Custom || src.masks_ == masks_) &&
                            (!hasPalette(format_) || src.palette_ == palette_);
    if (sameLayout) {
        const std::size_t bpp = static_cast<std::size_t>(imaging::bitsPerPixel(format_) / 8);
        const std::size_t count = bpp * static_cast<std::size_t>(s.width());
        if (&src == this) {
            // Overlapping copy inside one bitmap: pick the row order that reads before writing.
            if (dy > s.top) {
                for (int i = s.height() - 1; i >= 0; --i)
                    std::memmove(row(dy + i) + bpp * dx, row(s.top + i) + bpp * s.left, count);
            } else {
                for (int i = 0; i < s.height(); ++i)
                    std::memmove(row(dy + i) + bpp * dx, row(s.top + i) + bpp * s.left, count);
            }
            return;
        }
        for (int i = 0; i < s.height(); ++i)
            std::memcpy(row(dy + i) + bpp * dx, src.row(s.top + i) + bpp * s.left, count);
        return;
    }
    if (&src == this) {
        const Bitmap copy = src;
        copyRect({dx, dy}, copy, s);
        return;
    }
    const bool samePalettedLayout =
        hasPalette(format_) && src.format_ == format_ && src.palette_ == palette_;
    for (int i = 0; i < s.height(); ++i)
        for (int j = 0; j < s.width(); ++j) {
            if (samePalettedLayout)
                setIndex(dx + j, dy + i, src.indexAt(s.left + j, s.top + i));
            else
                setPixel(dx + j, dy + i, src.pixel(s.left + j, s.top + i));
        }
}

void Bitmap::stretchCopy(const Rect& dstRect, const Bitmap& src, const Rect& srcRect) {
    if (dstRect.isEmpty() || srcRect.isEmpty())
        return;
    if (dstRect.width() == srcRect.width() && dstRect.height() == srcRect.height()) {
        copyRect({dstRect.left, dstRect.top}, src, srcRect);
        return;
    }
    const Bitmap source = (&src == this) ? src : Bitmap{};
    const Bitmap& from = (&src == this) ? source : src;
    const Rect d = dstRect.intersected(rect());
    const std::int64_t dw = dstRect.width(), dh = dstRect.height();
    const std::int64_t sw = srcRect.width(), sh = srcRect.height();
    const bool same32 = format_ == PixelFormat::Bits32 && from.format_ == PixelFormat::Bits32;
    for (int y = d.top; y < d.bottom; ++y) {
        const std::int64_t sy =
            srcRect.top + (static_cast<std::int64_t>(y - dstRect.top) * sh) / dh;
        if (sy < 0 || sy >= from.height_)
            continue;
        for (int x = d.left; x < d.right; ++x) {
            const std::int64_t sx =
                srcRect.left + (static_cast<std::int64_t>(x - dstRect.left) * sw) / dw;
            if (sx < 0 || sx >= from.width_)
                continue;
            if (same32)
                std::memcpy(row(y) + 4 * x, from.row(static_cast<int>(sy)) + 4 * sx, 4);
            else
                setPixel(x, y, from.pixel(static_cast<int>(sx), static_cast<int>(sy)));
        }
    }
}

void Bitmap::resize(int width, int height, Colour paint) {
    if (width == width_ && height == height_)
        return;
    Bitmap resized(width, height, format_);
    resized.palette_ = palette_;
    resized.masks_ = masks_;
    // A new bitmap starts with every byte zero, which is black in every format without a
    // palette: only another paint (or a palette's nearest entry) is written over the added
    // area, the strip right of the kept part and the band below it.
    if (paint != colours::kBlack || hasPalette(format_)) {
        const int keptWidth = std::min(width, width_);
        const int keptHeight = std::min(height, height_);
        resized.fillRect({keptWidth, 0, width, keptHeight}, paint);
        resized.fillRect({0, keptHeight, width, height}, paint);
    }
    resized.copyRect({0, 0}, *this, rect());
    *this = std::move(resized);
}

Bitmap Bitmap::converted(PixelFormat format) const {
    if (format == format_)
        return *this;
    Bitmap out(width_, height_, format);
    const bool fromAlpha = format_ == PixelFormat::Bits32 || format_ == PixelFormat::Device;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            out.setPixel(x, y, pixel(x, y));
            if (format == PixelFormat::Bits32 && fromAlpha)
                out.row(y)[4 * x + 3] = row(y)[4 * x + 3];
        }
    }
    return out;
}

void Bitmap::convertTo(PixelFormat format) {
    if (format != format_)
        *this = converted(format);
}

void Bitmap::xorPixel(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    if (format_ == PixelFormat::Bits32 || format_ == PixelFormat::Device) {
        std::uint8_t* p = row(y) + 4 * static_cast<std::size_t>(x);
        p[0] ^= c.blue;
        p[1] ^= c.green;
        p[2] ^= c.red;
        return;
    }
    if (format_ == PixelFormat::Bits24) {
        std::uint8_t* p = row(y) + 3 * static_cast<std::size_t>(x);
        p[0] ^= c.blue;
        p[1] ^= c.green;
        p[2] ^= c.red;
        return;
    }
    const Colour old = pixel(x, y);
    setPixel(x, y,
             {static_cast<std::uint8_t>(old.red ^ c.red),
              static_cast<std::uint8_t>(old.green ^ c.green),
              static_cast<std::uint8_t>(old.blue ^ c.blue)});
}

void Bitmap::drawFocusRect(const Rect& r, Colour c) {
    if (r.isEmpty())
        return;
    // Dots sit where x + y is even, as a pattern fixed to the bitmap, so that the outlines of
    // neighbouring cells keep the same phase. Every outline pixel is visited exactly once.
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            xorPixel(x, y, c);
    };
    const int right = r.right - 1;
    const int bottom = r.bottom - 1;
    for (int x = r.left; x <= right; ++x)
        dot(x, r.top);
    if (bottom != r.top)
        for (int x = r.left; x <= right; ++x)
            dot(x, bottom);
    for (int y = r.top + 1; y < bottom; ++y) {
        dot(r.left, y);
        if (right != r.left)
            dot(right, y);
    }
}

void Bitmap::drawFrame(const Rect& r, Colour c) {
    if (r.isEmpty())
        return;
    fillRect({r.left, r.top, r.right, r.top + 1}, c);
    fillRect({r.left, r.bottom - 1, r.right, r.bottom}, c);
    fillRect({r.left, r.top, r.left + 1, r.bottom}, c);
    fillRect({r.right - 1, r.top, r.right, r.bottom}, c);
}

void Bitmap::drawLine(Point from, Point to, Colour c) {
    if (from.x == to.x) {
        fillRect({from.x, to.y < from.y ? to.y + 1 : from.y, from.x + 1,
                  to.y < from.y ? from.y + 1 : to.y},
                 c);
        return;
    }
    if (from.y == to.y) {
        fillRect({to.x < from.x ? to.x + 1 : from.x, from.y, to.x < from.x ? from.x + 1 : to.x,
                  from.y + 1},
                 c);
        return;
    }
    // Bresenham for the general case; the end point is left out as platform lines do.
    int x = from.x, y = from.y;
    const int dx = std::abs(to.x - from.x), sx = from.x < to.x ? 1 : -1;
    const int dy = -std::abs(to.y - from.y), sy = from.y < to.y ? 1 : -1;
    int err = dx + dy;
    while (x != to.x || y != to.y) {
        setPixel(x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace parvane::imaging
