// starmoat-scores' command line: serve, list and delete, with their options.
#pragma once

#include <iosfwd>

namespace starmoat::server {

// Runs the command named by argv and returns the process's exit status: 0 done, 1 the work
// failed (port in use, database refused, no such row), 2 the command line is wrong. Errors are
// one line on err, starting "starmoat-scores: ". serve returns after SIGTERM or SIGINT, once
// the requests in flight are answered and the store is closed.
int RunCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace starmoat::server
