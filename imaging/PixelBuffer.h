// Storage of a bitmap's pixel bytes. A new buffer reads as zero without having been written:
// large blocks come straight from the operating system as untouched zero pages, so a black
// layer of a large canvas costs neither the time to clear it nor memory until it is drawn on.
// Copies take the bytes of their source without clearing first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

namespace parvane::imaging {

// A large block is filled page by page as it is first written; on a system that offers large
// pages on request, asking for them turns the thousands of small page faults of a large picture
// into a few dozen. Only the whole large pages inside the block are concerned; a hint only.
void adviseLargePages(void* p, std::size_t size);

// An owning, fixed-size block of bytes that starts out zero (see above).
class PixelBuffer {
public:
    PixelBuffer() = default;
    // size zero bytes; throws std::bad_alloc when the memory is not available.
    explicit PixelBuffer(std::size_t size);
    // size bytes of undefined content, for a writer that fills every one of them: reused
    // memory is then not cleared only to be overwritten.
    static PixelBuffer uninitialised(std::size_t size);
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    ~PixelBuffer() = default;

    std::uint8_t* data() { return data_.get(); }
    const std::uint8_t* data() const { return data_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    operator std::span<std::uint8_t>() { return {data_.get(), size_}; }
    operator std::span<const std::uint8_t>() const { return {data_.get(), size_}; }

    // Same size and same bytes.
    friend bool operator==(const PixelBuffer& a, const PixelBuffer& b);

private:
    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };

    std::unique_ptr<std::uint8_t[], Free> data_;
    std::size_t size_ = 0;
};

} // namespace parvane::imaging
