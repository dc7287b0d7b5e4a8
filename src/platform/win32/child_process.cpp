#include "platform/win32/child_process.h"

#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

std::string lastError() { return errorText(::GetLastError()); }

class Win32ChildProcess : public ChildProcess {
public:
    Win32ChildProcess(KernelHandle process, DWORD id, FileHandle output, std::wstring outputPath)
        : process_(std::move(process)), id_(id), output_(std::move(output)), outputPath_(std::move(outputPath)) {}

    ~Win32ChildProcess() override {
        if (!waitForExit(std::chrono::milliseconds(0))) {
            terminate();
            waitForExit(std::chrono::seconds(5));
        }
        output_.reset();
        ::DeleteFileW(outputPath_.c_str());
    }

    bool waitForExit(std::chrono::milliseconds timeout) override {
        return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
    }

    std::optional<std::uint32_t> exitCode() override {
        if (!waitForExit(std::chrono::milliseconds(0))) return std::nullopt;
        DWORD code = 0;
        if (!::GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
        return code;
    }

    std::string readNewOutput() override {
        std::string text;
        char buffer[16384];
        DWORD got = 0;
        while (::ReadFile(output_.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
        return text;
    }

    std::uint64_t bytesRead() override {
        IO_COUNTERS counters = {};
        if (!::GetProcessIoCounters(process_.get(), &counters)) return 0;
        return counters.ReadTransferCount;
    }

    Status terminate() override {
        if (::TerminateProcess(process_.get(), 1)) return Status::success();
        DWORD code = ::GetLastError();
        if (waitForExit(std::chrono::milliseconds(0))) return Status::success();
        return Status::failure(errorText(code));
    }

    std::uint32_t processId() const override { return id_; }

private:
    KernelHandle process_;
    DWORD id_;
    FileHandle output_;
    std::wstring outputPath_;
};

// A new empty file in %TEMP%, or its path empty when none could be made.
std::wstring newOutputFile(std::string& error) {
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t path[MAX_PATH + 1] = {};
    if (::GetTempPathW(MAX_PATH + 1, folder) == 0 || ::GetTempFileNameW(folder, L"qfo", 0, path) == 0) {
        error = "No file for the archiver's output could be made in the temporary folder: " + lastError();
        return {};
    }
    return path;
}

FileHandle openShared(const std::wstring& path, DWORD access, DWORD disposition, bool inheritable) {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, inheritable ? TRUE : FALSE};
    return FileHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    &security, disposition, FILE_ATTRIBUTE_TEMPORARY, nullptr));
}

}  // namespace

StartedChild StartHidden(std::string_view commandLine) {
    std::string error;
    std::wstring outputPath = newOutputFile(error);
    if (outputPath.empty()) return {nullptr, error};
    // Two handles, so the child's writing position and ours stay apart.
    FileHandle childOutput = openShared(outputPath, GENERIC_WRITE, TRUNCATE_EXISTING, true);
    FileHandle reader = openShared(outputPath, GENERIC_READ, OPEN_EXISTING, false);
    FileHandle noInput = openShared(L"NUL", GENERIC_READ, OPEN_EXISTING, true);
    if (!childOutput || !reader || !noInput) {
        error = "The archiver's output file could not be opened: " + lastError();
        ::DeleteFileW(outputPath.c_str());
        return {nullptr, error};
    }

    std::wstring mutableLine = widen(commandLine);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = noInput.get();
    startup.hStdOutput = childOutput.get();
    startup.hStdError = childOutput.get();
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info)) {
        error = lastError();
        reader.reset();
        childOutput.reset();
        ::DeleteFileW(outputPath.c_str());
        return {nullptr, error};
    }
    KernelHandle thread(info.hThread);
    return {std::make_unique<Win32ChildProcess>(KernelHandle(info.hProcess), info.dwProcessId, std::move(reader),
                                                std::move(outputPath)),
            {}};
}

}  // namespace platform::win32
