#include <iostream>

#include "tools/slotfile/slotfile.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return keyrack::slotfile::Run(args, std::cin, std::cout, std::cerr);
}
