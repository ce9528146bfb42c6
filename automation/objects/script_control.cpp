#include "automation/objects/script_control.h"

#include <duktape.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

#include "automation/name_match.h"
#include "common/utf8.h"

namespace brenvik {
namespace {

enum Member { kGetLanguage, kPutLanguage, kAddCode, kEval };

constexpr MemberInfo kMembers[] = {
    {"Language", MemberKind::PropertyGet, 0, kGetLanguage},
    {"Language", MemberKind::PropertyPut, 1, kPutLanguage},
    {"AddCode", MemberKind::Method, 1, kAddCode},
    {"Eval", MemberKind::Method, 1, kEval},
};

// Duktape allocates through these so that each heap keeps to its budget. Every
// block carries its size in front of it.
struct HeapBudget {
    std::size_t used = 0;
    std::size_t limit = kScriptHeapLimit;
};
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(void* udata, duk_size_t size) {
    auto* budget = static_cast<HeapBudget*>(udata);
    if (size > budget->limit - budget->used) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    budget->used += size;
    return block + kHeader;
}

void Free(void* udata, void* ptr) {
    if (!ptr) return;
    auto* block = static_cast<unsigned char*>(ptr) - kHeader;
    std::size_t size;
    std::memcpy(&size, block, sizeof size);
    static_cast<HeapBudget*>(udata)->used -= size;
    std::free(block);
}

void* Reallocate(void* udata, void* ptr, duk_size_t size) {
    if (!ptr) return Allocate(udata, size);
    if (size == 0) {
        Free(udata, ptr);
        return nullptr;
    }
    auto* budget = static_cast<HeapBudget*>(udata);
    auto* block = static_cast<unsigned char*>(ptr) - kHeader;
    std::size_t old;
    std::memcpy(&old, block, sizeof old);
    if (size > old && size - old > budget->limit - budget->used) return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(block, size + kHeader));
    if (!grown) return nullptr;
    std::memcpy(grown, &size, sizeof size);
    budget->used = budget->used - old + size;
    return grown + kHeader;
}

[[noreturn]] void Fatal(void*, const char* message) {
    std::fprintf(stderr, "script engine: fatal error: %s\n", message ? message : "");
    std::abort();
}

// Coerces the value on top of the stack to a string inside a protected call, so
// that a throwing toString fails the call instead of escaping.
duk_ret_t CoerceToString(duk_context* ctx, void*) {
    duk_to_string(ctx, -1);
    return 1;
}

// Compiling a large script costs several times more than the rest of making an
// engine ready, and every new engine is given the same library script. So the
// bytecode of each large program is kept (per process, in memory only: it is
// never read from outside) and later engines load it instead of compiling.
class ProgramCache {
public:
    static constexpr std::size_t kMinSourceBytes = 2048;
    static constexpr std::size_t kMaxEntries = 8;

    // Pushes the compiled program for `source` onto the stack; false (with the
    // stack as it was) when the source does not compile.
    bool PushCompiled(duk_context* ctx, const std::string& source) {
        if (source.size() < kMinSourceBytes) {
            return duk_pcompile_lstring(ctx, 0, source.data(), source.size()) == 0;
        }
        {
            std::lock_guard lock(mutex_);
            for (const auto& [text, bytecode] : entries_) {
                if (text == source) {
                    void* buffer = duk_push_fixed_buffer(ctx, bytecode.size());
                    std::memcpy(buffer, bytecode.data(), bytecode.size());
                    duk_load_function(ctx);
                    return true;
                }
            }
        }
        if (duk_pcompile_lstring(ctx, 0, source.data(), source.size()) != 0) return false;
        duk_dup_top(ctx);
        duk_dump_function(ctx);
        duk_size_t size = 0;
        const auto* data = static_cast<const char*>(duk_get_buffer(ctx, -1, &size));
        std::string bytecode(data, size);
        duk_pop(ctx);
        std::lock_guard lock(mutex_);
        if (entries_.size() == kMaxEntries) entries_.pop_front();
        entries_.emplace_back(source, std::move(bytecode));
        return true;
    }

private:
    std::mutex mutex_;
    std::deque<std::pair<std::string, std::string>> entries_;
};

ProgramCache& Programs() {
    static ProgramCache cache;
    return cache;
}

class ScriptControl final : public DispatchObject {
public:
    ScriptControl() { ctx_ = duk_create_heap(Allocate, Reallocate, Free, &budget_, Fatal); }
    ~ScriptControl() override {
        if (ctx_) duk_destroy_heap(ctx_);
    }
    ScriptControl(const ScriptControl&) = delete;
    ScriptControl& operator=(const ScriptControl&) = delete;

    std::span<const MemberInfo> Members() const override { return kMembers; }
    bool Run() override { return ctx_ != nullptr; }

    bool Invoke(int id, std::span<const Variant> args, Variant& result) override {
        switch (id) {
            case kGetLanguage: result = Variant(std::u16string(language_)); return true;
            case kPutLanguage: {
                if (args[0].Type() != VariantType::String) return false;
                std::string name = UnicodeToUtf8(args[0].AsString());
                if (!EqualsIgnoringCase(name, "JavaScript") && !EqualsIgnoringCase(name, "JScript"))
                    return false;
                language_ = u"JScript";
                return true;
            }
            case kAddCode: return Run(args, /*wantValue=*/false, result);
            case kEval: return Run(args, /*wantValue=*/true, result);
        }
        return false;
    }

private:
    // AddCode compiles the text as a global program; Eval as global eval code,
    // whose completion value (the last expression statement run) comes back.
    bool Run(std::span<const Variant> args, bool wantValue, Variant& result) {
        if (language_.empty() || args.empty() || args[0].Type() != VariantType::String)
            return false;
        const std::string source = UnicodeToUtf8(args[0].AsString());
        duk_idx_t top = duk_get_top(ctx_);
        bool ok;
        if (wantValue) {
            ok = duk_peval_lstring(ctx_, source.data(), source.size()) == 0;
        } else {
            ok = Programs().PushCompiled(ctx_, source) && duk_pcall(ctx_, 0) == 0;
        }
        if (ok && wantValue) ok = TakeValue(result);
        duk_set_top(ctx_, top);
        return ok;
    }

    bool TakeValue(Variant& result) {
        switch (duk_get_type(ctx_, -1)) {
            case DUK_TYPE_UNDEFINED: result = Variant(); return true;
            case DUK_TYPE_NULL: result = Variant::Null(); return true;
            case DUK_TYPE_BOOLEAN: result = Variant(duk_get_boolean(ctx_, -1) != 0); return true;
            case DUK_TYPE_NUMBER:
                result = Variant(static_cast<double>(duk_get_number(ctx_, -1)));
                return true;
            case DUK_TYPE_STRING: break;
            default:
                if (duk_safe_call(ctx_, CoerceToString, nullptr, 1, 1) != 0) return false;
                break;
        }
        duk_size_t length = 0;
        const char* s = duk_get_lstring(ctx_, -1, &length);
        result = Variant(Utf8ToUnicode(std::string_view(s, length)));
        return true;
    }

    HeapBudget budget_;
    duk_context* ctx_ = nullptr;
    std::u16string language_;
};

}  // namespace

std::shared_ptr<DispatchObject> MakeScriptControl() { return std::make_shared<ScriptControl>(); }

}  // namespace brenvik
