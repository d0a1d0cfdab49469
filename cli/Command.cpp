#include "Command.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>
#include <utility>

namespace relicwright {

Command::Command(std::string name, std::string description)
    : name_(std::move(name)), description_(std::move(description)) {}

int Command::usageError(std::ostream& err, const std::string& message) {
    err << message << "\nRun with --help for more information.\n";
    return kExitUsage;
}

void Command::printJson(std::ostream& out, const nlohmann::ordered_json& value) {
    // Paths are bytes, not necessarily UTF-8; a stray byte must not cost the whole listing.
    out << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void Command::printTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
    if (rows.empty()) {
        return;
    }
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string line;
    for (const auto& row : rows) {
        line.clear();
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line.append(widths[column] - row[column].size() + 2, ' ');
            }
        }
        out << line << '\n';
    }
}

} // namespace relicwright
