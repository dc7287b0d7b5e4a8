#include "platform/win32/child_process.h"

#include "platform/win32/handles.h"

#include <vector>

namespace platform::win32 {
namespace {

std::string lastError() { return errorText(::GetLastError()); }

class Win32ChildProcess : public ChildProcess {
public:
    Win32ChildProcess(KernelHandle job, KernelHandle process, DWORD id, FileHandle output, std::wstring outputPath)
        : job_(std::move(job)),
          process_(std::move(process)),
          id_(id),
          output_(std::move(output)),
          outputPath_(std::move(outputPath)) {}

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
        if (::TerminateProcess(process_.get(), kTerminatedExitCode)) return Status::success();
        DWORD code = ::GetLastError();
        if (waitForExit(std::chrono::milliseconds(0))) return Status::success();
        return Status::failure(errorText(code));
    }

    std::uint32_t processId() const override { return id_; }

private:
    KernelHandle job_;  // first, so that it goes last
    KernelHandle process_;
    DWORD id_;
    FileHandle output_;
    std::wstring outputPath_;
};

// "<tag>.out" in %TEMP%, or its path empty when there is no such folder.
std::wstring outputFile(std::string_view tag, std::string& error) {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        error = "The temporary folder for the archiver's output is not known: " + lastError();
        return {};
    }
    return std::wstring(folder, length) + widen(tag) + L".out";
}

FileHandle openShared(const std::wstring& path, DWORD access, DWORD disposition, bool inheritable) {
    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, inheritable ? TRUE : FALSE};
    return FileHandle(::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    &security, disposition, FILE_ATTRIBUTE_TEMPORARY, nullptr));
}

// A job that kills what it holds once its last handle is closed.
KernelHandle killingJob(std::string& error) {
    KernelHandle job(::CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!job || !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        error = "The archiver's job object could not be made: " + lastError();
        return {};
    }
    return job;
}

// The attribute list that limits what the child inherits to these handles.
class InheritedHandles {
public:
    explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
        list_ = list;
        if (!::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                         handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            ::DeleteProcThreadAttributeList(list_);
            list_ = nullptr;
        }
    }
    ~InheritedHandles() {
        if (list_) ::DeleteProcThreadAttributeList(list_);
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;

    // Null when the list could not be made; GetLastError says why.
    LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }

private:
    std::vector<HANDLE> handles_;
    std::vector<unsigned char> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

StartedChild StartHidden(std::string_view commandLine, std::string_view outputTag) {
    std::string error;
    const std::wstring outputPath = outputFile(outputTag, error);
    if (outputPath.empty()) return {nullptr, error};
    KernelHandle job = killingJob(error);
    if (!job) return {nullptr, error};
    // Two handles, so the child's writing position and ours stay apart; a
    // file a killed run left is emptied.
    FileHandle childOutput = openShared(outputPath, GENERIC_WRITE, CREATE_ALWAYS, true);
    FileHandle reader = openShared(outputPath, GENERIC_READ, OPEN_EXISTING, false);
    FileHandle noInput = openShared(L"NUL", GENERIC_READ, OPEN_EXISTING, true);
    if (!childOutput || !reader || !noInput) {
        error = "The archiver's output file could not be opened: " + lastError();
        ::DeleteFileW(outputPath.c_str());
        return {nullptr, error};
    }
    InheritedHandles inherited({childOutput.get(), noInput.get()});
    if (!inherited.list()) {
        error = "The archiver's handles could not be listed: " + lastError();
        ::DeleteFileW(outputPath.c_str());
        return {nullptr, error};
    }

    std::wstring mutableLine = widen(commandLine);
    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = noInput.get();
    startup.StartupInfo.hStdOutput = childOutput.get();
    startup.StartupInfo.hStdError = childOutput.get();
    startup.lpAttributeList = inherited.list();
    PROCESS_INFORMATION info = {};
    // Suspended until it is in the job, so that nothing it starts escapes it.
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                          &startup.StartupInfo, &info)) {
        error = lastError();
        reader.reset();
        childOutput.reset();
        ::DeleteFileW(outputPath.c_str());
        return {nullptr, error};
    }
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    // Windows 7 gives no second job to a process already in one (a task of
    // the Task Scheduler runs in one): the archiver then runs without ours.
    ::AssignProcessToJobObject(job.get(), process.get());
    ::ResumeThread(thread.get());
    return {std::make_unique<Win32ChildProcess>(std::move(job), std::move(process), info.dwProcessId,
                                                std::move(reader), outputPath),
            {}};
}

}  // namespace platform::win32
