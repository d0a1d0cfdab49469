#pragma once

#include "cli/CommandLine.h"

#include <sstream>
#include <string>
#include <vector>

namespace relicwright::testing {

// One in-process run of relicwright-cli with what it printed.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;

    static CliRun of(const std::vector<std::string>& arguments) {
        std::ostringstream out;
        std::ostringstream err;
        CliRun run;
        run.status = CommandLine::run(arguments, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }
};

} // namespace relicwright::testing
