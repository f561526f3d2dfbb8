#include "enter_wait.h"

#include <string>

namespace korvid::cli {

Answer WaitForEnter() {
    std::string line;
    for (;;) {
        char c = 0;
        switch (NextStdinByte(c)) {
            case StdinEvent::Interrupted:
                return Answer::Interrupted;
            case StdinEvent::End:
                return Answer::Stop;
            case StdinEvent::Byte:
                break;
        }
        if (c == '\n') {
            return line == "q" || line == "Q" ? Answer::Stop : Answer::Next;
        }
        if (c != '\r') {  // a Windows console ends its lines with CR LF
            line += c;
        }
    }
}

}  // namespace korvid::cli
