#include "korvid_runner.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#if defined(_WIN32)
#include <windows.h>

#include "windows_text.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace korvid::cli::test {
namespace {

struct Logs {
    std::string out, err, calls, code;
};

// Reads what a finished run left in its log files.
Outcome Collect(int exitStatus, const Logs& logs) {
    Outcome run;
    run.exitStatus = exitStatus;
    run.out = ReadText(logs.out);
    run.err = ReadText(logs.err);
    std::istringstream calls(ReadText(logs.calls));
    for (std::string line; std::getline(calls, line);) {
        run.calls.push_back(line);
    }
    run.programmed = ReadBytes(logs.code);
    return run;
}

#if defined(_WIN32)

// Runs argv (korvid.exe beside the recording KORVID.dll) with a clean environment
// plus env, stdin from stdinPath, stdout and stderr into files.
Outcome Spawn(const std::vector<std::string>& argvStrings,
              const std::map<std::string, std::string>& env, const std::string& stdinPath) {
    const std::string dir = ScratchDir();
    const Logs logs{dir + "/out", dir + "/err", dir + "/calls", dir + "/code"};
    std::wstring environment;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        if (wcsncmp(entry, L"KORVID_", 7) != 0) {
            environment += entry;
            environment += L'\0';
        }
    }
    FreeEnvironmentStringsW(block);
    std::map<std::string, std::string> added = env;
    added["KORVID_CALL_LOG"] = logs.calls;
    added["KORVID_CODE_LOG"] = logs.code;
    for (const auto& [name, value] : added) {
        environment += WideFromAnsi(name + "=" + value);
        environment += L'\0';
    }
    environment += L'\0';
    std::vector<std::wstring> wide;
    for (const std::string& arg : argvStrings) {
        wide.push_back(WideFromAnsi(arg));
    }
    std::wstring line = CommandLine(wide);

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE in = CreateFileA(stdinPath.c_str(), GENERIC_READ, share, &inheritable, OPEN_EXISTING, 0,
                            nullptr);
    HANDLE out = CreateFileA(logs.out.c_str(), GENERIC_WRITE, share, &inheritable, CREATE_ALWAYS, 0,
                             nullptr);
    HANDLE err = CreateFileA(logs.err.c_str(), GENERIC_WRITE, share, &inheritable, CREATE_ALWAYS, 0,
                             nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    DWORD code = 127;
    const bool started = CreateProcessW(wide[0].c_str(), line.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr,
                                        &startup, &process);
    const std::string startError =
        started ? "" : "could not start " + argvStrings[0] + ": " + WindowsErrorText(GetLastError());
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {in, out, err}) {
        CloseHandle(handle);
    }
    Outcome run = Collect(static_cast<int>(code), logs);
    run.err += startError;
    std::filesystem::remove_all(dir);
    return run;
}

#else

// Runs argv with the preload, a clean environment plus env, stdin from stdinPath.
Outcome Spawn(std::vector<std::string> argvStrings, const std::map<std::string, std::string>& env,
              const std::string& stdinPath) {
    const std::string dir = ScratchDir();
    const Logs logs{dir + "/out", dir + "/err", dir + "/calls", dir + "/code"};
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "KORVID_", 7) != 0 &&
            std::strncmp(*entry, "LD_PRELOAD=", 11) != 0 &&
            std::strncmp(*entry, "ASAN_OPTIONS=", 13) != 0) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back(std::string("LD_PRELOAD=") + KORVID_FAKE_RESULTS_LIBRARY);
    environment.push_back("KORVID_CALL_LOG=" + logs.calls);
    environment.push_back("KORVID_CODE_LOG=" + logs.code);
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
        const int out = ::open(logs.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(logs.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome run = Collect(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), logs);
    std::filesystem::remove_all(dir);
    return run;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

#endif

}  // namespace

std::string ScratchDir() {
    std::random_device seed;
    std::filesystem::path dir;
    do {
        dir =
            std::filesystem::temp_directory_path() / ("korvid-cli-test-" + std::to_string(seed()));
    } while (!std::filesystem::create_directory(dir));
    return dir.string();
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
#if defined(_WIN32)
    return Spawn(argv, env, "NUL");
#else
    return Spawn(argv, env, "/dev/null");
#endif
}

#if !defined(_WIN32)
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
    std::filesystem::remove_all(dir);
    return outcome;
}
#endif

}  // namespace korvid::cli::test
