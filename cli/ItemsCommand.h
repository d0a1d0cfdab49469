#pragma once

#include "Command.h"

namespace relicwright {

// `items`: the item choice list with each entry's code in either game.
class ItemsCommand final : public Command {
public:
    ItemsCommand();

    void addOptions(CLI::App& subcommand) override;
    int run(std::ostream& out, std::ostream& err) override;

private:
    bool asJson_ = false;
};

} // namespace relicwright
