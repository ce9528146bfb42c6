#pragma once

namespace brenvik {

// The JavaScript that every JsonObject engine runs once, before anything else:
// get__count, a JSON implementation for engines without one, and the
// Object.prototype methods toJSONString and parseJSON. Kept in
// library_script.js and embedded at build time with CR LF line breaks.
extern const char libraryScript[];

}  // namespace brenvik
