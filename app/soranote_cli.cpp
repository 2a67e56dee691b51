#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/clock.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cli::run(args, std::cout, std::cerr, sora::SystemClock().today());
}
