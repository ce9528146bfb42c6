#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "service/link_store.h"

namespace brenvik {

// One link as a JSON Lines record:
// {"alias":…,"longurl":…,"generated":bool,"created":seconds,"visits":count}
std::string LinkToJsonLine(const Link& link);

// The link of one record, or empty with `why` set. Unknown members are ignored;
// alias and longurl are required and must pass the service's rules.
std::optional<Link> LinkFromJsonLine(std::string_view line, std::string& why);

// Writes every link, one record a line. False (with `error`) on a read or write failure.
bool ExportLinks(LinkStore& store, std::FILE* out, std::string& error);

struct ImportReport {
    bool ok = false;
    std::size_t inserted = 0;
    std::size_t alreadyPresent = 0;
    std::string error;  // names the line when one is at fault
};

// Reads records until end of input and adds them all or none.
ImportReport ImportLinks(LinkStore& store, std::FILE* in);

}  // namespace brenvik
