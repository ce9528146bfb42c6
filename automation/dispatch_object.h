#pragma once

#include <span>

#include "automation/variant.h"

namespace brenvik {

enum class MemberKind { Method, PropertyGet, PropertyPut };

// One member an object class declares. `maxArguments` counts what a caller may
// pass; a property write receives exactly the written value.
struct MemberInfo {
    const char* name;  // ASCII, matched without regard to case
    MemberKind kind;
    int maxArguments;
    int id;  // handed back to Invoke
};

// The object side of the in-process automation: what a system object class
// implements. Callers never see this; they go through the facility in automation.h.
class DispatchObject {
public:
    virtual ~DispatchObject() = default;

    // The member table of the class, the same for every instance.
    virtual std::span<const MemberInfo> Members() const = 0;

    // Runs member `id`. `args` holds between 0 and maxArguments values in order,
    // Missing where the caller left one out. Returns false when the object raises
    // an error; `result` is then ignored.
    virtual bool Invoke(int id, std::span<const Variant> args, Variant& result) = 0;

    // Puts a new object into its running state; false makes the creation fail.
    virtual bool Run() { return true; }
};

}  // namespace brenvik
