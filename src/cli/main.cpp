#include "convert_command.h"

#include <iostream>

int main(int argc, char** argv) {
    return RunConvertCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
