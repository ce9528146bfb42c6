#pragma once

#include <span>
#include <string>
#include <string_view>

#include "service/listen_address.h"

namespace brenvik {

enum class ServiceCommand { Serve, Export, Import, Help };

struct ServiceOptions {
    ServiceCommand command = ServiceCommand::Serve;
    ListenAddress listen;
    std::string databasePath;  // "" until defaulted by the caller
    std::string publicUrl;     // "" means http:// + the listening address
    unsigned threads = 8;      // request threads; creates run on workers of their own
    int createsPerMinute = 60;
    bool limitLoopback = false;
    unsigned connectionTimeoutSeconds = 10;
    std::string transferFile = "-";  // export/import: "-" is stdout/stdin
};

struct ParsedOptions {
    ServiceOptions options;
    std::string error;  // empty when the command line was understood
};

// Reads the arguments after the program name. `defaultPort` is the port the desktop
// tool posts to unless told otherwise.
ParsedOptions ParseServiceOptions(std::span<const std::string_view> args, int defaultPort);

// $XDG_DATA_HOME/brenvik/links.db, or ~/.local/share/brenvik/links.db.
std::string DefaultDatabasePath();

std::string UsageText(int defaultPort);

}  // namespace brenvik
