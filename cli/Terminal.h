#pragma once

namespace orvanta::cli {

// Whether the program's standard input or standard error is an interactive terminal.
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

}  // namespace orvanta::cli
