// What a picture reader returns: the decoded bitmap in the file's own pixel format, or the
// reason it could not decode. Callers turn the reason into the message of their path.
#pragma once

#include "Bitmap.h"

#include <string>
#include <utility>
#include <variant>

namespace parvane::imaging {

struct DecodeError {
    enum class Kind {
        NotThisFormat, // the bytes are not of this reader's format at all
        Unsupported,   // a valid file of a variant the reader does not handle
        Damaged,       // truncated or inconsistent data, or sizes beyond the limits
    };
    Kind kind = Kind::Damaged;
    std::string reason; // for logs, tests and the command line: "TGA: colour map runs past the end"
};

class DecodeResult {
public:
    DecodeResult(Bitmap bitmap) : value_(std::move(bitmap)) {}
    DecodeResult(DecodeError error) : value_(std::move(error)) {}

    static DecodeResult damaged(std::string reason) {
        return DecodeError{DecodeError::Kind::Damaged, std::move(reason)};
    }
    static DecodeResult unsupported(std::string reason) {
        return DecodeError{DecodeError::Kind::Unsupported, std::move(reason)};
    }
    static DecodeResult notThisFormat(std::string reason) {
        return DecodeError{DecodeError::Kind::NotThisFormat, std::move(reason)};
    }

    bool ok() const { return std::holds_alternative<Bitmap>(value_); }
    explicit operator bool() const { return ok(); }
    const Bitmap& bitmap() const& { return std::get<Bitmap>(value_); }
    Bitmap&& bitmap() && { return std::get<Bitmap>(std::move(value_)); }
    const DecodeError& error() const { return std::get<DecodeError>(value_); }

private:
    std::variant<Bitmap, DecodeError> value_;
};

} // namespace parvane::imaging
