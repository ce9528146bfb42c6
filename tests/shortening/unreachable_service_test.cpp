#include <gtest/gtest.h>

#include "../automation/automation_fixture.h"
#include "shortening/http_request.h"
#include "shortening/request_short_url.h"

namespace brenvik {
namespace {

// Run with BRENVIK_SERVICE_URL naming a loopback port where nothing listens.
TEST(UnreachableServiceTest, GivesTheEmptyText) {
    ASSERT_NE(ServiceUrl().view().find("127.0.0.1:1/"), std::string_view::npos) << ServiceUrl();
    OleInitialize(nullptr);
    httpRequest = std::make_unique<AutomationObject>();
    ASSERT_TRUE(CreateObject(*httpRequest, "MSXML2.XMLHTTP"));
    EXPECT_EQ(RequestShortUrl("https://example.com/", "x"), Text());
    httpRequest.reset();
    OleUninitialize();
}

}  // namespace
}  // namespace brenvik
