// Run-length decoders shared by the picture readers. Each one is a pure function over two
// bounded buffers: it never reads past the source nor writes past the destination, and it says
// how far it got, so the caller decides whether short or overlong data is damage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace parvane::imaging {

// How a run-length decode ended.
struct RleResult {
    std::size_t consumed = 0; // source bytes read, up to the end of the last packet used
    std::size_t produced = 0; // destination bytes written
    bool clipped = false;     // a packet ran past the end of the destination and was cut there
    // What a clipped repeat packet still had to write, so that formats whose runs may cross
    // line ends can continue the run in the next line (literal packets have no carry).
    std::size_t carryCount = 0;
    std::uint8_t carryValue = 0;

    // True when the destination was filled completely.
    bool filled(std::span<const std::uint8_t> dst) const { return produced == dst.size(); }
};

// PackBits (Macintosh, PSD, TIFF): a control byte n; 0-127 copies n + 1 literal bytes,
// 129-255 repeats the next byte 257 - n times, 128 is a no-op.
RleResult decodePackBits(std::span<const std::uint8_t> src, std::span<std::uint8_t> dst);

// PCX: a byte of 192 or more repeats the next byte (byte & 63) times; any other byte is itself.
// For speed it may write scratch bytes into dst past `produced` (never past its end).
RleResult decodePcxRle(std::span<const std::uint8_t> src, std::span<std::uint8_t> dst);

// The bytes the PCX run-length packets of src produce, without writing them; src must begin
// at a packet (the start of the data, or any byte after one below 192: such a byte is always a
// literal or the value of a run, so it ends a packet). A count with no value at the end counts
// nothing, as decodePcxRle ignores it.
std::size_t pcxRleLength(std::span<const std::uint8_t> src);

// Paint Shop Pro: a control byte n above 128 repeats the next byte n - 128 times; otherwise n
// literal bytes follow.
RleResult decodePspRle(std::span<const std::uint8_t> src, std::span<std::uint8_t> dst);

} // namespace parvane::imaging
