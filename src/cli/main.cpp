#include "cli/convert_command.h"
#include "cli/progress.h"
#include "texture/utf8_path.h"

#include <iostream>

int main(int argc, char** argv) {
    ConvertEnvironment environment;
    environment.terminal = StandardOutputIsTerminal();
    return RunConvertCommand(pictavo::Utf8Arguments(argc, argv), std::cout, std::cerr, environment);
}
