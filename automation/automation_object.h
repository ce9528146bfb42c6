#pragma once

#include <memory>

#include "automation/dispatch_object.h"

namespace brenvik {

// Holds one reference to an automation object, or nothing. Moving hands the
// reference over and leaves the source empty; copying is not allowed, sharing
// goes through ShareObject. The destructor releases what is held.
class AutomationObject {
public:
    AutomationObject() = default;
    AutomationObject(AutomationObject&&) noexcept = default;
    AutomationObject& operator=(AutomationObject&&) noexcept = default;
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    bool IsEmpty() const { return !object_; }

    // For the facility and its back end only.
    const std::shared_ptr<DispatchObject>& Get() const { return object_; }
    void Reset(std::shared_ptr<DispatchObject> object) { object_ = std::move(object); }

private:
    std::shared_ptr<DispatchObject> object_;
};

}  // namespace brenvik
