#include <windows.h>

#include <vector>

#include "platform/process_runner.h"
#include "platform/utf16_win32.h"
#include "platform/win32_handles.h"

namespace torvale {
namespace {

class Win32ProcessRunner final : public ProcessRunner {
public:
    ProcessCapture Run(const std::string& commandLine) override {
        ProcessCapture capture;

        // The write end must be inheritable, so the pipe is made so; our read end is then taken back, or the
        // program would hold a copy of it and the pipe would not end with the program's output.
        SECURITY_ATTRIBUTES inheritable{};
        inheritable.nLength = sizeof inheritable;
        inheritable.bInheritHandle = TRUE;
        UniqueHandle readEnd;
        UniqueHandle writeEnd;
        if (!CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0) ||
            !SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0))
            return capture;  // no pipe, no program: reported like a program that would not start

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = nullptr;
        startup.hStdOutput = writeEnd.get();
        startup.hStdError = writeEnd.get();
        PROCESS_INFORMATION process{};
        // CreateProcessW may write into the command line, so it gets a copy of its own. The process and
        // thread handles are not inheritable; the console compiler gets no console window.
        const std::wstring wide = Utf8ToWide(commandLine);
        std::vector<wchar_t> line(wide.begin(), wide.end());
        line.push_back(L'\0');
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS | CREATE_NO_WINDOW,
                            nullptr, nullptr, &startup, &process))
            return capture;
        const UniqueHandle processHandle(process.hProcess);
        const UniqueHandle threadHandle(process.hThread);
        capture.started = true;

        // Without this the pipe would never report its end: the program's copies close when it ends, ours
        // would stay open.
        writeEnd.reset();

        char buffer[kPipeReadSize];
        DWORD count = 0;
        while (ReadFile(readEnd.get(), buffer, static_cast<DWORD>(sizeof buffer), &count, nullptr))
            capture.output.append(buffer, count);
        return capture;
    }
};

}  // namespace

ProcessRunner& SystemProcessRunner() {
    static Win32ProcessRunner runner;
    return runner;
}

}  // namespace torvale
