#include "shortening/request_short_url.h"

#include <cstdlib>

#include "automation/automation.h"
#include "common/text_helpers.h"
#include "shortening/convert_code_page.h"
#include "shortening/form_encoding.h"
#include "shortening/http_request.h"

#ifndef BRENVIK_DEFAULT_SERVICE_URL
#error "BRENVIK_DEFAULT_SERVICE_URL must be defined by the build"
#endif

namespace brenvik {

const Text& ServiceUrl() {
    static const Text url = [] {
        const char* fromEnvironment = std::getenv("BRENVIK_SERVICE_URL");
        return Text(fromEnvironment && *fromEnvironment ? fromEnvironment
                                                        : BRENVIK_DEFAULT_SERVICE_URL);
    }();
    return url;
}

Text MakeFormBody(const Text& longUrl, const Text& alias) {
    return Join("url=", Text(FormEncode(longUrl)), "&alias=", Text(FormEncode(alias)));
}

Text RequestShortUrl(const Text& longUrl, const Text& alias) {
    AutomationObject none;
    AutomationObject& request = httpRequest ? *httpRequest : none;
    const Text formBody = MakeFormBody(longUrl, alias);

    CallMethod(request, "open", {"POST", ServiceUrl(), false});
    CallMethod(request, "SetRequestHeader", {"Accept-Language", "zh-cn"});
    CallMethod(request, "SetRequestHeader", {"Content-Type", "application/x-www-form-urlencoded"});
    CallMethod(request, "send", {formBody});
    Variant body = GetProperty(request, "responseBody");

    Bytes reply = VariantToBytes(body);
    ClearVariant(body);
    Bytes converted = ConvertCodePage(reply);
    return BytesToText(converted);
}

}  // namespace brenvik
