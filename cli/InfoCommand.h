#pragma once

#include "Command.h"

#include <string>
#include <vector>

namespace relicwright {

// `info`: what each file holds, as a table or one JSON array.
class InfoCommand final : public Command {
public:
    InfoCommand();

    void addOptions(CLI::App& subcommand) override;
    int run(std::ostream& out, std::ostream& err) override;

private:
    bool asJson_ = false;
    std::vector<std::string> files_;
};

} // namespace relicwright
