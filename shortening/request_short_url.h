#pragma once

#include "common/text.h"

namespace brenvik {

// The address of the service's create script: the build's default, or
// BRENVIK_SERVICE_URL from the environment when set (read once).
const Text& ServiceUrl();

// The form body for the service: "url=" + longUrl + "&alias=" + alias, each
// value sent as UTF-8 and percent-encoded for application/x-www-form-urlencoded.
Text MakeFormBody(const Text& longUrl, const Text& alias);

// Posts the long address and the custom short name to the service through
// httpRequest and returns the reply body converted from UTF-8 to code page 936,
// cut before its first zero byte. The reply is not interpreted; whatever fails
// gives the empty text, and nothing is shown.
Text RequestShortUrl(const Text& longUrl, const Text& alias);

}  // namespace brenvik
