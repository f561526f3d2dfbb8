// Whether the tool talks to a person at a terminal: questions are asked only when
// its standard input is one, progress is drawn only on a standard error that is.
#pragma once

namespace korvid::cli {

bool StdinIsTerminal();
// On Windows: a console that takes the terminal control sequences the progress
// line is drawn with (Windows 10 and later).
bool StderrIsTerminal();

}  // namespace korvid::cli
