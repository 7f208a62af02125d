#include <windows.h>

#include <vector>

#include "platform/process_runner.h"

namespace torvale {
namespace {

class Win32ProcessRunner final : public ProcessRunner {
public:
    ProcessCapture Run(const std::string& commandLine) override {
        ProcessCapture capture;

        // Both ends inheritable: the program gets its copies of the write end through STARTUPINFO.
        SECURITY_ATTRIBUTES security{};
        security.nLength = sizeof security;
        security.lpSecurityDescriptor = nullptr;
        security.bInheritHandle = TRUE;
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (!CreatePipe(&readEnd, &writeEnd, &security, 0))
            return capture;  // no pipe, no program: reported like a program that would not start

        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        startup.hStdOutput = writeEnd;
        startup.hStdError = writeEnd;
        PROCESS_INFORMATION process{};
        // CreateProcessA may write into the command line, so it gets a copy of its own.
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        if (!CreateProcessA(nullptr, line.data(), &security, &security, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                            &startup, &process)) {
            CloseHandle(writeEnd);
            CloseHandle(readEnd);
            return capture;
        }
        capture.started = true;

        // Without this the pipe would never report its end: the program's copies close when it ends, ours
        // would stay open.
        CloseHandle(writeEnd);

        char buffer[kPipeReadSize];
        DWORD count = 0;
        while (ReadFile(readEnd, buffer, static_cast<DWORD>(sizeof buffer), &count, nullptr))
            capture.output.append(buffer, count);

        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        CloseHandle(readEnd);
        return capture;
    }
};

}  // namespace

ProcessRunner& SystemProcessRunner() {
    static Win32ProcessRunner runner;
    return runner;
}

}  // namespace torvale
