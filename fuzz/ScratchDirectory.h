#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace relicwright::fuzz {

using Bytes = std::vector<std::uint8_t>;

// A private directory for the files one case creates, removed with everything in it. Cases that
// run thousands of times a second prefer a memory-backed file system when one is writable.
class ScratchDirectory {
public:
    enum class Place { TemporaryDirectory, PreferMemory };

    explicit ScratchDirectory(Place place = Place::TemporaryDirectory);
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Removes everything inside, giving back permissions a case may have taken away first.
    void clear() const;
    // Names directly inside, sorted; symbolic links are listed, not followed.
    std::vector<std::string> names() const;

    static void writeBytes(const std::string& path, const Bytes& bytes);
    static std::optional<Bytes> readBytes(const std::string& path);

private:
    std::string path_;
};

} // namespace relicwright::fuzz
