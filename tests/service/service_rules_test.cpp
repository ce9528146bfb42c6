// Form decoding and the rules for addresses and aliases, case by case.

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "service/alias_generator.h"
#include "service/form_decoding.h"
#include "service/link_rules.h"
#include "service/listen_address.h"
#include "service/rate_limiter.h"

namespace brenvik {
namespace {

TEST(PercentDecode, DecodesStrictlyAndRefusesMalformedEscapes) {
    struct Case {
        std::string input;
        PlusSign plus;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"", PlusSign::Space, ""},
        {"plain-text_~.", PlusSign::Space, "plain-text_~."},
        {"%41%62", PlusSign::Space, "Ab"},
        {"%e4%B8%ad", PlusSign::Space, "中"},
        {"a+b", PlusSign::Space, "a b"},
        {"a+b", PlusSign::Literal, "a+b"},
        {"%2B", PlusSign::Space, "+"},
        {"%00", PlusSign::Space, std::string(1, '\0')},
        {"%", PlusSign::Space, std::nullopt},
        {"%4", PlusSign::Space, std::nullopt},
        {"100%", PlusSign::Space, std::nullopt},
        {"%zz", PlusSign::Space, std::nullopt},
        {"%4g", PlusSign::Space, std::nullopt},
        {"%%41", PlusSign::Space, std::nullopt},
        {"ok%2", PlusSign::Literal, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("input: " + c.input);
        EXPECT_EQ(PercentDecode(c.input, c.plus), c.expected);
    }
}

TEST(PercentEncode, LeavesOnlyUnreservedAscii) {
    EXPECT_EQ(PercentEncode("中文"), "%E4%B8%AD%E6%96%87");
    EXPECT_EQ(PercentEncode("a-b_c.d~e"), "a-b_c.d~e");
    EXPECT_EQ(PercentEncode("a b/?#%"), "a%20b%2F%3F%23%25");
    const std::string everyByte = [] {
        std::string bytes;
        for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
        return bytes;
    }();
    EXPECT_EQ(PercentDecode(PercentEncode(everyByte), PlusSign::Literal), everyByte);
}

TEST(ParseForm, SplitsDecodesAndRefuses) {
    struct Case {
        std::string body;
        FormError error;
        std::string url;
        std::string alias;
    };
    const std::vector<Case> cases = {
        {"url=a&alias=b", FormError::None, "a", "b"},
        {"alias=b&url=a", FormError::None, "a", "b"},
        {"url=a%26b%3Dc&alias=", FormError::None, "a&b=c", ""},
        {"url=a=b", FormError::None, "a=b", ""},
        {"url", FormError::None, "", ""},
        {"", FormError::None, "", ""},
        {"&&url=x&", FormError::None, "x", ""},
        {"other=1&url=x", FormError::None, "x", ""},
        {"url=a+b&alias=%E4%B8%AD", FormError::None, "a b", "中"},
        {"url=%zz", FormError::MalformedEscape, "", ""},
        {"%zz=1&url=x", FormError::MalformedEscape, "", ""},
        {"url=%FF", FormError::NotUtf8, "", ""},
        {"url=%C0%AF", FormError::NotUtf8, "", ""},     // overlong "/"
        {"url=%ED%A0%80", FormError::NotUtf8, "", ""},  // a surrogate
        {"url=a&url=b", FormError::DuplicateField, "", ""},
        {"url=a&ur%6C=b", FormError::DuplicateField, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("body: " + c.body);
        const FormFields form = ParseForm(c.body);
        EXPECT_EQ(form.error, c.error);
        if (c.error == FormError::None) {
            EXPECT_EQ(form.Value("url"), c.url);
            EXPECT_EQ(form.Value("alias"), c.alias);
        }
    }
}

TEST(CheckLongUrl, AcceptsOnlyAbsoluteWebAddressesAwayFromTheService) {
    const std::vector<WebOrigin> service = {*ParseWebOrigin("http://127.0.0.1:8731"),
                                            *ParseWebOrigin("https://s.example")};
    struct Case {
        std::string url;
        const char* expected;  // nullptr: accepted
    };
    const std::vector<Case> cases = {
        {"http://example.com", nullptr},
        {"HTTPS://Example.com/path?q=1#top", nullptr},
        {"https://user:pw@example.com:8443/", nullptr},
        {"http://[::1]:8080/", nullptr},
        {"https://例子.cn/路径", nullptr},
        {"http://127.0.0.1:8732/", nullptr},
        {"https://s.example:8443/", nullptr},
        {"", "网址不能为空"},
        {"javascript:alert(1)", "只接受 http 或 https 网址"},
        {"JavaScript://comment%0Aalert(1)", "只接受 http 或 https 网址"},
        {"data:text/html,hi", "只接受 http 或 https 网址"},
        {"file:///etc/passwd", "只接受 http 或 https 网址"},
        {"httpx://example.com", "只接受 http 或 https 网址"},
        {"//example.com", "只接受 http 或 https 网址"},
        {"example.com:80", "只接受 http 或 https 网址"},
        {"http:example.com", "网址缺少主机名"},
        {"http://", "网址缺少主机名"},
        {"http:///path", "网址缺少主机名"},
        {"http://user@/", "网址缺少主机名"},
        {"http://:80/", "网址缺少主机名"},
        {"http://example.com:0/", "网址的端口无效"},
        {"http://example.com:65536/", "网址的端口无效"},
        {"http://example.com:8a/", "网址的端口无效"},
        {"http://[::1]x/", "网址的端口无效"},
        {"http://exa mple.com/", "网址不能包含空格或控制字符"},
        {"http://example.com/\t", "网址不能包含空格或控制字符"},
        {"http://example.com/\x7F", "网址不能包含空格或控制字符"},
        {"http://127.0.0.1:8731/abc", "不能缩短本服务自己的网址"},
        {"HTTP://127.0.0.1:8731", "不能缩短本服务自己的网址"},
        {"https://S.EXAMPLE/abc", "不能缩短本服务自己的网址"},
        {"https://s.example:443/abc", "不能缩短本服务自己的网址"},
        {"https://x@s.example/abc", "不能缩短本服务自己的网址"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("url: " + c.url);
        const char* actual = CheckLongUrl(c.url, service);
        EXPECT_EQ(actual ? std::string(actual) : "<accepted>",
                  c.expected ? std::string(c.expected) : "<accepted>");
    }
}

TEST(CheckLongUrl, LengthLimitIsInBytes) {
    const std::string head = "https://example.com/";
    EXPECT_EQ(CheckLongUrl(head + std::string(kMaxLongUrlBytes - head.size(), 'a'), {}), nullptr);
    EXPECT_STREQ(CheckLongUrl(head + std::string(kMaxLongUrlBytes - head.size() + 1, 'a'), {}),
                 "网址过长（最多 8192 字节）");
}

TEST(CheckAlias, LettersAndDigitsOfAnyScriptDashAndUnderscore) {
    struct Case {
        std::string alias;
        const char* expected;  // nullptr: accepted
    };
    std::string sixtyFourChinese;
    for (int i = 0; i < 64; ++i) sixtyFourChinese += "中";
    const std::vector<Case> cases = {
        {"", nullptr},
        {"a", nullptr},
        {"A-b_9", nullptr},
        {"中文", nullptr},
        {"日本語テスト", nullptr},
        {"Ελληνικά", nullptr},
        {"١٢٣", nullptr},  // Arabic-Indic digits
        {"-_-", nullptr},
        {std::string(64, 'z'), nullptr},
        {sixtyFourChinese, nullptr},
        {std::string(65, 'z'), "自定义短网址最多 64 个字符"},
        {sixtyFourChinese + "a", "自定义短网址最多 64 个字符"},
        {"a b", "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"a.b", "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"a/b", "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"a%b", "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"中，文", "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"😀", "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"a\xC0", "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"healthz", "该短网址为保留名称"},
        {"HealthZ", "该短网址为保留名称"},
        {"create.php", "该短网址为保留名称"},
        {"favicon.ico", "该短网址为保留名称"},
        {"robots.txt", "该短网址为保留名称"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("alias: " + c.alias);
        const char* actual = CheckAlias(c.alias);
        EXPECT_EQ(actual ? std::string(actual) : "<accepted>",
                  c.expected ? std::string(c.expected) : "<accepted>");
    }
}

TEST(GenerateAlias, SixCharactersFromTheAlphabetAndNoRepeats) {
    std::set<std::string> seen;
    std::set<char> characters;
    for (int i = 0; i < 2000; ++i) {
        const std::string alias = GenerateAlias();
        ASSERT_EQ(alias.size(), 6u);
        for (const char c : alias) {
            ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
                << alias;
            characters.insert(c);
        }
        seen.insert(alias);
    }
    EXPECT_EQ(seen.size(), 2000u);
    EXPECT_EQ(characters.size(), 62u);  // 12,000 draws reach every character
}

TEST(RateLimiter, EachClientHasItsOwnBucketThatRefills) {
    RateLimiter limiter(2);  // two a minute: one token every 30 s
    const auto start = RateLimiter::Clock::now();
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", start), 0);
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", start), 0);
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", start), 30);
    EXPECT_EQ(limiter.SecondsUntilAllowed("b", start), 0);
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", start + std::chrono::seconds(20)), 10);
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", start + std::chrono::seconds(30)), 0);
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", start + std::chrono::seconds(30)), 30);
    // A long pause fills the bucket only up to its size.
    const auto later = start + std::chrono::hours(1);
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", later), 0);
    EXPECT_EQ(limiter.SecondsUntilAllowed("a", later), 0);
    EXPECT_GT(limiter.SecondsUntilAllowed("a", later), 0);

    RateLimiter unlimited(0);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(unlimited.SecondsUntilAllowed("a", start), 0);
}

TEST(ParseListenAddress, NumericAddressAndPort) {
    struct Case {
        std::string text;
        std::optional<std::string> hostAndPort;
    };
    const std::vector<Case> cases = {
        {"127.0.0.1:8731", "127.0.0.1:8731"},
        {"0.0.0.0:0", "0.0.0.0:0"},
        {"[::1]:80", "[::1]:80"},
        {"127.0.0.1", std::nullopt},
        {"localhost:80", std::nullopt},
        {"127.0.0.1:", std::nullopt},
        {"127.0.0.1:65536", std::nullopt},
        {"127.0.0.1:-1", std::nullopt},
        {"::1:80", std::nullopt},
        {"[::1:80", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text: " + c.text);
        const auto address = ParseListenAddress(c.text);
        EXPECT_EQ(address ? std::optional(address->HostAndPort()) : std::nullopt, c.hostAndPort);
    }
}

}  // namespace
}  // namespace brenvik
