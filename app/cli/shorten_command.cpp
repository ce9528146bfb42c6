// brenvik-shorten URL [ALIAS]: one shortening from the command line, by the
// same road as a press of Generate in the window. The short address goes to
// stdout, the service's message to stderr; the exit status is 0 when a short
// address came back.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "automation/automation.h"
#include "common/code_page.h"
#include "common/utf8.h"
#include "json/json_object.h"
#include "shortening/http_request.h"
#include "shortening/request_short_url.h"

namespace brenvik {
namespace {

// Texts are code page 936; the terminal speaks UTF-8.
std::string ToUtf8(const Text& text) { return UnicodeToUtf8(TextToUnicode(text)); }

void PrintLine(std::FILE* stream, const Text& text) {
    std::fprintf(stream, "%s\n", ToUtf8(text).c_str());
}

int Usage(std::FILE* stream) {
    std::fprintf(
        stream,
        "usage: brenvik-shorten URL [ALIAS]\n"
        "Shortens URL through the shortening service (ALIAS: an optional custom short name).\n"
        "The service is %s; set BRENVIK_SERVICE_URL to use another.\n",
        ServiceUrl().c_str());
    return stream == stdout ? 0 : 2;
}

int Shorten(const Text& longUrl, const Text& alias) {
    httpRequest = std::make_unique<AutomationObject>();
    if (!CreateObject(*httpRequest, "MSXML2.XMLHTTP") &&
        !CreateObject(*httpRequest, "Microsoft.XMLHTTP")) {
        PrintLine(stderr, Text::FromUtf8("系统不支持操作"));
        httpRequest.reset();
        return 1;
    }

    JsonObject reply;
    reply.Clear();
    const Text replyText = RequestShortUrl(longUrl, alias);
    reply.Parse(replyText);
    const Text message = reply.GetText("message", false);
    const Text tinyurl = reply.GetText("tinyurl", false);
    reply.Destroy();
    ClearObject(*httpRequest);
    httpRequest.reset();

    if (!tinyurl.IsEmpty()) PrintLine(stdout, tinyurl);
    if (!message.IsEmpty()) {
        PrintLine(stderr, message);
    } else if (replyText.IsEmpty()) {
        std::fprintf(stderr, "%s%s\n", ToUtf8(Text::FromUtf8("未收到短网址服务的回复：")).c_str(),
                     ServiceUrl().c_str());
    }
    return tinyurl.IsEmpty() ? 1 : 0;
}

}  // namespace
}  // namespace brenvik

int main(int argc, char** argv) {
    using namespace brenvik;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(stdout);
    if (argc < 2 || argc > 3) return Usage(stderr);

    OleInitialize(nullptr);
    const int status = Shorten(Text::FromUtf8(argv[1]), Text::FromUtf8(argc == 3 ? argv[2] : ""));
    OleUninitialize();
    return status;
}
