#include <windows.h>

#include <vector>

#include "platform/program_starter.h"
#include "platform/utf16_win32.h"
#include "platform/win32_handles.h"

namespace torvale {
namespace {

class Win32ProgramStarter final : public ProgramStarter {
public:
    bool Start(const std::string& path) override {
        if (path.empty())
            return false;
        // The path alone, quoted so that spaces in it do not split it; the program's window opens normally and
        // takes the focus. Nobody waits for it.
        const std::wstring program = Utf8ToWide(path);
        std::wstring commandLine = L"\"" + program + L"\"";
        std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process))
            return false;
        // Nobody waits for it: both handles go at once.
        UniqueHandle(process.hThread).reset();
        UniqueHandle(process.hProcess).reset();
        return true;
    }
};

}  // namespace

ProgramStarter& SystemProgramStarter() {
    static Win32ProgramStarter starter;
    return starter;
}

}  // namespace torvale
