#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "automation/dispatch_object.h"

namespace brenvik {

using ObjectFactory = std::function<std::shared_ptr<DispatchObject>()>;

// Maps identifiers to the factories of object classes: a programmatic identifier
// ("Adodb.Stream"), compared without regard to case, or a class identifier in
// registry form ("{...}"), compared the same way. The system objects are
// registered the first time the registry is used.
class ClassRegistry {
public:
    static ClassRegistry& Instance();

    // Adds a class, or replaces the one already under `progId`.
    void Register(std::string progId, std::string classId, ObjectFactory factory);
    // Removes the class found under `identifier`; false when there is none.
    bool Unregister(std::string_view identifier);
    // Puts back exactly the system objects.
    void RestoreDefaults();

    // The factory for `identifier`, or an empty function.
    ObjectFactory Find(std::string_view identifier) const;

private:
    struct Entry {
        std::string progId;
        std::string classId;
        ObjectFactory factory;
    };
    ClassRegistry();
    std::vector<Entry>::const_iterator Lookup(std::string_view identifier) const;

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

// Registers the three system objects (defined next to their classes).
void RegisterSystemObjects(ClassRegistry& registry);

}  // namespace brenvik
