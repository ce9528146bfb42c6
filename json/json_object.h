#pragma once

#include <cstdint>
#include <vector>

#include "automation/automation.h"
#include "common/text.h"

namespace brenvik {

// The kinds of value that GetType reports and Reset takes.
enum class JsonType : std::int32_t {
    TypeNull = 0,  // null, or no value at all
    TypeNumber = 2,
    TypeObject = 4,  // an object without a truthy `map` member
    TypeArray = 5,   // an array (or an object with a truthy `map` member)
    TypeString = 6,
    TypeOther = -1,  // true, false, a function, or a path that cannot be read
};

// A JSON document held as the global variable `varName` ("da") of a script
// engine of its own. Every operation joins a short JavaScript text from fixed
// pieces, `varName` and its arguments, and has the engine evaluate it; nothing
// throws and nothing is shown: a text the engine rejects gives the empty value
// of the result (empty text, 0, false) and changes nothing.
//
// Paths are spliced into the script unescaped: "tinyurl", "data.items",
// "list[2].name". Plain string values (`isJson` false) are quoted as script
// string literals and stored exactly; JSON values (`isJson` true) and the
// values of SetMemberRaw are script text that the engine runs as given.
//
// An instance and the copies made by Copy share one engine and one document.
// Each instance, constructed or copied, holds one automation initialisation of
// the calling thread, which Destroy (or the destructor) gives back. Move-only.
class JsonObject {
public:
    // varName "da", then Init: the document is an empty object.
    JsonObject();
    ~JsonObject();
    JsonObject(JsonObject&& other) noexcept;
    JsonObject& operator=(JsonObject&& other) noexcept;
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    // Gives up this instance's reference to the engine and its automation
    // initialisation. Safe to call again; the destructor calls it when needed.
    void Destroy();
    // A new instance on the same engine and document, with an initialisation of its own.
    JsonObject Copy() const;
    // Initialises automation, starts the engine, loads the library script and
    // declares an empty document. No failure is reported: without an engine
    // every later operation gives its empty value.
    void Init();

    // Loads `text` as JSON data (never run as script). True when the document
    // is then neither null nor undefined; a text that does not parse leaves the
    // document null, the one held before is gone.
    bool Parse(const Text& text);
    // The document as compact JSON text.
    Text ToText();
    // The document becomes an empty object.
    void Clear();

    void SetMember(const Text& path, const Text& value, bool isJson);
    // Stores the value of the script expression `value`.
    void SetMemberRaw(const Text& path, const Text& value);
    // Written with at most 13 significant digits; a number that is not finite changes nothing.
    void SetNumber(const Text& path, double number);
    // The member as a number; 0 when missing or not convertible.
    double GetNumber(const Text& path);
    Text GetMemberJson(const Text& path);
    // The value at `path` ("[" first reads an element of an array document;
    // empty reads the whole document): its text, or its JSON text with `asJson`.
    Text GetText(const Text& path, bool asJson);
    // A new, independent instance in an engine of its own holding a copy of the
    // value at `path` made through JSON text; the caller owns it.
    JsonObject GetMemberObject(const Text& path);
    // Members of an object or elements of an array at `path` (empty: the
    // document); -2 for a missing or null value, 0 when the path fails.
    std::int64_t GetCount(const Text& path);
    // Appends to the array at `path`, first replacing a value that is not an
    // array by an empty array; a missing or null value changes nothing.
    void AppendItem(const Text& value, const Text& path, bool isJson);
    JsonObject GetItemObject(std::int32_t index, const Text& path);
    Text GetItem(std::int32_t index, const Text& path, bool asJson);
    // Element `index` of the document itself.
    void SetItem(std::int32_t index, const Text& value, bool isJson);
    // Removes element `index` of the document itself; a negative index counts from the end.
    void RemoveItem(std::int32_t index);
    // TypeNull, TypeObject and TypeArray replace the document by null, {} or
    // []; any other code does nothing.
    void Reset(JsonType typeCode);
    void Assign(const Text& value, bool isJson);
    // True when the member exists and is neither null nor undefined.
    bool HasMember(const Text& path);
    // Replaces `names` by the names a for..in over the value at `path` yields,
    // which end with "toJSONString" and "parseJSON" for every object and array.
    void GetMemberNames(std::vector<Text>& names, const Text& path);
    JsonType GetType(const Text& path);

    AutomationObject engine;
    Text varName;

private:
    struct Uninitialised {};
    explicit JsonObject(Uninitialised) {}

    // The automation initialisations this instance has made and not yet undone.
    int initialisations_ = 0;
};

}  // namespace brenvik
