#include <iostream>

#include "cli/Cli.h"
#include "platform/NativePlatform.h"

int main(int argc, char** argv) {
    return orvanta::cli::RunOrvanta(orvanta::NativeArguments(argc, argv), std::cout, std::cerr);
}
