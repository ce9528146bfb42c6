#include "app/commands.h"

#include <memory>

#include "app/main_window.h"
#include "app/shell_open.h"
#include "app/show_message.h"
#include "json/json_object.h"
#include "shortening/request_short_url.h"

namespace brenvik {

void OnGenerateClicked(MainWindow& window) {
    auto json = std::make_unique<JsonObject>();
    json->Clear();

    Text longUrl = window.ReadText("编辑框1");
    Text alias = window.ReadText("编辑框2");
    Text reply = RequestShortUrl(longUrl, alias);
    longUrl = Text();
    alias = Text();

    json->Parse(reply);  // a reply that does not parse leaves both members empty
    reply = Text();

    Text message = json->GetText("message", false);
    Text tinyurl = json->GetText("tinyurl", false);

    // 编辑框3 is already updated while the box is up.
    window.WriteText("编辑框3", tinyurl);
    ShowMessage(message);

    json->Destroy();
    json.reset();
}

void OnOpenClicked(MainWindow& window) {
    const Text target = window.ReadText("编辑框3");
    ShellOpen(target);
}

}  // namespace brenvik
