#pragma once

#include "Command.h"

#include "converter/ItemFileConversion.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class Option;
}

namespace relicwright {

// `convert`: each file converted by the batch conversion, one line per file in the order given,
// then a summary.
class ConvertCommand final : public Command {
public:
    ConvertCommand();

    void addOptions(CLI::App& subcommand) override;
    int run(std::ostream& out, std::ostream& err) override;

private:
    // An index (0 to 100) or a name; returns the usage error's text when it names no single entry.
    static std::optional<std::string> resolveItem(const std::string& given, std::optional<std::size_t>& index);

    std::string target_;
    std::string item_;
    CLI::Option* itemOption_ = nullptr;
    bool force_ = false;
    ConversionOptions options_;
    std::vector<std::string> files_;
};

} // namespace relicwright
