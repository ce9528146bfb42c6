#pragma once

#include <cstdint>
#include <optional>

#include "common/bytes.h"
#include "common/text.h"

namespace brenvik {

// Re-encodes `data` from `fromCharset` to `toCharset` through a fresh
// "Adodb.Stream", inside its own CoInitialize / CoUninitialize pair. An empty
// name takes the default ("UTF-8" from, "GBK" to). The decoded text passes
// through a Text on the way, so characters outside GBK become '?' and
// everything from the first NUL character on is lost. `skip` leaves out that
// many leading bytes of the result. Failure gives empty Bytes.
Bytes ConvertCodePage(const Bytes& data, const Text& fromCharset = Text(),
                      const Text& toCharset = Text(),
                      std::optional<std::int32_t> skip = std::nullopt);

// The stream work of ConvertCodePage, with the names already defaulted.
Bytes ConvertWithStream(const Bytes& data, const Text& fromCharset, const Text& toCharset,
                        std::optional<std::int32_t> skip);

}  // namespace brenvik
