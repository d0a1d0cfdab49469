#include "ScratchDirectory.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace relicwright::testing {

namespace fs = std::filesystem;

namespace {

// Our paths are UTF-8 on every platform.
fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

} // namespace

ScratchDirectory::ScratchDirectory() {
    std::random_device random;
    for (;;) {
        const fs::path candidate = fs::temp_directory_path() / ("relicwright-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            root_ = utf8Of(candidate);
            return;
        }
    }
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    // Tests make files read-only; give them back their write bits so they can go.
    for (const auto& entry : fs::recursive_directory_iterator(pathOf(root_), ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(pathOf(root_), ignored);
}

std::string ScratchDirectory::path(const std::string& name) const {
    return utf8Of(pathOf(root_) / pathOf(name));
}

std::string ScratchDirectory::write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const std::string full = path(name);
    std::ofstream out(pathOf(full), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return full;
}

std::string ScratchDirectory::write(const std::string& name, const ItemFileImage& image) const {
    return write(name, bytesOf(image));
}

std::vector<std::uint8_t> ScratchDirectory::read(const std::string& name) const {
    std::ifstream in(pathOf(path(name)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> ScratchDirectory::names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(pathOf(root_))) {
        found.push_back(utf8Of(entry.path().filename()));
    }
    std::sort(found.begin(), found.end());
    return found;
}

ItemFileImage sampleImage(GameVariant variant, std::uint8_t code, std::uint8_t quality, std::uint8_t seed) {
    ItemFileImage image{};
    const std::string_view header = headerText(variant);
    std::copy(header.begin(), header.end(), image.begin());
    for (std::size_t i = headerSize(variant); i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
    }
    image[codeOffset(variant)] = code;
    image[qualityOffset(variant)] = quality;
    return image;
}

std::vector<std::uint8_t> bytesOf(const ItemFileImage& image) {
    return {image.begin(), image.end()};
}

} // namespace relicwright::testing
