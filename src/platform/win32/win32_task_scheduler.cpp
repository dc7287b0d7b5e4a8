#include "platform/win32/win32_task_scheduler.h"

#include "platform/win32/handles.h"

#include <oleauto.h>
#include <taskschd.h>

#include <cstdio>
#include <utility>

namespace platform::win32 {
namespace {

// Owns one reference to a COM interface.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    // For the functions that hand out a new reference.
    Interface** out() {
        reset();
        return &pointer_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }

private:
    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }
    Interface* pointer_ = nullptr;
};

// Owns a BSTR, given or received.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) {
        std::wstring wide = widen(utf8);
        text_ = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(text_); }

    BSTR get() const { return text_; }
    BSTR* out() {
        ::SysFreeString(std::exchange(text_, nullptr));
        return &text_;
    }
    std::string utf8() const { return text_ ? narrow({text_, ::SysStringLen(text_)}) : std::string(); }

private:
    BSTR text_ = nullptr;
};

// An empty VARIANT owns nothing; it stands for "not given".
VARIANT notGiven() {
    VARIANT empty;
    ::VariantInit(&empty);
    return empty;
}

bool isMissing(HRESULT result) {
    return result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

Status failed(std::string_view what, HRESULT result) {
    auto code = static_cast<DWORD>(result);
    std::string reason = errorText(code);
    if (reason == "Error " + std::to_string(code) + ".") {
        char hex[32];
        std::snprintf(hex, sizeof hex, "Error 0x%08lX.", static_cast<unsigned long>(code));
        reason = hex;
    }
    return Status::failure(std::string(what) + ":\r\n" + reason);
}

// A connection to the local Task Scheduler service.
HRESULT connect(ComPtr<ITaskService>& service) {
    HRESULT result = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                        service.outVoid());
    if (FAILED(result)) return result;
    return service->Connect(notGiven(), notGiven(), notGiven(), notGiven());
}

HRESULT openFolder(ITaskService& service, std::string_view path, ComPtr<ITaskFolder>& folder) {
    return service.GetFolder(Bstr(path).get(), folder.out());
}

HRESULT openOrCreateFolder(ITaskService& service, std::string_view path, ComPtr<ITaskFolder>& folder) {
    HRESULT result = openFolder(service, path, folder);
    if (!isMissing(result)) return result;
    ComPtr<ITaskFolder> root;
    if (FAILED(result = openFolder(service, "\\", root))) return result;
    return root->CreateFolder(Bstr(path).get(), notGiven(), folder.out());
}

// Wine's service lists no folder's tasks (its collection counts nothing):
// their names are then read from the service's store, a file per task in
// System32\Tasks, where Windows keeps them too.
TaskList namesInStore(std::string_view folderPath) {
    wchar_t system[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {failed("The Windows system folder could not be found", HRESULT_FROM_WIN32(::GetLastError())), {}};
    std::wstring pattern = std::wstring(system, length) + L"\\Tasks" + widen(folderPath);
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW entry;
    FindHandle search(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0));
    TaskList list;
    if (!search) {
        DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            list.status = failed("The scheduled tasks could not be listed", HRESULT_FROM_WIN32(error));
        return list;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) list.names.push_back(narrow(entry.cFileName));
    } while (::FindNextFileW(search.get(), &entry));
    if (DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES)
        list.status = failed("The scheduled tasks could not be listed", HRESULT_FROM_WIN32(error));
    return list;
}

std::string descriptionOf(IRegisteredTask& task) {
    ComPtr<ITaskDefinition> definition;
    ComPtr<IRegistrationInfo> info;
    Bstr description;
    if (FAILED(task.get_Definition(definition.out())) || FAILED(definition->get_RegistrationInfo(info.out())) ||
        FAILED(info->get_Description(description.out())))
        return {};
    return description.utf8();
}

}  // namespace

Status Win32TaskScheduler::registerTask(std::string_view folderPath, std::string_view name, std::string_view xml) {
    const std::string what = "The task \"" + std::string(name) + "\" could not be registered";
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> folder;
    HRESULT result = connect(service);
    if (SUCCEEDED(result)) result = openOrCreateFolder(*service.get(), folderPath, folder);
    if (FAILED(result)) return failed(what, result);
    ComPtr<IRegisteredTask> registered;
    result = folder->RegisterTask(Bstr(name).get(), Bstr(xml).get(), TASK_CREATE_OR_UPDATE, notGiven(), notGiven(),
                                  TASK_LOGON_INTERACTIVE_TOKEN, notGiven(), registered.out());
    return FAILED(result) ? failed(what, result) : Status::success();
}

Status Win32TaskScheduler::removeTask(std::string_view folderPath, std::string_view name) {
    const std::string what = "The task \"" + std::string(name) + "\" could not be removed";
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> folder;
    HRESULT result = connect(service);
    if (SUCCEEDED(result)) result = openFolder(*service.get(), folderPath, folder);
    if (SUCCEEDED(result)) result = folder->DeleteTask(Bstr(name).get(), 0);
    return FAILED(result) ? failed(what, result) : Status::success();
}

TaskLookup Win32TaskScheduler::findTask(std::string_view folderPath, std::string_view name) {
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> folder;
    ComPtr<IRegisteredTask> task;
    Bstr registeredName;
    HRESULT result = connect(service);
    if (SUCCEEDED(result)) result = openFolder(*service.get(), folderPath, folder);
    if (SUCCEEDED(result)) result = folder->GetTask(Bstr(name).get(), task.out());
    if (isMissing(result)) return {};
    if (SUCCEEDED(result)) result = task->get_Name(registeredName.out());
    if (FAILED(result)) return {failed("The scheduled task \"" + std::string(name) + "\" could not be read", result), {}};
    return {Status::success(), ScheduledTask{registeredName.utf8(), descriptionOf(*task.get())}};
}

TaskList Win32TaskScheduler::listTasks(std::string_view folderPath) {
    const std::string what = "The scheduled tasks in \"" + std::string(folderPath) + "\" could not be listed";
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> folder;
    ComPtr<IRegisteredTaskCollection> tasks;
    LONG count = 0;
    HRESULT result = connect(service);
    if (SUCCEEDED(result)) result = openFolder(*service.get(), folderPath, folder);
    if (isMissing(result)) return {};
    if (SUCCEEDED(result)) result = folder->GetTasks(TASK_ENUM_HIDDEN, tasks.out());
    if (SUCCEEDED(result)) result = tasks->get_Count(&count);
    if (result == E_NOTIMPL) return namesInStore(folderPath);
    if (FAILED(result)) return {failed(what, result), {}};
    TaskList list;
    for (LONG index = 1; index <= count; ++index) {
        VARIANT item;
        ::VariantInit(&item);
        item.vt = VT_I4;
        item.lVal = index;
        ComPtr<IRegisteredTask> task;
        Bstr name;
        if (FAILED(result = tasks->get_Item(item, task.out())) || FAILED(result = task->get_Name(name.out())))
            return {failed(what, result), {}};
        list.names.push_back(name.utf8());
    }
    return list;
}

Status Win32TaskScheduler::removeFolder(std::string_view folderPath) {
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> root;
    HRESULT result = connect(service);
    if (SUCCEEDED(result)) result = openFolder(*service.get(), "\\", root);
    if (SUCCEEDED(result)) result = root->DeleteFolder(Bstr(folderPath).get(), 0);
    if (isMissing(result)) return Status::success();
    return FAILED(result) ? failed("The task folder \"" + std::string(folderPath) + "\" could not be removed", result)
                          : Status::success();
}

}  // namespace platform::win32
