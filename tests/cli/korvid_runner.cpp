#include "korvid_runner.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvid::cli::test {
namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs argv with the preload, a clean environment plus env, stdin from stdinPath.
Outcome Spawn(std::vector<std::string> argvStrings, const std::map<std::string, std::string>& env,
              const std::string& stdinPath) {
    const std::string dir = ScratchDir();
    const std::string outPath = dir + "/out", errPath = dir + "/err", logPath = dir + "/calls",
                      codePath = dir + "/code";
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "KORVID_", 7) != 0 &&
            std::strncmp(*entry, "LD_PRELOAD=", 11) != 0 &&
            std::strncmp(*entry, "ASAN_OPTIONS=", 13) != 0) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back(std::string("LD_PRELOAD=") + KORVID_FAKE_RESULTS_LIBRARY);
    environment.push_back("KORVID_CALL_LOG=" + logPath);
    environment.push_back("KORVID_CODE_LOG=" + codePath);
    // The preload is not instrumented, so it comes before a sanitizer runtime.
    environment.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
    for (const auto& [name, value] : env) {
        environment.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (std::string& arg : argvStrings) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(stdinPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    std::istringstream calls(ReadText(logPath));
    for (std::string line; std::getline(calls, line);) {
        run.calls.push_back(line);
    }
    run.programmed = ReadBytes(codePath);
    std::system(("rm -rf '" + dir + "'").c_str());
    return run;
}

}  // namespace

std::string ScratchDir() {
    std::string pattern = "/tmp/korvid-cli-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    return pattern;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

Outcome RunKorvid(const std::vector<std::string>& args,
                  const std::map<std::string, std::string>& env) {
    std::vector<std::string> argv{KORVID_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return Spawn(argv, env, "/dev/null");
}

Outcome RunKorvidOnTerminal(const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& env,
                            const std::string& typed) {
    std::string command = ShellQuoted(KORVID_BINARY);
    for (const std::string& arg : args) {
        command += " " + ShellQuoted(arg);
    }
    const std::string dir = ScratchDir();
    WriteBytes(dir + "/typed", std::vector<unsigned char>(typed.begin(), typed.end()));
    Outcome outcome = Spawn({"/usr/bin/script", "-qec", command, "/dev/null"}, env, dir + "/typed");
    std::system(("rm -rf '" + dir + "'").c_str());
    return outcome;
}

}  // namespace korvid::cli::test
