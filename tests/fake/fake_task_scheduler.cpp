#include "fake_task_scheduler.h"

#include <pugixml.hpp>

namespace fake {
namespace {

std::string pathOf(std::string_view folder, std::string_view name) {
    return std::string(folder) + "\\" + std::string(name);
}

}  // namespace

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

platform::ScheduledTasks FakeTaskScheduler::tasksIn(std::string_view folder) {
    if (failure) return {platform::Status::failure(*failure), {}};
    platform::ScheduledTasks listed;
    std::string prefix = std::string(folder) + "\\";
    for (const auto& [path, xml] : tasks) {
        if (!path.starts_with(prefix)) continue;
        pugi::xml_document document;
        document.load_buffer(xml.data(), xml.size());
        listed.tasks.push_back({path.substr(prefix.size()),
                                document.child("Task").child("RegistrationInfo").child_value("Description")});
    }
    return listed;
}

}  // namespace fake
