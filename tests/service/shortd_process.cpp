#include "shortd_process.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace brenvik::testing {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kStopTimeout = std::chrono::seconds(15);

std::vector<char*> ArgumentVector(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return argv;
}

// Waits for the child to end; -1 when it has not within the time-out.
int WaitForExit(pid_t pid, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

size_t CollectBody(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

size_t CollectHeader(char* data, size_t size, size_t count, void* target) {
    const std::string line(data, size * count);
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of("\r\n") + 1);
        (*static_cast<std::map<std::string, std::string>*>(target))[name] = value;
    }
    return size * count;
}

}  // namespace

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "brenvik-shortd-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

ShortdProcess::ShortdProcess(const std::filesystem::path& database,
                             const std::filesystem::path& logFile,
                             const std::vector<std::string>& extraArgs) {
    std::vector<std::string> args = {BRENVIK_SHORTD_PATH, "--listen", "127.0.0.1:0", "--db",
                                     database.string()};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logFile.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0600);
    auto argv = ArgumentVector(args);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        pid_ = -1;
        close(pipeFds[0]);
        return;
    }
    // The first line says where it listens: "listening on http://127.0.0.1:PORT".
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{pipeFds[0], POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        char buffer[256];
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0) break;
        line.append(buffer, static_cast<std::size_t>(got));
    }
    close(pipeFds[0]);
    const std::size_t colon = line.rfind(':');
    if (line.starts_with("listening on http://") && colon != std::string::npos) {
        port_ = std::atoi(line.c_str() + colon + 1);
    }
}

ShortdProcess::~ShortdProcess() { Stop(); }

int ShortdProcess::Stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = WaitForExit(pid_, kStopTimeout);
    if (status == -1) {
        kill(pid_, SIGKILL);
        WaitForExit(pid_, kStopTimeout);
    }
    pid_ = -1;
    port_ = 0;
    return status;
}

void ShortdProcess::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    WaitForExit(pid_, kStopTimeout);
    pid_ = -1;
    port_ = 0;
}

int RunShortd(const std::vector<std::string>& extraArgs, const std::filesystem::path& input,
              const std::filesystem::path& output) {
    std::vector<std::string> args = {BRENVIK_SHORTD_PATH};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!input.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    }
    if (!output.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    auto argv = ArgumentVector(args);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    return WaitForExit(pid, kStopTimeout);
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string HttpResult::Header(const std::string& lowerName) const {
    const auto found = headers.find(lowerName);
    return found == headers.end() ? std::string() : found->second;
}

FlatJsonObject HttpResult::Json() const {
    return ReadFlatJsonObject(body).value_or(FlatJsonObject{});
}

std::string HttpResult::JsonText(const std::string& member) const {
    const FlatJsonObject object = Json();
    const auto found = object.find(member);
    if (found == object.end()) return "<absent>";
    const auto* text = std::get_if<std::string>(&found->second);
    return text ? *text : "<not a string>";
}

HttpResult SendRequest(HttpMethod method, const std::string& url, const std::string& body,
                       const std::vector<std::string>& extraHeaders) {
    static const bool curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    HttpResult result;
    if (!curlReady) return result;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return result;
    curl_slist* headers = nullptr;
    for (const auto& header : extraHeaders) headers = curl_slist_append(headers, header.c_str());
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &CollectHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &result.headers);
    if (method == HttpMethod::Head) curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    if (method == HttpMethod::Post) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    }
    if (curl_easy_perform(curl) == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return result;
}

HttpResult PostCreate(const std::string& baseUrl, const std::string& formBody) {
    return SendRequest(
        HttpMethod::Post, baseUrl + "/create.php", formBody,
        {"Accept-Language: zh-cn", "Content-Type: application/x-www-form-urlencoded"});
}

}  // namespace brenvik::testing
