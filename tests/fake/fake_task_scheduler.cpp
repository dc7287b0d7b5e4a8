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

}  // namespace fake
