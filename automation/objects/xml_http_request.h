#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

#include "automation/dispatch_object.h"

namespace brenvik {

// The HTTP request object ("MSXML2.XMLHTTP", "Microsoft.XMLHTTP") over libcurl.
std::shared_ptr<DispatchObject> MakeXmlHttpRequest();

// The object's own limits. The system sets none, so these keep a dead or
// endless server from holding the window for ever.
struct XmlHttpLimits {
    std::chrono::milliseconds connectTimeout{15'000};
    std::chrono::milliseconds totalTimeout{60'000};
    std::size_t maxBodyBytes = 16u << 20;
};

// Replaces the limits of requests sent from now on; tests shorten them.
void SetXmlHttpLimitsForTesting(const XmlHttpLimits& limits);
XmlHttpLimits DefaultXmlHttpLimits();

}  // namespace brenvik
