#pragma once

#include "CommandLine.h"

#include <nlohmann/json_fwd.hpp>

#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace relicwright {

inline constexpr const char* kProgramName = "relicwright-cli";

// One command of relicwright-cli: its name and description, the options it adds to its own
// subcommand (their values land in the command), and what it does once they are parsed.
class Command {
public:
    virtual ~Command() = default;

    const std::string& name() const { return name_; }
    const std::string& description() const { return description_; }

    virtual void addOptions(CLI::App& subcommand) = 0;
    // Results go to `out`, messages to `err`; returns the exit status.
    virtual int run(std::ostream& out, std::ostream& err) = 0;

protected:
    Command(std::string name, std::string description);

    static int usageError(std::ostream& err, const std::string& message);
    static void printJson(std::ostream& out, const nlohmann::ordered_json& value);
    // Left-aligned columns wide enough for every row; the last column is not padded.
    static void printTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows);

private:
    std::string name_;
    std::string description_;
};

} // namespace relicwright
