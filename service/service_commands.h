#pragma once

#include "service/service_options.h"

namespace brenvik {

// Each returns the process exit status: 0 on success, 1 on failure (reported on stderr).

// Serves until SIGTERM or SIGINT, then lets the requests under way finish and closes
// the database. Prints "listening on http://ADDR:PORT" on stdout once it accepts.
int RunService(const ServiceOptions& options);
int RunExport(const ServiceOptions& options);
int RunImport(const ServiceOptions& options);

}  // namespace brenvik
