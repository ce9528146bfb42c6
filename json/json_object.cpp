#include "json/json_object.h"

#include <charconv>
#include <cmath>
#include <string>
#include <utility>

#include "common/text_helpers.h"
#include "json/library_script.h"
#include "json/script_literal.h"

namespace brenvik {
namespace {

constexpr const char* kEngineId = "MSScriptControl.ScriptControl";

// "%d": decimal digits, "-" first when negative.
Text IndexText(std::int32_t index) { return Text(std::string_view(std::to_string(index))); }

// "%.13g" in the C locale whatever the process locale is: at most 13
// significant digits, no trailing zeros. Infinities and NaN give "inf" and
// "nan", which the engine rejects as unknown names.
Text NumberText(double number) {
    char buffer[40];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 13);
    return Text(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

// A plain string as a quoted literal, or JSON / script text as it stands.
Text ValueExpression(const Text& value, bool isJson) {
    return isJson ? value : ScriptStringLiteral(value);
}

bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace

JsonObject::JsonObject() {
    varName = "da";
    Init();
}

JsonObject::~JsonObject() { Destroy(); }

JsonObject::JsonObject(JsonObject&& other) noexcept
    : engine(std::move(other.engine)),
      varName(std::move(other.varName)),
      initialisations_(std::exchange(other.initialisations_, 0)) {
    other.varName = Text();
}

JsonObject& JsonObject::operator=(JsonObject&& other) noexcept {
    if (this != &other) {
        Destroy();
        engine = std::move(other.engine);
        varName = std::exchange(other.varName, Text());
        initialisations_ = std::exchange(other.initialisations_, 0);
    }
    return *this;
}

void JsonObject::Destroy() {
    ClearObject(engine);
    for (; initialisations_ > 0; --initialisations_) CoUninitialize();
    varName = Text();
}

JsonObject JsonObject::Copy() const {
    JsonObject copy{Uninitialised{}};
    CoInitialize(nullptr);
    ++copy.initialisations_;
    ShareObject(copy.engine, engine);
    copy.varName = varName;
    return copy;
}

void JsonObject::Init() {
    CoInitialize(nullptr);
    ++initialisations_;
    CreateObject(engine, kEngineId);
    SetProperty(engine, "Language", "JavaScript");
    CallMethod<double>(engine, "AddCode", {libraryScript});
    CallMethod<double>(engine, "Eval", {Join("var ", varName, "={}")});
}

bool JsonObject::Parse(const Text& text) {
    CallMethod<double>(engine, "Eval", {Join("var ", varName, "=null")});
    // The text goes in as a string value and is read by JSON.parse: nothing
    // in it runs, whoever sent it.
    CallMethod<double>(engine, "AddCode",
                       {Join("var ", varName, "=JSON.parse(", ScriptStringLiteral(text), ")")});
    return CallMethod<bool>(engine, "Eval", {Join("null !=", varName)});
}

Text JsonObject::ToText() {
    return CallMethod<Text>(engine, "Eval", {Join("JSON.stringify(", varName, ")")});
}

void JsonObject::Clear() { CallMethod<void>(engine, "Eval", {Join(varName, "={}")}); }

namespace {

Text DottedPath(const Text& varName, const Text& path) { return Join(varName, ".", path); }

// An empty path reads the whole document; "[" first indexes it.
Text BracketAwarePath(const Text& varName, const Text& path) {
    if (path.IsEmpty() || path.view().front() == '[') return Join(varName, path);
    return Join(varName, ".", path);
}

Text OptionalPath(const Text& varName, const Text& path) {
    if (path.IsEmpty()) return varName;
    return Join(varName, ".", path);
}

}  // namespace

void JsonObject::SetMember(const Text& path, const Text& value, bool isJson) {
    const Text p = DottedPath(varName, path);
    if (isJson) {
        const Text json = value.IsEmpty() ? Text("{}") : value;
        CallMethod<void>(engine, "Eval", {Join(p, "= eval(", json, ")")});
    } else {
        CallMethod<void>(engine, "Eval", {Join(p, "=", ScriptStringLiteral(value))});
    }
}

void JsonObject::SetMemberRaw(const Text& path, const Text& value) {
    CallMethod<void>(engine, "Eval", {Join(DottedPath(varName, path), "=", value)});
}

void JsonObject::SetNumber(const Text& path, double number) {
    CallMethod<void>(engine, "Eval", {Join(DottedPath(varName, path), "=", NumberText(number))});
}

double JsonObject::GetNumber(const Text& path) {
    return CallMethod<double>(engine, "Eval", {DottedPath(varName, path)});
}

Text JsonObject::GetMemberJson(const Text& path) {
    return CallMethod<Text>(engine, "Eval",
                            {Join("JSON.stringify(", DottedPath(varName, path), ")")});
}

Text JsonObject::GetText(const Text& path, bool asJson) {
    const Text p = BracketAwarePath(varName, path);
    return CallMethod<Text>(engine, "Eval", {asJson ? Join("JSON.stringify(", p, ")") : p});
}

namespace {

// A new instance in an engine of its own, holding the document that the JSON
// text `json` describes (no value for an empty text). The temporary owner
// hands its engine to a copy and is destroyed, so exactly one automation
// initialisation stays with the result.
JsonObject ReadIntoNewObject(const Text& json) {
    JsonObject temporary;
    temporary.Parse(json);
    JsonObject result = temporary.Copy();
    temporary.Destroy();
    return result;
}

}  // namespace

JsonObject JsonObject::GetMemberObject(const Text& path) {
    const Text p = BracketAwarePath(varName, path);
    return ReadIntoNewObject(CallMethod<Text>(engine, "Eval", {Join("JSON.stringify(", p, ")")}));
}

std::int64_t JsonObject::GetCount(const Text& path) {
    const double count =
        CallMethod<double>(engine, "Eval", {Join("get__count(", OptionalPath(varName, path), ")")});
    // A count is far inside the range; anything else (NaN from a redefined
    // get__count) gives 0 rather than an undefined conversion.
    if (!(std::fabs(count) < 9.0e18)) return 0;
    return static_cast<std::int64_t>(count);
}

void JsonObject::AppendItem(const Text& value, const Text& path, bool isJson) {
    const Text p = OptionalPath(varName, path);
    CallMethod<void>(
        engine, "Eval",
        {Join("if(!", p, ".map){", p, "=[]} ", p, ".push(", ValueExpression(value, isJson), ")")});
}

JsonObject JsonObject::GetItemObject(std::int32_t index, const Text& path) {
    const Text p = OptionalPath(varName, path);
    return ReadIntoNewObject(CallMethod<Text>(
        engine, "Eval", {Join("JSON.stringify(", p, "[", IndexText(index), "])")}));
}

Text JsonObject::GetItem(std::int32_t index, const Text& path, bool asJson) {
    const Text item = Join(OptionalPath(varName, path), "[", IndexText(index), "]");
    return CallMethod<Text>(engine, "Eval", {asJson ? Join("JSON.stringify(", item, ")") : item});
}

void JsonObject::SetItem(std::int32_t index, const Text& value, bool isJson) {
    CallMethod<void>(engine, "Eval",
                     {Join(varName, "[", IndexText(index), "]=", ValueExpression(value, isJson))});
}

void JsonObject::RemoveItem(std::int32_t index) {
    CallMethod<void>(engine, "Eval", {Join(varName, ".splice(", IndexText(index), ",1)")});
}

void JsonObject::Reset(JsonType typeCode) {
    const char* initial = nullptr;
    switch (typeCode) {
        case JsonType::TypeNull: initial = "=null"; break;
        case JsonType::TypeObject: initial = "={}"; break;
        case JsonType::TypeArray: initial = "=new Array()"; break;
        default: return;
    }
    CallMethod<double>(engine, "Eval", {Join("var ", varName, initial)});
}

void JsonObject::Assign(const Text& value, bool isJson) {
    CallMethod<bool>(engine, "Eval", {Join(varName, "=", ValueExpression(value, isJson))});
}

bool JsonObject::HasMember(const Text& path) {
    return CallMethod<bool>(engine, "Eval", {Join(DottedPath(varName, path), " !=null")});
}

void JsonObject::GetMemberNames(std::vector<Text>& names, const Text& path) {
    const Text list =
        CallMethod<Text>(engine, "Eval",
                         {Join("var ary=''; for (var key in ", OptionalPath(varName, path),
                               ") {ary=ary+ key+','; }")});
    Variant released = CallMethod<Variant>(engine, "Eval", {"ary=null"});
    ClearVariant(released);

    // Every piece before a comma is an entry, empty ones too; the rest after
    // the last comma only when it is not empty. A double-byte character is
    // stepped over whole.
    std::vector<Text> entries;
    const std::string_view bytes = list.view();
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size()) {
            ++i;
        } else if (bytes[i] == ',') {
            entries.emplace_back(bytes.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < bytes.size()) entries.emplace_back(bytes.substr(start));
    names = std::move(entries);
}

JsonType JsonObject::GetType(const Text& path) {
    const Text p = OptionalPath(varName, path);
    if (CallMethod<bool>(engine, "Eval", {Join(p, "==null")})) return JsonType::TypeNull;
    const Text kind = CallMethod<Text>(engine, "Eval", {Join("typeof (", p, ")")});
    if (CompareTexts(kind, "string") == 0) return JsonType::TypeString;
    if (CompareTexts(kind, "object") == 0) {
        return CallMethod<bool>(engine, "Eval", {Join("!", p, ".map")}) ? JsonType::TypeObject
                                                                        : JsonType::TypeArray;
    }
    if (CompareTexts(kind, "number") == 0) return JsonType::TypeNumber;
    return JsonType::TypeOther;
}

}  // namespace brenvik
