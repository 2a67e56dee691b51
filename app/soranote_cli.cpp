#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/fd_output.h"
#include "core/clock.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Standard output through a buffer that keeps the reason of a failed write (cli::run reports it, exit 74).
    cli::FdOutput buffer(1);
    std::ostream out(&buffer);
    return cli::run(args, out, std::cerr, sora::SystemClock().today());
}
