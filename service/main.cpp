// brenvik-shortd: the shortening service the desktop tool posts to.

#include <cstdio>
#include <string_view>
#include <vector>

#include "service/service_commands.h"
#include "service/service_options.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const brenvik::ParsedOptions parsed =
        brenvik::ParseServiceOptions(args, BRENVIK_DEFAULT_SERVICE_PORT);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "brenvik-shortd: %s\n\n%s", parsed.error.c_str(),
                     brenvik::UsageText(BRENVIK_DEFAULT_SERVICE_PORT).c_str());
        return 2;
    }
    switch (parsed.options.command) {
        case brenvik::ServiceCommand::Help:
            std::fputs(brenvik::UsageText(BRENVIK_DEFAULT_SERVICE_PORT).c_str(), stdout);
            return 0;
        case brenvik::ServiceCommand::Export: return brenvik::RunExport(parsed.options);
        case brenvik::ServiceCommand::Import: return brenvik::RunImport(parsed.options);
        case brenvik::ServiceCommand::Serve: break;
    }
    return brenvik::RunService(parsed.options);
}
