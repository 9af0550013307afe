// starmoat-scores, the world score server: everything but reading the command line lives in
// the starmoat_server library.
#include <iostream>

#include "command_line.h"

int main(int argc, char** argv) {
  return starmoat::server::RunCommandLine(argc, argv, std::cout, std::cerr);
}
