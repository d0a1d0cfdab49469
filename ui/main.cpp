#include "ui/ConverterApp.h"

int main(int argc, char* argv[]) {
    // argv[0] only stands in when the system cannot name the program file; no option is read.
    relicwright::ConverterApp app(
        relicwright::ConverterApp::currentProgramPath(argc > 0 ? argv[0] : "relicwright"));
    return app.run();
}
