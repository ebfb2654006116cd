// Helpers to reach the real-file corpus (tests/data) and to make scratch folders in tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace parvane::testing {

// Root of the real-file test corpus (tests/data in the checkout, or PARVANE_TESTDATA_DIR).
std::filesystem::path testDataDir();
// Path of a file of the peer picture corpus, relative to its folder.
std::filesystem::path peerFile(const std::string& relative);
// True when the corpus is present. It ships with the code, so a test that needs it fails when it
// is missing rather than passing without having looked at a file.
bool testDataAvailable();
std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A fresh empty folder, removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace parvane::testing

#define PARVANE_REQUIRE_TESTDATA()                                                                 \
    do {                                                                                           \
        if (!::parvane::testing::testDataAvailable())                                              \
            GTEST_FAIL() << "test corpus not found at "                                            \
                         << ::parvane::testing::testDataDir().string();                            \
    } while (false)
