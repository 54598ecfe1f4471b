#include "cli/Terminal.h"

#ifdef _WIN32
#include <io.h>
#include <cstdio>
#else
#include <unistd.h>
#endif

namespace orvanta::cli {

#ifdef _WIN32
bool StandardInputIsTerminal() { return ::_isatty(::_fileno(stdin)) != 0; }
bool StandardErrorIsTerminal() { return ::_isatty(::_fileno(stderr)) != 0; }
#else
bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) != 0; }
bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }
#endif

}  // namespace orvanta::cli
