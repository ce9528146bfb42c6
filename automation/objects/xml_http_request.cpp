#include "automation/objects/xml_http_request.h"

#include <curl/curl.h>

#include <atomic>
#include <mutex>
#include <string>

#include "automation/name_match.h"
#include "common/utf8.h"

namespace brenvik {
namespace {

std::mutex limitsMutex;
XmlHttpLimits currentLimits;

XmlHttpLimits Limits() {
    std::lock_guard lock(limitsMutex);
    return currentLimits;
}

enum Member { kOpen, kSetRequestHeader, kSend, kResponseBody };

constexpr MemberInfo kMembers[] = {
    {"open", MemberKind::Method, 5, kOpen},
    {"SetRequestHeader", MemberKind::Method, 2, kSetRequestHeader},
    {"send", MemberKind::Method, 1, kSend},
    {"responseBody", MemberKind::PropertyGet, 0, kResponseBody},
};

bool IsText(const Variant& v) { return v.Type() == VariantType::String; }

class XmlHttpRequest final : public DispatchObject {
public:
    XmlHttpRequest() {
        static std::once_flag global;
        std::call_once(global, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
        curl_ = curl_easy_init();
    }
    ~XmlHttpRequest() override {
        if (headers_) curl_slist_free_all(headers_);
        if (curl_) curl_easy_cleanup(curl_);
    }
    XmlHttpRequest(const XmlHttpRequest&) = delete;
    XmlHttpRequest& operator=(const XmlHttpRequest&) = delete;

    std::span<const MemberInfo> Members() const override { return kMembers; }
    bool Run() override { return curl_ != nullptr; }

    bool Invoke(int id, std::span<const Variant> args, Variant& result) override {
        switch (id) {
            case kOpen: return Open(args);
            case kSetRequestHeader: return SetRequestHeader(args);
            case kSend: return Send(args);
            case kResponseBody: result = Variant(response_); return true;
        }
        return false;
    }

private:
    // open(method, url, async, user, password): prepares a fresh request.
    // Only synchronous requests are supported; an asynchronous one is refused.
    bool Open(std::span<const Variant> args) {
        if (args.size() < 2 || !IsText(args[0]) || !IsText(args[1])) return false;
        if (args.size() >= 3 && args[2].Type() == VariantType::Boolean && args[2].AsBoolean())
            return false;
        if (headers_) curl_slist_free_all(headers_);
        headers_ = nullptr;
        response_.clear();
        method_ = UnicodeToUtf8(args[0].AsString());
        url_ = UnicodeToUtf8(args[1].AsString());
        opened_ = !method_.empty() && !url_.empty();
        return opened_;
    }

    bool SetRequestHeader(std::span<const Variant> args) {
        if (!opened_ || args.size() != 2 || !IsText(args[0]) || !IsText(args[1])) return false;
        std::string name = UnicodeToUtf8(args[0].AsString());
        std::string value = UnicodeToUtf8(args[1].AsString());
        if (name.empty() || name.find_first_of(":\r\n") != std::string::npos ||
            value.find_first_of("\r\n") != std::string::npos)
            return false;
        // "Name;" is curl's way to send a header with an empty value.
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        curl_slist* grown = curl_slist_append(headers_, line.c_str());
        if (!grown) return false;
        headers_ = grown;
        return true;
    }

    // send(body): performs the whole exchange. A string body goes as UTF-8, a
    // byte array as it is. Any failure leaves responseBody empty.
    bool Send(std::span<const Variant> args) {
        if (!opened_) return false;
        opened_ = false;
        std::string body;
        if (!args.empty()) {
            const Variant& b = args[0];
            if (IsText(b)) {
                body = UnicodeToUtf8(b.AsString());
            } else if (b.Type() == VariantType::ByteArray) {
                body.assign(b.AsByteArray().begin(), b.AsByteArray().end());
            } else if (b.Type() != VariantType::Empty && b.Type() != VariantType::Missing &&
                       b.Type() != VariantType::Null) {
                return false;
            }
        }
        const XmlHttpLimits limits = Limits();
        limit_ = limits.maxBodyBytes;
        response_.clear();

        // The same handle is reused so that connections to the service are kept alive.
        curl_easy_reset(curl_);
        curl_slist* headers = curl_slist_append(headers_, "Expect:");
        if (headers) headers_ = headers;
        curl_easy_setopt(curl_, CURLOPT_URL, url_.c_str());
        curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, 20L);
        curl_easy_setopt(curl_, CURLOPT_ACCEPT_ENCODING, "gzip, deflate");
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS,
                         static_cast<long>(limits.connectTimeout.count()));
        curl_easy_setopt(curl_, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_USERAGENT, "Brenvik-XMLHTTP/1.0");
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers_);
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &XmlHttpRequest::OnData);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, this);
        if (EqualsIgnoringCase(method_, "GET")) {
            curl_easy_setopt(curl_, CURLOPT_HTTPGET, 1L);
        } else if (EqualsIgnoringCase(method_, "HEAD")) {
            curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
        } else {
            curl_easy_setopt(curl_, CURLOPT_POST, 1L);
            curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE_LARGE,
                             static_cast<curl_off_t>(body.size()));
            curl_easy_setopt(curl_, CURLOPT_COPYPOSTFIELDS, body.c_str());
            if (!EqualsIgnoringCase(method_, "POST"))
                curl_easy_setopt(curl_, CURLOPT_CUSTOMREQUEST, method_.c_str());
        }
        CURLcode rc = curl_easy_perform(curl_);
        if (rc != CURLE_OK) {
            response_.clear();
            response_.shrink_to_fit();
            return false;
        }
        return true;
    }

    static std::size_t OnData(char* data, std::size_t size, std::size_t count, void* self) {
        auto* request = static_cast<XmlHttpRequest*>(self);
        const std::size_t n = size * count;
        if (request->response_.size() + n > request->limit_) return 0;  // aborts the transfer
        request->response_.insert(request->response_.end(), data, data + n);
        return n;
    }

    CURL* curl_ = nullptr;
    curl_slist* headers_ = nullptr;
    std::string method_;
    std::string url_;
    bool opened_ = false;
    std::size_t limit_ = 0;
    Bytes response_;
};

}  // namespace

std::shared_ptr<DispatchObject> MakeXmlHttpRequest() { return std::make_shared<XmlHttpRequest>(); }

void SetXmlHttpLimitsForTesting(const XmlHttpLimits& limits) {
    std::lock_guard lock(limitsMutex);
    currentLimits = limits;
}

XmlHttpLimits DefaultXmlHttpLimits() { return XmlHttpLimits{}; }

}  // namespace brenvik
