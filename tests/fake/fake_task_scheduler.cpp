#include "fake_task_scheduler.h"

#include <pugixml.hpp>

#include <algorithm>

namespace fake {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::string pathOf(std::string_view folder, std::string_view name) {
    return std::string(folder) + (folder.ends_with('\\') ? "" : "\\") + std::string(name);
}

}  // namespace

bool IgnoringCase::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return lowerAscii(x) < lowerAscii(y); });
}

platform::Status FakeTaskScheduler::registerTask(std::string_view folder, std::string_view name,
                                                 std::string_view xml) {
    if (failure) return platform::Status::failure(*failure);
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size()) || !document.child("Task"))
        return platform::Status::failure("The task XML is malformed.");
    tasks[pathOf(folder, name)] = std::string(xml);
    return platform::Status::success();
}

platform::Status FakeTaskScheduler::removeTask(std::string_view folder, std::string_view name) {
    if (failure) return platform::Status::failure(*failure);
    if (tasks.erase(pathOf(folder, name)) == 0) return platform::Status::failure("The system cannot find the file specified.");
    return platform::Status::success();
}

platform::TaskLookup FakeTaskScheduler::findTask(std::string_view folder, std::string_view name) {
    if (failure) return {platform::Status::failure(*failure), {}};
    auto found = tasks.find(pathOf(folder, name));
    if (found == tasks.end()) return {};
    pugi::xml_document document;
    document.load_string(found->second.c_str());
    return {platform::Status::success(),
            platform::ScheduledTask{std::string(name),
                                    document.child("Task").child("RegistrationInfo").child_value("Description")}};
}

platform::TaskList FakeTaskScheduler::listTasks(std::string_view folder) {
    if (failure) return {platform::Status::failure(*failure), {}};
    const std::string prefix = pathOf(folder, "");
    platform::TaskList list;
    for (const auto& [path, xml] : tasks) {
        if (path.size() <= prefix.size() || !equalIgnoringCase(std::string_view(path).substr(0, prefix.size()), prefix))
            continue;
        if (std::string name = path.substr(prefix.size()); name.find('\\') == std::string::npos)
            list.names.push_back(std::move(name));
    }
    return list;
}

platform::Status FakeTaskScheduler::removeFolder(std::string_view folder) {
    if (failure) return platform::Status::failure(*failure);
    if (!listTasks(folder).names.empty()) return platform::Status::failure("The directory is not empty.");
    return platform::Status::success();
}

}  // namespace fake
