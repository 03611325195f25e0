#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace tessel::test {

pid_t SpawnChild(const std::vector<std::string>& argv, int& outputFd, const std::string& errorPath) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int errorFd =
            errorPath.empty() ? pipeFds[1] : open(errorPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (errorFd >= 0) dup2(errorFd, STDERR_FILENO);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        std::vector<std::string> args = argv;
        std::vector<char*> pointers;
        for (auto& a : args) pointers.push_back(a.data());
        pointers.push_back(nullptr);
        execv(pointers[0], pointers.data());
        _exit(127);
    }
    close(pipeFds[1]);
    outputFd = pipeFds[0];
    return pid;
}

int StopChild(pid_t pid, int timeoutMs) {
    kill(pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

}  // namespace tessel::test
