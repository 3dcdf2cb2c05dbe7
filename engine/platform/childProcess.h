#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace engine::platform {

// The path of the executable `name` found on PATH; empty when there is none.
std::string FindProgram(const std::string& name);

// A program fed through a pipe to its standard input; its output and errors
// go where ours go. It runs in a process group of its own, so signals meant
// for ours reach it only through us.
class ChildProcess {
public:
    // Starts arguments[0], searched on PATH. Null with `error` set when it
    // cannot be started.
    static std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& arguments,
                                               std::string& error);
    // Closes the pipe and waits for the program.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Writes every byte; false once the program has stopped reading (the
    // broken pipe is reported here, never as a signal).
    bool Write(const void* data, std::size_t size);
    // Closes the pipe and waits: the exit status, or 128 + the signal that
    // ended the program.
    int Finish();

private:
    ChildProcess(pid_t pid, int input) : mPid(pid), mInput(input) {}

    pid_t mPid;
    int mInput;
    int mStatus = 0;
};

} // namespace engine::platform
