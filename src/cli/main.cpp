#include "convert_command.h"
#include "progress.h"

#include <iostream>

int main(int argc, char** argv) {
    ConvertEnvironment environment;
    environment.terminal = StandardOutputIsTerminal();
    return RunConvertCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr,
                             environment);
}
