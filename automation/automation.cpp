#include "automation/automation.h"

#include <array>

#include "automation/class_registry.h"
#include "automation/name_match.h"
#include "automation/variant_conversion.h"
#include "common/code_page.h"

namespace brenvik {
namespace {

// No member of the system objects declares more; a longer call fails anyway.
constexpr std::size_t kMaxArguments = 8;

// Finds `name` as a member of the given kind and runs it. False on any failure.
bool Invoke(const AutomationObject& holder, const Text& name, MemberKind kind,
            std::span<const Argument> args, Variant& result) noexcept {
    try {
        const std::shared_ptr<DispatchObject>& object = holder.Get();
        if (!object) return false;
        const MemberInfo* member = nullptr;
        for (const MemberInfo& m : object->Members()) {
            if (m.kind == kind && EqualsIgnoringCase(m.name, name.view())) {
                member = &m;
                break;
            }
        }
        if (!member) return false;

        std::size_t count = args.size();
        while (count > 0 && args[count - 1].IsOmitted()) --count;
        if (count > static_cast<std::size_t>(member->maxArguments) || count > kMaxArguments)
            return false;
        std::array<Variant, kMaxArguments> converted;
        for (std::size_t i = 0; i < count; ++i) {
            if (!args[i].ToVariant(converted[i])) return false;
        }
        // Keep the object alive through the call even if the call releases the holder.
        std::shared_ptr<DispatchObject> keep = object;
        return keep->Invoke(member->id, std::span<const Variant>(converted.data(), count), result);
    } catch (...) {
        return false;
    }
}

template <typename Result>
Result Convert(bool ok, const Variant& value) {
    if constexpr (std::is_same_v<Result, void>) {
        (void)ok, (void)value;
    } else if constexpr (std::is_same_v<Result, Variant>) {
        return ok ? value : Variant();
    } else if constexpr (std::is_same_v<Result, Text>) {
        Text text;
        if (!ok || !VariantToText(value, text)) return Text();
        return text;
    } else if constexpr (std::is_same_v<Result, double>) {
        double number = 0;
        if (!ok || !VariantToNumber(value, number)) return 0;
        return number;
    } else {
        bool flag = false;
        if (!ok || !VariantToBoolean(value, flag)) return false;
        return flag;
    }
}

}  // namespace

bool Argument::ToVariant(Variant& out) const {
    switch (kind_) {
        case Kind::Text: out = Variant(TextToUnicode(*text_)); return true;
        case Kind::Chars: out = Variant(TextToUnicode(Text(chars_))); return true;
        case Kind::Int32: out = Variant(int_); return true;
        case Kind::Boolean: out = Variant(bool_); return true;
        case Kind::Variant: out = *variant_; return true;
        case Kind::Omitted: out = Variant::Missing(); return true;
        case Kind::Unsupported: return false;
    }
    return false;
}

bool CreateObject(AutomationObject& holder, const Text& identifier) {
    try {
        if (!IsAutomationInitialized()) return false;
        ObjectFactory factory = ClassRegistry::Instance().Find(identifier.view());
        if (!factory) return false;
        std::shared_ptr<DispatchObject> object = factory();
        if (!object || !object->Run()) return false;
        holder.Reset(std::move(object));
        return true;
    } catch (...) {
        return false;
    }
}

void ClearObject(AutomationObject& holder) { holder.Reset(nullptr); }

void ShareObject(AutomationObject& destination, const AutomationObject& source) {
    destination.Reset(source.Get());
}

template <typename Result>
Result CallMethod(AutomationObject& holder, const Text& member, Arguments args) {
    Variant result;
    bool ok =
        Invoke(holder, member, MemberKind::Method, std::span(args.begin(), args.size()), result);
    return Convert<Result>(ok, result);
}

template void CallMethod<void>(AutomationObject&, const Text&, Arguments);
template Variant CallMethod<Variant>(AutomationObject&, const Text&, Arguments);
template Text CallMethod<Text>(AutomationObject&, const Text&, Arguments);
template double CallMethod<double>(AutomationObject&, const Text&, Arguments);
template bool CallMethod<bool>(AutomationObject&, const Text&, Arguments);

Variant GetProperty(AutomationObject& holder, const Text& property) {
    Variant result;
    bool ok = Invoke(holder, property, MemberKind::PropertyGet, {}, result);
    return ok ? result : Variant();
}

bool SetProperty(AutomationObject& holder, const Text& property, const Argument& value) {
    Variant ignored;
    return Invoke(holder, property, MemberKind::PropertyPut, std::span(&value, 1), ignored);
}

void ClearVariant(Variant& variant) { variant.Clear(); }

void BytesToVariant(Variant& variant, const Bytes& bytes) { variant = Variant(bytes); }

Bytes VariantToBytes(const Variant& variant) {
    switch (variant.Type()) {
        case VariantType::ByteArray: return variant.AsByteArray();
        case VariantType::String: {
            const std::u16string& s = variant.AsString();
            Bytes bytes;
            bytes.reserve(s.size() * 2);
            for (char16_t c : s) {
                bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(c >> 8));
            }
            return bytes;
        }
        default: return {};
    }
}

}  // namespace brenvik
