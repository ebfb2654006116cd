#include "PixelBuffer.h"

#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace parvane::imaging {

namespace {

// calloc leaves memory fresh from the system as it is (already zero) and clears only reused
// memory; either way the bytes read as zero.
std::uint8_t* allocateZeroed(std::size_t size) {
    if (size == 0)
        return nullptr;
    auto* p = static_cast<std::uint8_t*>(std::calloc(size, 1));
    if (!p)
        throw std::bad_alloc();
    adviseLargePages(p, size);
    return p;
}

std::uint8_t* allocateCopy(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0)
        return nullptr;
    auto* p = static_cast<std::uint8_t*>(std::malloc(size));
    if (!p)
        throw std::bad_alloc();
    adviseLargePages(p, size);
    std::memcpy(p, bytes, size);
    return p;
}

} // namespace

void adviseLargePages(void* p, std::size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < 2 * kLargePage)
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(p) + kLargePage - 1) & ~(kLargePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + size) & ~(kLargePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)p;
    (void)size;
#endif
}

PixelBuffer::PixelBuffer(std::size_t size) : data_(allocateZeroed(size)), size_(size) {}

PixelBuffer PixelBuffer::uninitialised(std::size_t size) {
    PixelBuffer buffer;
    if (size == 0)
        return buffer;
    auto* p = static_cast<std::uint8_t*>(std::malloc(size));
    if (!p)
        throw std::bad_alloc();
    adviseLargePages(p, size);
    buffer.data_.reset(p);
    buffer.size_ = size;
    return buffer;
}

PixelBuffer::PixelBuffer(const PixelBuffer& other)
    : data_(allocateCopy(other.data(), other.size_)), size_(other.size_) {}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
    if (this != &other) {
        PixelBuffer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : data_(std::move(other.data_)), size_(std::exchange(other.size_, 0)) {}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    data_ = std::move(other.data_);
    size_ = std::exchange(other.size_, 0);
    return *this;
}

bool operator==(const PixelBuffer& a, const PixelBuffer& b) {
    return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.data(), b.data(), a.size_) == 0);
}

} // namespace parvane::imaging
