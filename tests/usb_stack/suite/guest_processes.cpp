#include "guest_processes.h"

#include "link/pipe_link.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace korvid::usbstack {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kGadgetProgram = "/suite/korvid-usb-gadget";
constexpr auto kAttachBound = std::chrono::seconds(15);
constexpr auto kStopBound = std::chrono::seconds(10);
constexpr auto kPollStep = std::chrono::milliseconds(50);

std::string readLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

[[noreturn]] void becomeTestUserAndRun(const Program& program) {
    if (program.asTestUser) {
        const passwd* user = getpwnam(kTestUser);
        if (user == nullptr || initgroups(user->pw_name, user->pw_gid) != 0 ||
            setgid(user->pw_gid) != 0 || setuid(user->pw_uid) != 0) {
            std::perror("becoming the test user");
            _exit(126);
        }
    }
    std::vector<std::string> arguments = program.arguments;
    std::vector<std::string> environment = program.environment;
    environment.push_back("PATH=/bin:/usr/bin:/suite");
    environment.push_back("HOME=/tmp");
    execve(arguments[0].c_str(), pointers(arguments).data(), pointers(environment).data());
    std::perror(arguments[0].c_str());
    _exit(127);
}

// Waits for the child within the bound; false when it is still running.
bool reap(pid_t pid, Clock::time_point deadline, int& status) {
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

gid_t korvidGroup() {
    const group* entry = getgrnam("korvid");
    if (entry == nullptr) {
        throw std::runtime_error("the guest has no group korvid");
    }
    return entry->gr_gid;
}

}  // namespace

Finished Run(const Program& program) {
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int none = open("/dev/null", O_RDONLY);
        dup2(none, 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        becomeTestUserAndRun(program);
    }
    close(out[1]);
    close(err[1]);
    Finished finished;
    const auto deadline = start + std::chrono::seconds(program.timeoutSeconds);
    pollfd streams[] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* texts[] = {&finished.out, &finished.err};
    int open = 2;
    while (open > 0 && Clock::now() < deadline) {
        if (poll(streams, 2, 100) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (streams[i].fd < 0 || streams[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = read(streams[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i]->append(buffer, static_cast<size_t>(n));
            } else {
                close(streams[i].fd);
                streams[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    if (!reap(pid, deadline, status)) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        finished.timedOut = true;
    }
    for (const pollfd& stream : streams) {
        if (stream.fd >= 0) {
            close(stream.fd);
        }
    }
    finished.exited = WIFEXITED(status);
    finished.status = finished.exited ? WEXITSTATUS(status) : -1;
    finished.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return finished;
}

GadgetProgrammer::GadgetProgrammer(std::string programmer, int controller, std::string serial,
                                   std::vector<std::string> options)
    : name_("g" + std::to_string(controller)),
      location_(std::to_string(controller + 1) + "-1"),
      serial_(std::move(serial)),
      stateFile_("/tmp/" + name_ + ".state") {
    std::vector<std::string> arguments = {kGadgetProgram,
                                          "--programmer",
                                          std::move(programmer),
                                          "--udc",
                                          "dummy_udc." + std::to_string(controller),
                                          "--name",
                                          name_,
                                          "--serial",
                                          serial_,
                                          "--state",
                                          stateFile_};
    arguments.insert(arguments.end(), options.begin(), options.end());
    unlink(stateFile_.c_str());
    pid_ = fork();
    if (pid_ == 0) {
        execv(kGadgetProgram, pointers(arguments).data());
        std::perror(kGadgetProgram);
        _exit(127);
    }
}

GadgetProgrammer::~GadgetProgrammer() {
    if (pid_ > 0) {
        stop();
    }
}

std::string GadgetProgrammer::waitUntilAttached(uint16_t productId, bool accessible) const {
    char product[8];
    std::snprintf(product, sizeof product, "%04x", productId);
    const gid_t group = korvidGroup();
    // A HID programmer's node is its hidraw node, which comes a moment after the
    // USB device's own.
    const bool hid = productId != link::kPipeProduct;
    const auto deadline = Clock::now() + kAttachBound;
    while (Clock::now() < deadline) {
        const std::string node = DeviceNodeAt(location_);
        struct stat info {};
        if (readLine("/sys/bus/usb/devices/" + location_ + "/idProduct") == product &&
            !node.empty() && (!hid || node.rfind("/dev/hidraw", 0) == 0) &&
            stat(node.c_str(), &info) == 0 &&
            (!accessible || (info.st_gid == group && (info.st_mode & 060) == 060))) {
            return node;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    return "";
}

std::map<std::string, std::string> GadgetProgrammer::stop() {
    std::map<std::string, std::string> state;
    if (pid_ <= 0) {
        return state;
    }
    kill(pid_, SIGTERM);
    int status = 0;
    if (!reap(pid_, Clock::now() + kStopBound, status)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    std::ifstream file(stateFile_);
    for (std::string line; std::getline(file, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            state[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return state;
}

std::string DeviceNodeAt(const std::string& location) {
    const std::string device = "/sys/bus/usb/devices/" + location;
    const std::string interface = device + "/" + location + ":1.0";
    if (DIR* dir = opendir(interface.c_str())) {
        std::string node;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.rfind("0003:", 0) != 0) {
                continue;
            }
            if (DIR* hidraw = opendir((interface + "/" + name + "/hidraw").c_str())) {
                while (const dirent* raw = readdir(hidraw)) {
                    if (std::string(raw->d_name).rfind("hidraw", 0) == 0) {
                        node = std::string("/dev/") + raw->d_name;
                    }
                }
                closedir(hidraw);
            }
        }
        closedir(dir);
        if (!node.empty()) {
            return node;
        }
    }
    const std::string bus = readLine(device + "/busnum");
    const std::string address = readLine(device + "/devnum");
    if (bus.empty() || address.empty()) {
        return "";
    }
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", std::stoi(bus), std::stoi(address));
    return node;
}

bool HoldsProgrammerNode() {
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return false;
    }
    bool holds = false;
    while (const dirent* entry = readdir(dir)) {
        char target[256] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        if (readlink(link.c_str(), target, sizeof target - 1) > 0) {
            const std::string path = target;
            holds =
                holds || path.rfind("/dev/hidraw", 0) == 0 || path.rfind("/dev/bus/usb/", 0) == 0;
        }
    }
    closedir(dir);
    return holds;
}

}  // namespace korvid::usbstack
