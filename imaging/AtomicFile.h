// Writing a whole file so that a failure never destroys what was there before: the bytes go to
// a temporary file in the same folder, which then replaces the target in one rename.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace parvane::imaging {

// Outcome of a save: success, or the message to show the user.
class WriteStatus {
public:
    static WriteStatus success() { return WriteStatus{}; }
    static WriteStatus failure(std::string message) {
        WriteStatus s;
        s.ok_ = false;
        s.message_ = std::move(message);
        return s;
    }
    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& message() const { return message_; }

private:
    bool ok_ = true;
    std::string message_;
};

// Writes bytes as the new content of path. On any failure the old file (if any) is unchanged,
// no temporary file is left behind, and the message names the file and the cause. A new file
// gets the permissions the user's umask allows; a replaced file keeps its own.
WriteStatus writeFileAtomically(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes);

} // namespace parvane::imaging
