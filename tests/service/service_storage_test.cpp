// What brenvik-shortd keeps: visit counts, export and import, and links that outlive
// a killed process.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "shortd_process.h"

namespace brenvik::testing {
namespace {

std::string Exported(const std::filesystem::path& database, const std::filesystem::path& output) {
    EXPECT_EQ(RunShortd({"export", "--db", database.string()}, {}, output), 0);
    return ReadWholeFile(output);
}

TEST(ShortdStorage, VisitsAreCountedForGetButNotForHead) {
    TempFolder folder;
    const auto database = folder.Path("links.db");
    ShortdProcess service(database, folder.Path("log"));
    ASSERT_TRUE(service.IsRunning());
    ASSERT_EQ(
        PostCreate(service.BaseUrl(), "url=https%3A%2F%2Fexample.com%2F&alias=counted").status,
        200);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(SendRequest(HttpMethod::Get, service.BaseUrl() + "/counted").status, 302);
    }
    for (int i = 0; i < 3; ++i) {
        const HttpResult head = SendRequest(HttpMethod::Head, service.BaseUrl() + "/counted");
        EXPECT_EQ(head.status, 302);
        EXPECT_EQ(head.Header("location"), "https://example.com/");
    }
    // SIGTERM writes the pending counts and closes the database cleanly (no WAL left).
    EXPECT_EQ(service.Stop(), 0);
    EXPECT_FALSE(std::filesystem::exists(database.string() + "-wal"));
    const std::string lines = Exported(database, folder.Path("export.jsonl"));
    EXPECT_NE(lines.find("\"alias\":\"counted\""), std::string::npos) << lines;
    EXPECT_NE(lines.find("\"visits\":2}"), std::string::npos) << lines;
}

TEST(ShortdStorage, ExportThenImportIntoAFreshDatabaseGivesTheSameLinks) {
    TempFolder folder;
    const auto original = folder.Path("original.db");
    const auto copy = folder.Path("copy.db");
    const auto exportFile = folder.Path("links.jsonl");
    std::string generatedAlias;
    {
        ShortdProcess service(original, folder.Path("log"));
        ASSERT_TRUE(service.IsRunning());
        const HttpResult generated =
            PostCreate(service.BaseUrl(), "url=https%3A%2F%2Fexample.com%2Fgenerated");
        generatedAlias = generated.JsonText("alias");
        ASSERT_EQ(PostCreate(service.BaseUrl(),
                             "url=https%3A%2F%2Fexample.com%2F%22quoted%22%5Cback&alias=tricky")
                      .status,
                  200);
        ASSERT_EQ(
            PostCreate(
                service.BaseUrl(),
                "url=https%3A%2F%2F%E4%BE%8B%E5%AD%90.cn%2F%E8%B7%AF&alias=%E4%B8%AD%E6%96%87")
                .status,
            200);
        SendRequest(HttpMethod::Get, service.BaseUrl() + "/tricky");
    }
    const std::string lines = Exported(original, exportFile);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3) << lines;

    ASSERT_EQ(RunShortd({"import", "--db", copy.string(), "--input", exportFile.string()}), 0);
    EXPECT_EQ(Exported(copy, folder.Path("again.jsonl")), lines);
    // Importing the same links again changes nothing and is not an error.
    EXPECT_EQ(RunShortd({"import", "--db", copy.string()}, exportFile), 0);
    EXPECT_EQ(Exported(copy, folder.Path("again.jsonl")), lines);

    ShortdProcess restored(copy, folder.Path("log2"));
    ASSERT_TRUE(restored.IsRunning());
    EXPECT_EQ(SendRequest(HttpMethod::Get, restored.BaseUrl() + "/tricky").Header("location"),
              "https://example.com/\"quoted\"\\back");
    EXPECT_EQ(
        SendRequest(HttpMethod::Get, restored.BaseUrl() + "/%E4%B8%AD%E6%96%87").Header("location"),
        "https://%E4%BE%8B%E5%AD%90.cn/%E8%B7%AF");
    const HttpResult again =
        PostCreate(restored.BaseUrl(), "url=https%3A%2F%2Fexample.com%2Fgenerated");
    EXPECT_EQ(again.JsonText("alias"), generatedAlias);
    EXPECT_EQ(again.JsonText("message"), "短网址已存在");
}

TEST(ShortdStorage, ImportIsAllOrNothing) {
    TempFolder folder;
    const auto database = folder.Path("links.db");
    const auto input = folder.Path("in.jsonl");
    const auto writeInput = [&](const std::string& text) { std::ofstream(input) << text; };
    writeInput("{\"alias\":\"kept\",\"longurl\":\"https://example.com/kept\"}\n");
    ASSERT_EQ(RunShortd({"import", "--db", database.string(), "--input", input.string()}), 0);
    const std::string before = Exported(database, folder.Path("before.jsonl"));

    const std::string good = "{\"alias\":\"new\",\"longurl\":\"https://example.com/new\"}\n";
    const std::vector<std::pair<const char*, std::string>> faulty = {
        {"clash", good + "{\"alias\":\"kept\",\"longurl\":\"https://example.com/other\"}\n"},
        {"not json", good + "{\"alias\":\"x\",\n"},
        {"bad scheme", good + "{\"alias\":\"x\",\"longurl\":\"javascript:alert(1)\"}\n"},
        {"bad alias", good + "{\"alias\":\"a b\",\"longurl\":\"https://example.com/\"}\n"},
        {"wrong type",
         good + "{\"alias\":\"x\",\"longurl\":\"https://example.com/\",\"visits\":\"2\"}\n"},
        {"no alias", good + "{\"longurl\":\"https://example.com/\"}\n"},
    };
    for (const auto& [name, text] : faulty) {
        SCOPED_TRACE(name);
        writeInput(text);
        EXPECT_EQ(RunShortd({"import", "--db", database.string(), "--input", input.string()}), 1);
        EXPECT_EQ(Exported(database, folder.Path("after.jsonl")), before);
    }
}

TEST(ShortdStorage, AnAcknowledgedLinkSurvivesKillNine) {
    TempFolder folder;
    const auto database = folder.Path("links.db");
    std::vector<std::string> aliases;
    {
        ShortdProcess service(database, folder.Path("log"));
        ASSERT_TRUE(service.IsRunning());
        for (int i = 0; i < 20; ++i) {
            const HttpResult created = PostCreate(
                service.BaseUrl(), "url=https%3A%2F%2Fexample.com%2Fdurable" + std::to_string(i));
            ASSERT_EQ(created.status, 200);
            aliases.push_back(created.JsonText("alias"));
        }
        service.Kill();
    }
    ShortdProcess restarted(database, folder.Path("log2"));
    ASSERT_TRUE(restarted.IsRunning());
    for (std::size_t i = 0; i < aliases.size(); ++i) {
        SCOPED_TRACE(aliases[i]);
        const HttpResult visit =
            SendRequest(HttpMethod::Get, restarted.BaseUrl() + "/" + aliases[i]);
        EXPECT_EQ(visit.status, 302);
        EXPECT_EQ(visit.Header("location"), "https://example.com/durable" + std::to_string(i));
    }
}

}  // namespace
}  // namespace brenvik::testing
