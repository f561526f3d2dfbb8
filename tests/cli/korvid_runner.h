// Runs the korvid binary as a separate process with the call-recording preload (on
// Windows a copy of korvid.exe beside a recording KORVID.dll in front of the real
// one), a chosen simulated programmer and faked results, and collects what it printed.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace korvid::cli::test {

struct Outcome {
    int exitStatus = -1;
    std::string out;
    std::string err;
    std::vector<std::string> calls;         // programmer functions the run called
    std::vector<unsigned char> programmed;  // the code image of its latest UpdateMCU call
};

// The environments of the simulated HID and bulk-pipe programmers.
inline const std::map<std::string, std::string> kHid{{"KORVID_SIMULATE", "hid"}};
inline const std::map<std::string, std::string> kPipe{{"KORVID_SIMULATE", "pipe"}};

// args without the program name; env entries are added to a clean copy of the
// environment (KORVID_* removed). stdin is /dev/null (NUL on Windows).
Outcome RunKorvid(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& env = {});

#if !defined(_WIN32)
// The same with korvid's stdin and stdout on a pseudo-terminal (through script(1))
// that is fed typed; what the terminal showed is in out.
Outcome RunKorvidOnTerminal(const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& env,
                            const std::string& typed);
#endif

// A fresh directory for one test's files.
std::string ScratchDir();

std::string ReadText(const std::string& path);
std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace korvid::cli::test
