#include "shortening/convert_code_page.h"

#include "automation/automation.h"
#include "common/text_helpers.h"

namespace brenvik {

Bytes ConvertCodePage(const Bytes& data, const Text& fromCharset, const Text& toCharset,
                      std::optional<std::int32_t> skip) {
    const Text from = CompareTexts(fromCharset, Text()) == 0 ? Text("UTF-8") : fromCharset;
    const Text to = CompareTexts(toCharset, Text()) == 0 ? Text("GBK") : toCharset;
    CoInitialize(nullptr);
    Bytes converted = ConvertWithStream(data, from, to, skip);
    CoUninitialize();
    return converted;
}

Bytes ConvertWithStream(const Bytes& data, const Text& fromCharset, const Text& toCharset,
                        std::optional<std::int32_t> skip) {
    AutomationObject stream;
    CreateObject(stream, "Adodb.Stream");
    SetProperty(stream, "Type", 1);
    CallMethod(stream, "Open");

    Variant input;
    BytesToVariant(input, data);
    CallMethod(stream, "Write", {input});
    SetProperty(stream, "Position", 0);
    SetProperty(stream, "Type", 2);
    SetProperty(stream, "Charset", fromCharset);
    // Held as a Text: characters outside GBK are '?' now, and the first NUL ends it.
    Text decoded = CallMethod<Text>(stream, "ReadText");

    CallMethod(stream, "Close");
    CallMethod(stream, "Open");
    SetProperty(stream, "Charset", toCharset);
    CallMethod(stream, "WriteText", {decoded});
    SetProperty(stream, "Position", 0);
    SetProperty(stream, "Type", 1);
    if (skip) SetProperty(stream, "Position", *skip);

    Variant output = CallMethod<Variant>(stream, "Read");
    Bytes result = VariantToBytes(output);
    ClearVariant(output);
    ClearVariant(input);
    ClearObject(stream);
    return result;
}

}  // namespace brenvik
