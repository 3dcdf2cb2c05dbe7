#include "engine/platform/childProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

extern char** environ;

namespace engine::platform {

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr || name.empty() || name.find('/') != std::string::npos)
        return {};
    const std::string folders = path;
    std::size_t begin = 0;
    while (begin <= folders.size()) {
        std::size_t end = folders.find(':', begin);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = end > begin ? folders.substr(begin, end - begin) : ".";
        const std::string candidate = folder + "/" + name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return {};
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::vector<std::string>& arguments,
                                                  std::string& error) {
    if (arguments.empty()) {
        error = "no program given";
        return nullptr;
    }
    // Both ends close on exec: the child gets the read end as its input
    // only, so our write end is the only one and closing it ends its input.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    // A group of its own keeps a terminal's Ctrl-C, or a signal sent to our
    // whole group, from ending the program halfway: we end its input when
    // we stop, and it finishes what it has.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int result = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);
    if (result != 0) {
        ::close(ends[1]);
        error = std::strerror(result);
        return nullptr;
    }
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, ends[1]));
}

ChildProcess::~ChildProcess() {
    Finish();
}

bool ChildProcess::Write(const void* data, std::size_t size) {
    if (mInput < 0)
        return false;
    // A reader that has gone raises SIGPIPE in the writing thread: blocked
    // here, it stays pending and is taken back before the mask is restored.
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    const char* bytes = static_cast<const char*>(data);
    bool ok = true;
    while (size > 0) {
        const ssize_t written = ::write(mInput, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EPIPE) {
                const timespec none{};
                sigtimedwait(&pipeSignal, nullptr, &none);
            }
            ok = false;
            break;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

int ChildProcess::Finish() {
    if (mInput < 0)
        return mStatus;
    ::close(mInput);
    mInput = -1;
    int status = 0;
    while (::waitpid(mPid, &status, 0) < 0) {
        if (errno != EINTR) {
            mStatus = 127;
            return mStatus;
        }
    }
    mStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return mStatus;
}

} // namespace engine::platform
