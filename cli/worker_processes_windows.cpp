#include "worker_processes.h"

#include "windows_text.h"
#include "worker_output.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace korvid::cli {
namespace {

struct Chunk {
    std::size_t worker;
    WorkerStream stream;
    std::string bytes;  // empty: the stream ended
};

// Chunks read by the reader threads, taken by the thread that runs the workers.
class ChunkQueue {
public:
    void push(Chunk chunk) {
        const std::lock_guard lock(mutex_);
        chunks_.push_back(std::move(chunk));
        arrived_.notify_one();
    }
    Chunk pop() {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [this] { return !chunks_.empty(); });
        Chunk chunk = std::move(chunks_.front());
        chunks_.pop_front();
        return chunk;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Chunk> chunks_;
};

// Reads one pipe to its end into the queue, then closes it.
void ReadPipe(HANDLE pipe, std::size_t worker, WorkerStream stream, ChunkQueue& queue) {
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        queue.push({worker, stream, std::string(buffer, got)});
    }
    CloseHandle(pipe);
    queue.push({worker, stream, {}});
}

struct Running {
    HANDLE process = nullptr;  // nullptr: it could not be started
    HANDLE out = nullptr;      // the reading ends of its pipes
    HANDLE err = nullptr;
};

// Starts one worker. Its ends of the pipes and of NUL are the only inheritable
// handles while CreateProcess runs and are closed right after it, so that no
// other worker inherits them and each pipe ends when its own worker ends.
Running Start(const std::vector<std::string>& args) {
    Running running;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outWrite = nullptr;
    HANDLE errWrite = nullptr;
    if (!CreatePipe(&running.out, &outWrite, &inheritable, 0)) {
        return running;
    }
    if (!CreatePipe(&running.err, &errWrite, &inheritable, 0)) {
        CloseHandle(running.out);
        CloseHandle(outWrite);
        running.out = nullptr;
        return running;
    }
    SetHandleInformation(running.out, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(running.err, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             OPEN_EXISTING, 0, nullptr);

    std::vector<std::wstring> wide;
    for (const std::string& arg : args) {
        wide.push_back(WideFromAnsi(arg));
    }
    std::wstring line = CommandLine(wide);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    if (!args.empty() && CreateProcessW(wide[0].c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        running.process = process.hProcess;
    }
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (nul != INVALID_HANDLE_VALUE) {
        CloseHandle(nul);
    }
    return running;
}

}  // namespace

std::string SelfExecutable() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return AnsiFromWide(path);
        }
        path.resize(path.size() * 2);
    }
}

std::vector<WorkerEnd> RunWorkers(
    const std::vector<std::vector<std::string>>& workers,
    const std::function<void(std::size_t, const std::string&)>& onErrorLine) {
    std::vector<WorkerEnd> ends(workers.size());
    WorkerOutputs outputs(ends, onErrorLine);
    ChunkQueue queue;
    std::vector<Running> running;
    std::vector<std::thread> readers;
    std::size_t openStreams = 0;
    for (std::size_t i = 0; i < workers.size(); ++i) {
        running.push_back(Start(workers[i]));
        for (const auto& [pipe, stream] : {std::pair{running[i].out, WorkerStream::Out},
                                           std::pair{running[i].err, WorkerStream::Err}}) {
            if (pipe == nullptr) {
                outputs.closed(i, stream);
                continue;
            }
            readers.emplace_back(ReadPipe, pipe, i, stream, std::ref(queue));
            ++openStreams;
        }
    }
    while (openStreams > 0) {
        const Chunk chunk = queue.pop();
        if (chunk.bytes.empty()) {
            outputs.closed(chunk.worker, chunk.stream);
            --openStreams;
        } else {
            outputs.received(chunk.worker, chunk.stream, chunk.bytes);
        }
    }
    for (std::thread& reader : readers) {
        reader.join();
    }
    for (std::size_t i = 0; i < running.size(); ++i) {
        if (running[i].process == nullptr) {
            ends[i].exitStatus = 127;
            continue;
        }
        WaitForSingleObject(running[i].process, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(running[i].process, &code);
        CloseHandle(running[i].process);
        ends[i].exitStatus = static_cast<int>(code);
    }
    return ends;
}

}  // namespace korvid::cli
