#include "ui/ConverterApp.h"

#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // argv[0] only stands in when the system cannot name the program file.
    relicwright::ConverterApp app(
        relicwright::ConverterApp::currentProgramPath(argc > 0 ? argv[0] : "relicwright"));
    const std::vector<std::string> arguments(argc > 1 ? argv + 1 : argv, argv + argc);
    return app.run(arguments);
}
