// A bounds-checked cursor over untrusted bytes. Every reader of picture and level files reads
// through it, so the bounds logic lives in one place. A read past the end does not throw: it
// returns zero and sets a sticky failure flag, which the reader checks at its decision points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace parvane::imaging {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    bool failed() const { return failed_; }
    bool ok() const { return !failed_; }
    std::size_t position() const { return pos_; }
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    std::span<const std::uint8_t> data() const { return data_; }

    // Moves to an absolute offset; an offset beyond the end fails.
    bool seek(std::size_t offset) {
        if (offset > data_.size()) {
            failed_ = true;
            return false;
        }
        pos_ = offset;
        return true;
    }
    bool skip(std::size_t count) {
        if (count > remaining()) {
            pos_ = data_.size();
            failed_ = true;
            return false;
        }
        pos_ += count;
        return true;
    }
    bool has(std::size_t count) const { return count <= remaining(); }

    std::uint8_t u8() {
        if (!has(1))
            return fail<std::uint8_t>();
        return data_[pos_++];
    }
    std::uint16_t u16le() {
        if (!has(2))
            return fail<std::uint16_t>();
        const auto v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t u32le() {
        if (!has(4))
            return fail<std::uint32_t>();
        const std::uint32_t v = static_cast<std::uint32_t>(data_[pos_]) |
                                (static_cast<std::uint32_t>(data_[pos_ + 1]) << 8) |
                                (static_cast<std::uint32_t>(data_[pos_ + 2]) << 16) |
                                (static_cast<std::uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    std::uint64_t u64le() {
        const std::uint64_t lo = u32le();
        const std::uint64_t hi = u32le();
        return failed_ ? 0 : (lo | (hi << 32));
    }
    std::uint16_t u16be() {
        if (!has(2))
            return fail<std::uint16_t>();
        const auto v = static_cast<std::uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]);
        pos_ += 2;
        return v;
    }
    std::uint32_t u32be() {
        if (!has(4))
            return fail<std::uint32_t>();
        const std::uint32_t v = (static_cast<std::uint32_t>(data_[pos_]) << 24) |
                                (static_cast<std::uint32_t>(data_[pos_ + 1]) << 16) |
                                (static_cast<std::uint32_t>(data_[pos_ + 2]) << 8) |
                                static_cast<std::uint32_t>(data_[pos_ + 3]);
        pos_ += 4;
        return v;
    }
    std::int16_t s16le() { return static_cast<std::int16_t>(u16le()); }
    std::int32_t s32le() { return static_cast<std::int32_t>(u32le()); }
    std::int16_t s16be() { return static_cast<std::int16_t>(u16be()); }
    std::int32_t s32be() { return static_cast<std::int32_t>(u32be()); }

    // The next count bytes, or an empty span (and failure) when fewer remain.
    std::span<const std::uint8_t> bytes(std::size_t count) {
        if (!has(count)) {
            pos_ = data_.size();
            failed_ = true;
            return {};
        }
        auto s = data_.subspan(pos_, count);
        pos_ += count;
        return s;
    }

private:
    template <typename T> T fail() {
        pos_ = data_.size();
        failed_ = true;
        return T{};
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace parvane::imaging
