// Construction, copies, Destroy and the thread's automation initialisation,
// and the behaviour of every operation when there is no script engine.
#include <gtest/gtest.h>

#include <utility>

#include "automation/class_registry.h"
#include "json_test_rows.h"

namespace brenvik::testing {
namespace {

constexpr const char* kEngineId = "MSScriptControl.ScriptControl";

class JsonObjectLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(IsAutomationInitialized()) << "a test left COM initialised";
    }
    void TearDown() override {
        EXPECT_FALSE(IsAutomationInitialized()) << "unbalanced CoUninitialize";
    }

    static bool CanCreateObjects() {
        AutomationObject probe;
        return CreateObject(probe, kEngineId);
    }
};

TEST_F(JsonObjectLifecycle, ManyReadsIntoNewObjectsKeepTheThreadInitialised) {
    JsonObject json;
    ASSERT_TRUE(json.Parse(T(R"({"a":{"b":1},"l":[[1],[2]]})")));
    for (int i = 0; i < 40; ++i) {
        JsonObject member = json.GetMemberObject(T("a"));
        JsonObject item = json.GetItemObject(i % 2, T("l"));
        ASSERT_EQ(member.ToText().str(), R"({"b":1})");
        member.Destroy();
        // `item` is left to its destructor.
    }
    EXPECT_TRUE(IsAutomationInitialized());
    EXPECT_TRUE(CanCreateObjects());
    EXPECT_EQ(json.GetText(T("a.b"), false).str(), "1");
    json.Destroy();
}

TEST_F(JsonObjectLifecycle, NestsInsideTheApplicationsOleInitialisation) {
    OleInitialize(nullptr);
    {
        JsonObject json;
        JsonObject member = json.GetMemberObject(T(""));
        JsonObject copy = json.Copy();
        json.Destroy();
        copy.Destroy();
        member.Destroy();
    }
    EXPECT_TRUE(CanCreateObjects());
    OleUninitialize();
}

TEST_F(JsonObjectLifecycle, CopySharesTheDocument) {
    JsonObject json;
    ASSERT_TRUE(json.Parse(T(R"({"a":1})")));
    JsonObject copy = json.Copy();
    EXPECT_EQ(copy.varName.str(), "da");
    EXPECT_EQ(copy.engine.Get(), json.engine.Get());
    copy.Clear();
    EXPECT_EQ(json.ToText().str(), "{}");
    json.SetNumber(T("n"), 2);
    json.Destroy();
    EXPECT_TRUE(json.engine.IsEmpty());
    EXPECT_EQ(copy.ToText().str(), R"({"n":2})");
    EXPECT_TRUE(IsAutomationInitialized());
    copy.Destroy();
}

TEST_F(JsonObjectLifecycle, DestroyTwiceAndDestructorUndoOnlyTheirOwnInitialisation) {
    CoInitialize(nullptr);  // the caller's own, which must survive
    {
        JsonObject json;
        json.Destroy();
        json.Destroy();
        JsonObject left;  // ended by its destructor
    }
    EXPECT_TRUE(IsAutomationInitialized());
    CoUninitialize();
}

TEST_F(JsonObjectLifecycle, MovingHandsOverTheEngineAndTheInitialisation) {
    JsonObject source;
    source.SetNumber(T("n"), 1);
    JsonObject moved = std::move(source);
    source.Destroy();  // moved from: nothing left to give back
    EXPECT_TRUE(IsAutomationInitialized());
    EXPECT_EQ(moved.ToText().str(), R"({"n":1})");

    JsonObject other;
    other = std::move(moved);  // other's own engine and initialisation are given up
    EXPECT_EQ(other.ToText().str(), R"({"n":1})");
    other.Destroy();
}

// No class under the engine's identifier: every operation gives its empty value.
class JsonObjectWithoutEngine : public JsonObjectLifecycle {
protected:
    void SetUp() override {
        JsonObjectLifecycle::SetUp();
        ASSERT_TRUE(ClassRegistry::Instance().Unregister(kEngineId));
    }
    void TearDown() override {
        ClassRegistry::Instance().RestoreDefaults();
        JsonObjectLifecycle::TearDown();
    }
};

TEST_F(JsonObjectWithoutEngine, EveryOperationGivesItsEmptyValue) {
    const std::vector<Row> rows = {
        {"", BRENVIK_CALL(Parse(T(R"({"a":1})"))), "false"},
        {"", BRENVIK_CALL(ToText()), ""},
        {"", BRENVIK_CALL(GetText(T("a"), false)), ""},
        {"", BRENVIK_CALL(GetText(T("a"), true)), ""},
        {"", BRENVIK_CALL(GetNumber(T("a"))), "0"},
        {"", BRENVIK_CALL(GetMemberJson(T("a"))), ""},
        {"", BRENVIK_CALL(GetMemberObject(T("a"))), ""},
        {"", BRENVIK_CALL(GetCount(T(""))), "0"},
        {"", BRENVIK_CALL(GetItemObject(0, T(""))), ""},
        {"", BRENVIK_CALL(GetItem(0, T(""), true)), ""},
        {"", BRENVIK_CALL(HasMember(T("a"))), "false"},
        {"", BRENVIK_CALL(GetType(T(""))), "-1"},
        {"", "GetMemberNames",
         [](JsonObject& j) {
             std::vector<Text> names = {Text("stale")};
             j.GetMemberNames(names, T(""));
             return Show(names);
         },
         ""},
        {"", "every setter",
         [](JsonObject& j) {
             j.Clear();
             j.SetMember(T("a"), T("x"), false);
             j.SetMember(T("a"), T("1"), true);
             j.SetMemberRaw(T("a"), T("1"));
             j.SetNumber(T("a"), 1);
             j.AppendItem(T("x"), T(""), false);
             j.SetItem(0, T("x"), false);
             j.RemoveItem(0);
             j.Reset(JsonType::TypeArray);
             j.Assign(T("x"), false);
             return Show(j.ToText());
         },
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        JsonObject json;
        EXPECT_TRUE(json.engine.IsEmpty());
        EXPECT_EQ(json.varName.str(), "da");
        EXPECT_EQ(row.run(json), row.expected);
        JsonObject copy = json.Copy();
        EXPECT_TRUE(copy.engine.IsEmpty());
    }
}

}  // namespace
}  // namespace brenvik::testing
