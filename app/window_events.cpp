#include "app/window_events.h"

#include "app/show_message.h"
#include "automation/automation.h"
#include "shortening/http_request.h"

namespace brenvik {

void OnWindowCreated() {
    if (httpRequest && CreateObject(*httpRequest, "MSXML2.XMLHTTP")) return;
    if (httpRequest && CreateObject(*httpRequest, "Microsoft.XMLHTTP")) return;
    ShowMessage(Text::FromUtf8("系统不支持操作"));
}

void ReleaseGlobals() {
    if (!httpRequest) return;
    ClearObject(*httpRequest);
    httpRequest.reset();
}

}  // namespace brenvik
