#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/process_runner.h"

extern char** environ;

namespace torvale {
namespace {

bool CloseOnExec(int descriptor) {
    const int flags = ::fcntl(descriptor, F_GETFD);
    return flags >= 0 && ::fcntl(descriptor, F_SETFD, flags | FD_CLOEXEC) == 0;
}

class PosixProcessRunner final : public ProcessRunner {
public:
    ProcessCapture Run(const std::string& commandLine) override {
        ProcessCapture capture;
        std::vector<std::string> words = SplitCommandLine(commandLine);
        if (words.empty() || words.front().empty())
            return capture;
        std::vector<char*> argv;
        for (std::string& word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);

        // Close-on-exec, so that only the two descriptors set up below reach the program. (Another thread
        // starting a program between pipe and fcntl could still inherit them; this program starts one at a time.)
        int ends[2];
        if (::pipe(ends) != 0)
            return capture;
        const int readEnd = ends[0];
        const int writeEnd = ends[1];
        if (!CloseOnExec(readEnd) || !CloseOnExec(writeEnd)) {
            ::close(readEnd);
            ::close(writeEnd);
            return capture;
        }

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, writeEnd, 1);
        posix_spawn_file_actions_adddup2(&actions, writeEnd, 2);
        pid_t child = 0;
        const int failure = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);

        // As on Windows: our copy of the write end goes at once, so the pipe ends when the program's copies do.
        ::close(writeEnd);
        if (failure != 0) {
            ::close(readEnd);
            return capture;
        }
        capture.started = true;

        char buffer[kPipeReadSize];
        for (;;) {
            const ssize_t count = ::read(readEnd, buffer, sizeof buffer);
            if (count > 0)
                capture.output.append(buffer, static_cast<std::size_t>(count));
            else if (count == 0 || errno != EINTR)
                break;
        }
        ::close(readEnd);
        // The output has ended; the program is ending too and is collected so that it leaves no zombie.
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        return capture;
    }
};

}  // namespace

ProcessRunner& SystemProcessRunner() {
    static PosixProcessRunner runner;
    return runner;
}

}  // namespace torvale
