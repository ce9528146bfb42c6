#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "service/flat_json_reader.h"

namespace brenvik::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path Path(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// brenvik-shortd serving on 127.0.0.1 at a port the system picks, its stderr (the
// request log) kept in a file. Stopped with SIGTERM when destroyed.
class ShortdProcess {
public:
    ShortdProcess(const std::filesystem::path& database, const std::filesystem::path& logFile,
                  const std::vector<std::string>& extraArgs = {});
    ~ShortdProcess();
    ShortdProcess(const ShortdProcess&) = delete;
    ShortdProcess& operator=(const ShortdProcess&) = delete;

    bool IsRunning() const { return port_ != 0; }
    int Port() const { return port_; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // SIGTERM, then the exit status (-1 when it did not exit by itself in time).
    int Stop();
    // SIGKILL: no chance to clean up.
    void Kill();

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// Runs brenvik-shortd to completion (export/import), with stdin and stdout
// redirected to the given files when not empty. Returns the exit status.
int RunShortd(const std::vector<std::string>& args, const std::filesystem::path& input = {},
              const std::filesystem::path& output = {});

std::string ReadWholeFile(const std::filesystem::path& path);

struct HttpResult {
    long status = 0;                             // 0 when no reply came
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;

    std::string Header(const std::string& lowerName) const;
    // The reply body as the service's flat JSON object (empty object if it is not one).
    FlatJsonObject Json() const;
    std::string JsonText(const std::string& member) const;
};

enum class HttpMethod { Get, Head, Post };

// One request over a new connection; redirects are not followed.
HttpResult SendRequest(HttpMethod method, const std::string& url, const std::string& body = {},
                       const std::vector<std::string>& extraHeaders = {});

// A POST to /create.php with the headers the desktop tool sends.
HttpResult PostCreate(const std::string& baseUrl, const std::string& formBody);

}  // namespace brenvik::testing
