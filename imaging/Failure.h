// How the core reports a failure: a result holds either its value or a Failure, which says
// what kind of failure it is (the kinds the callers tell apart) and why, in words. Every
// reader, the file routines, zlib inflation and the level reader return one; exceptions stay
// inside the unit that raises them. The window's routines turn a result into the Boolean or
// byte code their callers expect, and its reason into the text beneath their message.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace parvane::imaging {

enum class FailureKind {
    FileMissing,   // no file of that name
    NotThisFormat, // the bytes are not of the format the name or the reader expects
    Damaged,       // truncated or inconsistent data, or sizes beyond the limits
    Unsupported,   // a valid file of a variant that is not read, or a file that cannot be read
    TooLarge,      // more than a picture or a level may hold
    NoMemory,      // fits the limits, but not the memory left
    WriteFailed,   // the file could not be written
};

struct Failure {
    using Kind = FailureKind;
    Kind kind = Kind::Damaged;
    std::string reason; // "TGA: image type 32 is not read.", for the user, the log and tests
};

// The named ways of making a failed result, the same for Result<T> and Result<void>.
template <typename R> struct FailedResults {
    static R failure(FailureKind kind, std::string reason) {
        return Failure{kind, std::move(reason)};
    }
    static R damaged(std::string reason) {
        return failure(FailureKind::Damaged, std::move(reason));
    }
    static R unsupported(std::string reason) {
        return failure(FailureKind::Unsupported, std::move(reason));
    }
    static R notThisFormat(std::string reason) {
        return failure(FailureKind::NotThisFormat, std::move(reason));
    }
};

// Either a value or the Failure that stopped it. Result<void> holds no value.
template <typename T> class [[nodiscard]] Result : public FailedResults<Result<T>> {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure failure) : value_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(value_); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(value_); }
    T& value() & { return std::get<T>(value_); }
    T&& value() && { return std::get<T>(std::move(value_)); }
    const Failure& error() const { return std::get<Failure>(value_); }

private:
    std::variant<T, Failure> value_;
};

template <> class [[nodiscard]] Result<void> : public FailedResults<Result<void>> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const Failure& error() const { return failure_; }

private:
    Failure failure_;
    bool ok_ = true;
};

using Status = Result<void>;

} // namespace parvane::imaging
