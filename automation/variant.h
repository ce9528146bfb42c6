#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "common/bytes.h"

namespace brenvik {

class DispatchObject;

enum class VariantType {
    Empty,    // no value at all
    Null,     // an explicit null; converts to nothing
    Missing,  // an argument the caller left out before a given one
    Boolean,
    Int32,
    Double,
    String,     // Unicode (UTF-16), as the platform's strings are
    ByteArray,  // one-dimensional array of unsigned bytes
    Object,     // a reference to an automation object
};

// The automation variant: a tagged value owned by its holder. Copying copies the
// value (an object variant then holds one more reference to the same object).
class Variant {
public:
    Variant() = default;
    static Variant Null() { return Variant(NullTag{}); }
    static Variant Missing() { return Variant(MissingTag{}); }
    explicit Variant(bool b) : value_(b) {}
    explicit Variant(std::int32_t i) : value_(i) {}
    explicit Variant(double d) : value_(d) {}
    explicit Variant(std::u16string s) : value_(std::move(s)) {}
    // Without these a string literal would silently become a boolean.
    explicit Variant(const char16_t* s) : value_(std::u16string(s)) {}
    Variant(const char*) = delete;
    explicit Variant(Bytes bytes) : value_(std::move(bytes)) {}
    explicit Variant(std::shared_ptr<DispatchObject> object) : value_(std::move(object)) {}

    VariantType Type() const { return static_cast<VariantType>(value_.index()); }
    bool IsEmpty() const { return Type() == VariantType::Empty; }

    // Accessors; each requires the matching Type().
    bool AsBoolean() const { return std::get<bool>(value_); }
    std::int32_t AsInt32() const { return std::get<std::int32_t>(value_); }
    double AsDouble() const { return std::get<double>(value_); }
    const std::u16string& AsString() const { return std::get<std::u16string>(value_); }
    const Bytes& AsByteArray() const { return std::get<Bytes>(value_); }
    const std::shared_ptr<DispatchObject>& AsObject() const {
        return std::get<std::shared_ptr<DispatchObject>>(value_);
    }

    void Clear() { value_ = std::monostate{}; }

private:
    struct NullTag {};
    struct MissingTag {};
    explicit Variant(NullTag) : value_(NullTag{}) {}
    explicit Variant(MissingTag) : value_(MissingTag{}) {}

    // Alternatives in the order of VariantType.
    std::variant<std::monostate, NullTag, MissingTag, bool, std::int32_t, double, std::u16string,
                 Bytes, std::shared_ptr<DispatchObject>>
        value_;
};

}  // namespace brenvik
