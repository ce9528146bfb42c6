#pragma once

#include <cstdint>
#include <initializer_list>

#include "automation/automation_object.h"
#include "automation/com_init.h"
#include "automation/variant.h"
#include "common/bytes.h"
#include "common/text.h"

namespace brenvik {

// The system's automation facility: create objects by identifier, call their
// members by name, carry bytes in variants. Every call is made on the thread
// that created the object. No call throws: a failure gives the empty value of
// the result kind asked for (nothing, an empty Variant, the empty text, 0,
// false), and nothing is shown.

// Marks an argument the caller leaves out.
struct Omitted {};
inline constexpr Omitted omitted{};

// One argument of a member call; it refers to the caller's value, which must
// outlive the call (temporaries in the call expression do).
class Argument {
public:
    Argument(const Text& text) : kind_(Kind::Text), text_(&text) {}
    Argument(const char* text) : kind_(Kind::Chars), chars_(text) {}
    Argument(std::int32_t number) : kind_(Kind::Int32), int_(number) {}
    Argument(bool flag) : kind_(Kind::Boolean), bool_(flag) {}
    Argument(const Variant& variant) : kind_(Kind::Variant), variant_(&variant) {}
    Argument(Omitted) : kind_(Kind::Omitted) {}
    // Bytes cannot be passed: they go in a Variant made by BytesToVariant.
    Argument(const Bytes&) : kind_(Kind::Unsupported) {}

    bool IsOmitted() const { return kind_ == Kind::Omitted; }

    // The value as the member receives it; false when it cannot be passed.
    bool ToVariant(Variant& out) const;

private:
    enum class Kind { Text, Chars, Int32, Boolean, Variant, Omitted, Unsupported };
    Kind kind_;
    union {
        const Text* text_;
        const char* chars_;
        std::int32_t int_;
        bool bool_;
        const Variant* variant_;
    };
};

using Arguments = std::initializer_list<Argument>;

// Creates the object named by `identifier` (a programmatic identifier, or a
// class identifier beginning with "{") into `holder`, releasing what it held.
// On failure the holder is left as it was and the result is false.
bool CreateObject(AutomationObject& holder, const Text& identifier);
// Releases the held reference, if any; the holder becomes empty.
void ClearObject(AutomationObject& holder);
// Makes `destination` hold `source`'s object with a reference of its own
// (nothing when `source` is empty). For a freshly made, empty destination.
void ShareObject(AutomationObject& destination, const AutomationObject& source);

// Calls the method `member`; Result is the kind asked for: void, Variant, Text,
// double or bool. Trailing omitted arguments are dropped; one before a given
// argument reaches the member as missing.
template <typename Result = void>
Result CallMethod(AutomationObject& holder, const Text& member, Arguments args = {});

// A new Variant with the property's value; empty on any failure.
Variant GetProperty(AutomationObject& holder, const Text& property);
// Writes the property; false when the write failed.
bool SetProperty(AutomationObject& holder, const Text& property, const Argument& value);

void ClearVariant(Variant& variant);
// Replaces the content with a byte array holding a copy of `bytes`.
void BytesToVariant(Variant& variant, const Bytes& bytes);
// All bytes of a byte-array variant. A string is first converted as the
// platform does (its UTF-16 code units, little-endian); anything else gives
// empty Bytes.
Bytes VariantToBytes(const Variant& variant);

extern template void CallMethod<void>(AutomationObject&, const Text&, Arguments);
extern template Variant CallMethod<Variant>(AutomationObject&, const Text&, Arguments);
extern template Text CallMethod<Text>(AutomationObject&, const Text&, Arguments);
extern template double CallMethod<double>(AutomationObject&, const Text&, Arguments);
extern template bool CallMethod<bool>(AutomationObject&, const Text&, Arguments);

}  // namespace brenvik
