#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shortd_process.h"

extern char** environ;

namespace brenvik::testing {
namespace {

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs brenvik-shorten with `args`, pointed at `serviceUrl`, and collects what it prints.
CommandResult RunShorten(const TempFolder& folder, const std::string& serviceUrl,
                         std::vector<std::string> args) {
    args.insert(args.begin(), BRENVIK_SHORTEN_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> env = {"BRENVIK_SERVICE_URL=" + serviceUrl};
    for (char** e = environ; *e; ++e) {
        if (std::string(*e).rfind("BRENVIK_SERVICE_URL=", 0) != 0) env.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    const auto outPath = folder.Path("out"), errPath = folder.Path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = -1;
    CommandResult result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = ReadWholeFile(outPath);
    result.err = ReadWholeFile(errPath);
    return result;
}

// What the curl command line sees when it asks for the short address.
std::string FollowWithCurl(const std::string& shortUrl) {
    const std::string command =
        "curl -s -o /dev/null -w '%{http_code} %{redirect_url}' '" + shortUrl + "'";
    std::string seen;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) seen += buffer;
        pclose(pipe);
    }
    return seen;
}

class ShortenCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        service = std::make_unique<ShortdProcess>(folder.Path("links.db"), folder.Path("log"));
        ASSERT_TRUE(service->IsRunning());
        createUrl = service->BaseUrl() + "/create.php";
    }
    TempFolder folder;
    std::unique_ptr<ShortdProcess> service;
    std::string createUrl;
};

TEST_F(ShortenCommandTest, PrintsTheShortAddressThatRedirects) {
    const std::string longUrl = "https://example.com/docs?page=2&lang=zh#top";
    const CommandResult r = RunShorten(folder, createUrl, {longUrl});
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.out.rfind(service->BaseUrl() + "/", 0), 0u) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
    EXPECT_EQ(r.err, "短网址已生成\n");
    const std::string shortUrl = r.out.substr(0, r.out.size() - 1);
    EXPECT_EQ(FollowWithCurl(shortUrl), "302 " + longUrl);

    // The same address again gives the same short address back.
    const CommandResult again = RunShorten(folder, createUrl, {longUrl});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.out, r.out);
}

TEST_F(ShortenCommandTest, TakesAChineseCustomName) {
    const CommandResult r = RunShorten(folder, createUrl, {"http://example.org/", "短链"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, service->BaseUrl() + "/%E7%9F%AD%E9%93%BE\n");
    EXPECT_EQ(FollowWithCurl(r.out.substr(0, r.out.size() - 1)), "302 http://example.org/");
}

TEST_F(ShortenCommandTest, ARejectionPrintsTheServiceMessageAndFails) {
    const CommandResult r = RunShorten(folder, createUrl, {"javascript:alert(1)"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("http"), std::string::npos) << r.err;  // the message names the rule
}

TEST_F(ShortenCommandTest, NoServiceAndBadUsage) {
    service->Stop();
    const CommandResult unreachable = RunShorten(folder, createUrl, {"https://example.com/"});
    EXPECT_EQ(unreachable.status, 1);
    EXPECT_EQ(unreachable.out, "");
    EXPECT_NE(unreachable.err.find(createUrl), std::string::npos) << unreachable.err;

    const CommandResult noArguments = RunShorten(folder, createUrl, {});
    EXPECT_EQ(noArguments.status, 2);
    EXPECT_NE(noArguments.err.find("usage: brenvik-shorten URL [ALIAS]"), std::string::npos);
    EXPECT_EQ(RunShorten(folder, createUrl, {"a", "b", "c"}).status, 2);
    EXPECT_EQ(RunShorten(folder, createUrl, {"--help"}).status, 0);
}

}  // namespace
}  // namespace brenvik::testing
