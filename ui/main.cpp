#include "ConverterApp.h"

int main(int argc, char* argv[]) {
    return relicwright::ConverterApp::main(argc, argv);
}
