#include "service/service_commands.h"

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "service/http_server.h"
#include "service/link_transfer.h"
#include "service/shortening_service.h"
#include "service/sqlite_link_store.h"

namespace brenvik {

namespace {

constexpr auto kShutdownGrace = std::chrono::seconds(10);

void ReportFailure(const std::string& what) {
    std::fprintf(stderr, "brenvik-shortd: %s\n", what.c_str());
}

// Opens the store; the default location's folder is made when missing, a path
// given on the command line is taken as it stands.
std::unique_ptr<SqliteLinkStore> OpenStore(const ServiceOptions& options) {
    std::string path = options.databasePath;
    if (path.empty()) {
        path = DefaultDatabasePath();
        for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            const std::string folder = path.substr(0, slash);
            if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
                ReportFailure("cannot create " + folder + ": " + std::strerror(errno));
                return nullptr;
            }
        }
    }
    std::string error;
    auto store = SqliteLinkStore::Open(path, error);
    if (!store) ReportFailure("cannot open the database " + path + ": " + error);
    return store;
}

std::optional<ServiceSettings> MakeSettings(const ServiceOptions& options, int port) {
    ListenAddress listening = options.listen;
    listening.port = port;
    const std::string listenUrl = "http://" + listening.HostAndPort();
    ServiceSettings settings;
    settings.publicUrl = options.publicUrl.empty() ? listenUrl : options.publicUrl;
    while (!settings.publicUrl.empty() && settings.publicUrl.back() == '/') {
        settings.publicUrl.pop_back();
    }
    const auto publicOrigin = ParseWebOrigin(settings.publicUrl);
    if (!publicOrigin || settings.publicUrl.find_first_of("?#") != std::string::npos) {
        ReportFailure("--public-url must be an http or https address without query");
        return std::nullopt;
    }
    settings.ownOrigins.push_back(*publicOrigin);
    if (const auto listenOrigin = ParseWebOrigin(listenUrl)) {
        settings.ownOrigins.push_back(*listenOrigin);
    }
    settings.createsPerMinute = options.createsPerMinute;
    settings.limitLoopback = options.limitLoopback;
    return settings;
}

}  // namespace

int RunService(const ServiceOptions& options) {
    // Blocked before any thread starts, so that every thread inherits the mask and the
    // signals wait for sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    auto store = OpenStore(options);
    if (!store) return 1;

    HttpServerSettings serverSettings;
    serverSettings.listen = options.listen;
    serverSettings.threads = options.threads;
    serverSettings.connectionTimeoutSeconds = options.connectionTimeoutSeconds;
    std::string error;
    // Bound first: with port 0 the public address is known only after binding.
    auto server = HttpServer::Bind(serverSettings, error);
    if (!server) {
        ReportFailure(error);
        return 1;
    }
    ListenAddress bound = options.listen;
    bound.port = server->Port();
    const auto settings = MakeSettings(options, bound.port);
    if (!settings) return 1;
    auto service = std::make_unique<ShorteningService>(*store, *settings);
    if (!server->Serve(*service, error)) {
        ReportFailure(error);
        return 1;
    }
    std::printf("listening on http://%s\n", bound.HostAndPort().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    std::fprintf(stderr, "brenvik-shortd: stopping (signal %d)\n", received);
    server->Stop(kShutdownGrace);
    server.reset();
    service.reset();
    store.reset();
    return 0;
}

int RunExport(const ServiceOptions& options) {
    auto store = OpenStore(options);
    if (!store) return 1;
    std::FILE* out =
        options.transferFile == "-" ? stdout : std::fopen(options.transferFile.c_str(), "w");
    if (out == nullptr) {
        ReportFailure("cannot write " + options.transferFile + ": " + std::strerror(errno));
        return 1;
    }
    std::string error;
    const bool ok = ExportLinks(*store, out, error);
    if (out != stdout && std::fclose(out) != 0 && ok) {
        ReportFailure("cannot write " + options.transferFile);
        return 1;
    }
    if (!ok) ReportFailure(error);
    return ok ? 0 : 1;
}

int RunImport(const ServiceOptions& options) {
    auto store = OpenStore(options);
    if (!store) return 1;
    std::FILE* in =
        options.transferFile == "-" ? stdin : std::fopen(options.transferFile.c_str(), "r");
    if (in == nullptr) {
        ReportFailure("cannot read " + options.transferFile + ": " + std::strerror(errno));
        return 1;
    }
    const ImportReport report = ImportLinks(*store, in);
    if (in != stdin) std::fclose(in);
    if (!report.ok) {
        ReportFailure("import: " + report.error);
        return 1;
    }
    std::fprintf(stderr, "brenvik-shortd: imported %zu links, %zu already present\n",
                 report.inserted, report.alreadyPresent);
    return 0;
}

}  // namespace brenvik
