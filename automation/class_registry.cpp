#include "automation/class_registry.h"

#include <algorithm>

#include "automation/name_match.h"

namespace brenvik {

ClassRegistry& ClassRegistry::Instance() {
    static ClassRegistry registry;
    return registry;
}

ClassRegistry::ClassRegistry() { RegisterSystemObjects(*this); }

void ClassRegistry::Register(std::string progId, std::string classId, ObjectFactory factory) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return EqualsIgnoringCase(e.progId, progId); });
    if (it != entries_.end()) entries_.erase(it);
    entries_.push_back({std::move(progId), std::move(classId), std::move(factory)});
}

bool ClassRegistry::Unregister(std::string_view identifier) {
    std::lock_guard lock(mutex_);
    auto it = Lookup(identifier);
    if (it == entries_.end()) return false;
    entries_.erase(it);
    return true;
}

void ClassRegistry::RestoreDefaults() {
    {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }
    RegisterSystemObjects(*this);
}

ObjectFactory ClassRegistry::Find(std::string_view identifier) const {
    std::lock_guard lock(mutex_);
    auto it = Lookup(identifier);
    return it == entries_.end() ? ObjectFactory() : it->factory;
}

std::vector<ClassRegistry::Entry>::const_iterator ClassRegistry::Lookup(
    std::string_view identifier) const {
    const bool isClassId = !identifier.empty() && identifier.front() == '{';
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return EqualsIgnoringCase(isClassId ? e.classId : e.progId, identifier);
    });
}

}  // namespace brenvik
