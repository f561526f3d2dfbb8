// Waiting at the terminal between two targets of --repeat.
#pragma once

namespace korvid::cli {

enum class Answer { Next, Stop, Interrupted };

// Waits for a line on stdin: an empty one (or anything but q) goes on, "q" or
// the end of input stops, Ctrl+C (while an InterruptFlag lives) interrupts at
// once.
Answer WaitForEnter();

enum class StdinEvent { Byte, End, Interrupted };

// Blocks for the next byte of stdin, the end of input or Ctrl+C, whichever comes
// first (platform part).
StdinEvent NextStdinByte(char& byte);

}  // namespace korvid::cli
