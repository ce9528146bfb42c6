#include "service/service_options.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>

namespace brenvik {

namespace {

std::optional<long> ReadNumber(std::string_view text, long smallest, long largest) {
    long value = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (problem != std::errc{} || end != text.data() + text.size() || value < smallest ||
        value > largest) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ParsedOptions ParseServiceOptions(std::span<const std::string_view> args, int defaultPort) {
    ParsedOptions parsed;
    ServiceOptions& options = parsed.options;
    options.listen.port = defaultPort;
    std::size_t next = 0;
    if (next < args.size() && (args[next] == "export" || args[next] == "import")) {
        options.command = args[next] == "export" ? ServiceCommand::Export : ServiceCommand::Import;
        ++next;
    }
    const bool serving = options.command == ServiceCommand::Serve;
    for (; next < args.size(); ++next) {
        std::string_view name = args[next];
        std::optional<std::string_view> value;
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "--help" || name == "-h") {
            options.command = ServiceCommand::Help;
            return parsed;
        }
        const bool takesValue = name != "--limit-loopback";
        if (takesValue && !value) {
            if (next + 1 >= args.size()) {
                parsed.error = std::string(name) + " needs a value";
                return parsed;
            }
            value = args[++next];
        }
        const auto fail = [&](const std::string& why) {
            parsed.error = std::string(name) + ": " + why;
            return parsed;
        };
        if (name == "--db") {
            if (value->empty()) return fail("empty path");
            options.databasePath = *value;
        } else if (!serving && (name == "--output" || name == "--input")) {
            if ((name == "--output") != (options.command == ServiceCommand::Export)) {
                return fail("not an option of this command");
            }
            options.transferFile = *value;
        } else if (serving && name == "--listen") {
            const auto address = ParseListenAddress(*value);
            if (!address)
                return fail("expected ADDR:PORT with a numeric address, e.g. 127.0.0.1:8731");
            options.listen = *address;
        } else if (serving && name == "--public-url") {
            options.publicUrl = *value;
        } else if (serving && name == "--threads") {
            const auto number = ReadNumber(*value, 1, 64);
            if (!number) return fail("expected a number from 1 to 64");
            options.threads = static_cast<unsigned>(*number);
        } else if (serving && name == "--rate-limit") {
            const auto number = ReadNumber(*value, 0, 1000000);
            if (!number) return fail("expected creates per minute (0 for no limit)");
            options.createsPerMinute = static_cast<int>(*number);
        } else if (serving && name == "--limit-loopback") {
            options.limitLoopback = true;
        } else if (serving && name == "--connection-timeout") {
            const auto number = ReadNumber(*value, 1, 3600);
            if (!number) return fail("expected seconds from 1 to 3600");
            options.connectionTimeoutSeconds = static_cast<unsigned>(*number);
        } else {
            parsed.error = "unknown argument " + std::string(args[next]);
            return parsed;
        }
    }
    return parsed;
}

std::string DefaultDatabasePath() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (dataHome != nullptr && dataHome[0] == '/') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.local/share";
    }
    return base + "/brenvik/links.db";
}

std::string UsageText(int defaultPort) {
    const std::string port = std::to_string(defaultPort);
    return "usage: brenvik-shortd [options]          run the shortening service\n"
           "       brenvik-shortd export [--db PATH] [--output FILE]\n"
           "       brenvik-shortd import [--db PATH] [--input FILE]\n"
           "\n"
           "  --listen ADDR:PORT      address to listen on (default 127.0.0.1:" +
           port +
           ";\n"
           "                          port 0 picks a free one; IPv6 as [::1]:PORT)\n"
           "  --db PATH               SQLite database (default " +
           DefaultDatabasePath() +
           ")\n"
           "  --public-url URL        origin of the short addresses (default http://ADDR:PORT)\n"
           "  --threads N             request threads (default 8)\n"
           "  --rate-limit N          creates per minute per client address (default 60, 0: off)\n"
           "  --limit-loopback        apply the rate limit to loopback clients too\n"
           "  --connection-timeout S  drop idle or slow connections after S seconds (default 10)\n"
           "\n"
           "export writes every link as one JSON object a line; import adds such lines\n"
           "all together or not at all (identical links already present are skipped).\n"
           "FILE \"-\" (the default) is standard output or input.\n";
}

}  // namespace brenvik
