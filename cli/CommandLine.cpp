#include "CommandLine.h"

#include "ConvertCommand.h"
#include "InfoCommand.h"
#include "ItemsCommand.h"

#include "Application.h"

#include <CLI/CLI.hpp>

#include <array>

namespace relicwright {

int CommandLine::run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                     const std::vector<FileError>& refused) {
    CLI::App app{"Converts and inspects Diablo (.itm) and Hellfire (.hif) item files.", kProgramName};
    app.set_version_flag("--version", std::string(kProgramName) + " " + Application::version());
    app.require_subcommand(1);
    // "/dir/x.itm" is a path, also on Windows: only the "--" options are options. Subcommands
    // take this over when they are added.
    app.allow_windows_style_options(false);

    InfoCommand info;
    ConvertCommand convert;
    ItemsCommand items;
    const std::array<Command*, 3> commands{&info, &convert, &items};
    for (Command* command : commands) {
        command->setRefused(refused);
        command->addOptions(*app.add_subcommand(command->name(), command->description()));
    }

    std::vector<const char*> argv;
    argv.reserve(arguments.size() + 1);
    argv.push_back(kProgramName);
    for (const auto& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error, out, err);
        return status == 0 ? kExitDone : kExitUsage;
    }
    for (Command* command : commands) {
        if (app.got_subcommand(command->name())) {
            return command->run(out, err);
        }
    }
    return kExitUsage; // not reached: the parse requires one command
}

} // namespace relicwright
