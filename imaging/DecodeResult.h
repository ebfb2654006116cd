// What a picture reader returns: the decoded bitmap in the file's own pixel format, or the
// Failure that stopped it. Callers turn the failure into the message of their path.
#pragma once

#include "Bitmap.h"
#include "Failure.h"

#include <utility>

namespace parvane::imaging {

// The readers' name for a failure, kept for their callers.
using DecodeError = Failure;

class [[nodiscard]] DecodeResult : public Result<Bitmap> {
public:
    using Result<Bitmap>::Result;
    DecodeResult(Result<Bitmap> result) : Result<Bitmap>(std::move(result)) {}

    static DecodeResult damaged(std::string reason) { return Result::damaged(std::move(reason)); }
    static DecodeResult unsupported(std::string reason) {
        return Result::unsupported(std::move(reason));
    }
    static DecodeResult notThisFormat(std::string reason) {
        return Result::notThisFormat(std::move(reason));
    }

    const Bitmap& bitmap() const& { return value(); }
    Bitmap&& bitmap() && { return std::move(*this).value(); }
};

} // namespace parvane::imaging
