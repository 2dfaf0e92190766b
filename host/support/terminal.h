#pragma once
// Whether the program's standard input is a terminal that someone types at (a prompt is then
// shown), rather than a file or a pipe. One side for POSIX systems, one for Windows.
namespace vorn_host {

bool standardInputIsTerminal();

}  // namespace vorn_host
