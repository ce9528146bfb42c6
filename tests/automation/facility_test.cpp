#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "automation/class_registry.h"
#include "automation/variant_conversion.h"
#include "automation_fixture.h"

namespace brenvik {
namespace {

using testing::AutomationTest;

// A class of the tests' own: records what its members receive and answers
// with whatever the test put in `reply`.
class Recorder final : public DispatchObject {
public:
    static inline std::vector<Variant> received;
    static inline Variant reply;
    static inline bool runs = true;

    enum { kOpen, kEcho, kFail, kThrow, kGetValue, kPutValue };
    std::span<const MemberInfo> Members() const override {
        static constexpr MemberInfo members[] = {
            {"Open", MemberKind::Method, 3, kOpen},
            {"Echo", MemberKind::Method, 0, kEcho},
            {"Fail", MemberKind::Method, 0, kFail},
            {"Throw", MemberKind::Method, 0, kThrow},
            {"Value", MemberKind::PropertyGet, 0, kGetValue},
            {"Value", MemberKind::PropertyPut, 1, kPutValue},
        };
        return members;
    }
    bool Invoke(int id, std::span<const Variant> args, Variant& result) override {
        received.assign(args.begin(), args.end());
        switch (id) {
            case kFail: return false;
            case kThrow: throw std::runtime_error("raised by the object");
            case kPutValue: value_ = args[0]; return true;
            case kGetValue: result = value_; return true;
            default: result = reply; return true;
        }
    }
    bool Run() override { return runs; }

private:
    Variant value_;
};

class FacilityTest : public AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        ClassRegistry::Instance().Register("Test.Recorder",
                                           "{00000000-0000-0000-0000-0000000000AA}",
                                           [] { return std::make_shared<Recorder>(); });
        Recorder::received.clear();
        Recorder::reply = Variant();
        Recorder::runs = true;
        ASSERT_TRUE(CreateObject(recorder, "Test.Recorder"));
    }
    void TearDown() override {
        ClearObject(recorder);
        ClassRegistry::Instance().RestoreDefaults();
        AutomationTest::TearDown();
    }
    AutomationObject recorder;
};

TEST_F(FacilityTest, CreatesByProgIdWithoutRegardToCaseOrByClassId) {
    AutomationObject a;
    EXPECT_TRUE(CreateObject(a, "test.RECORDER"));
    EXPECT_TRUE(CreateObject(a, "{00000000-0000-0000-0000-0000000000aa}"));
    EXPECT_FALSE(CreateObject(a, "Test.Recorder.{"));
    EXPECT_FALSE(a.IsEmpty());
}

TEST_F(FacilityTest, FailedCreationLeavesThePreviousObject) {
    const auto previous = recorder.Get();
    EXPECT_FALSE(CreateObject(recorder, "No.Such.Object"));
    EXPECT_EQ(recorder.Get(), previous);

    Recorder::runs = false;  // an object that cannot be put into its running state
    EXPECT_FALSE(CreateObject(recorder, "Test.Recorder"));
    EXPECT_EQ(recorder.Get(), previous);
}

TEST_F(FacilityTest, CreationNeedsAnInitialisedThread) {
    bool created = true;
    bool createdAfterInit = false;
    std::thread([&] {
        AutomationObject holder;
        created = CreateObject(holder, "Test.Recorder");
        CoInitialize(nullptr);
        CoInitialize(nullptr);  // nested: counted
        CoUninitialize();
        createdAfterInit = CreateObject(holder, "Test.Recorder");
        CoUninitialize();
        CoUninitialize();  // one too many: does no harm
        CoUninitialize();
        EXPECT_FALSE(IsAutomationInitialized());
        EXPECT_EQ(CoInitialize(nullptr), S_OK);
        EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
        CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_FALSE(created);
    EXPECT_TRUE(createdAfterInit);
}

TEST_F(FacilityTest, EveryCallOnAnEmptyHolderGivesTheEmptyValue) {
    AutomationObject empty;
    CallMethod(empty, "Echo");
    EXPECT_TRUE(CallMethod<Variant>(empty, "Echo").IsEmpty());
    EXPECT_EQ(CallMethod<Text>(empty, "Echo"), Text());
    EXPECT_EQ(CallMethod<double>(empty, "Echo"), 0);
    EXPECT_FALSE(CallMethod<bool>(empty, "Echo"));
    EXPECT_TRUE(GetProperty(empty, "Value").IsEmpty());
    EXPECT_FALSE(SetProperty(empty, "Value", 1));
}

TEST_F(FacilityTest, MemberNamesMatchWithoutRegardToCaseAndKind) {
    Recorder::reply = Variant(u"hi");
    EXPECT_EQ(CallMethod<Text>(recorder, "eCHO"), Text("hi"));
    EXPECT_EQ(CallMethod<Text>(recorder, "NoSuchMember"), Text());
    EXPECT_TRUE(SetProperty(recorder, "VALUE", 7));
    EXPECT_EQ(CallMethod<double>(recorder, "value"), 0);  // a property is not a method
    EXPECT_EQ(GetProperty(recorder, "value").AsInt32(), 7);
}

TEST_F(FacilityTest, OmittedArgumentsAtTheEndAreDroppedAndBeforeAGivenOneAreMissing) {
    CallMethod(recorder, "Open", {omitted});
    EXPECT_TRUE(Recorder::received.empty());

    CallMethod(recorder, "Open", {omitted, 5, omitted});
    ASSERT_EQ(Recorder::received.size(), 2u);
    EXPECT_EQ(Recorder::received[0].Type(), VariantType::Missing);
    EXPECT_EQ(Recorder::received[1].AsInt32(), 5);
}

TEST_F(FacilityTest, ArgumentsAreConvertedAndTooManyOrBytesFail) {
    Variant bytes;
    BytesToVariant(bytes, Bytes{1, 2});
    CallMethod(recorder, "Open", {Text("\xD6\xD0"), true, bytes});
    ASSERT_EQ(Recorder::received.size(), 3u);
    EXPECT_EQ(Recorder::received[0].AsString(), u"中");
    EXPECT_TRUE(Recorder::received[1].AsBoolean());
    EXPECT_EQ(Recorder::received[2].AsByteArray(), (Bytes{1, 2}));

    Recorder::received.clear();
    Recorder::reply = Variant(u"reached");
    EXPECT_EQ(CallMethod<Text>(recorder, "Open", {1, 2, 3, 4}), Text());
    EXPECT_EQ(CallMethod<Text>(recorder, "Open", {Bytes{1}}), Text());
    EXPECT_TRUE(Recorder::received.empty());
}

TEST_F(FacilityTest, ErrorsRaisedByTheObjectNeverEscape) {
    Recorder::reply = Variant(u"x");
    EXPECT_EQ(CallMethod<Text>(recorder, "Fail"), Text());
    EXPECT_EQ(CallMethod<Text>(recorder, "Throw"), Text());
    EXPECT_TRUE(CallMethod<Variant>(recorder, "Throw").IsEmpty());
}

struct ResultCase {
    const char* name;
    Variant reply;
    const char* text;  // nullptr: the conversion fails
    double number;
    bool flag;
};

TEST_F(FacilityTest, ResultsConvertToTheKindAskedFor) {
    const double nan = std::nan("");
    const ResultCase cases[] = {
        {"empty", Variant(), "", 0, false},
        {"null fails", Variant::Null(), nullptr, 0, false},
        {"true", Variant(true), "true", -1, true},
        {"false", Variant(false), "false", 0, false},
        {"int32", Variant(std::int32_t{-42}), "-42", -42, true},
        {"whole double", Variant(3.0), "3", 3, true},
        {"fraction", Variant(0.1), "0.1", 0.1, true},
        {"large", Variant(1e21), "1e+21", 1e21, true},
        {"small", Variant(1.5e-7), "1.5e-7", 1.5e-7, true},
        {"negative zero", Variant(-0.0), "0", 0, false},
        {"nan", Variant(nan), "NaN", nan, true},
        {"number text", Variant(u" 12.5 "), " 12.5 ", 12.5, true},
        {"word text", Variant(u"abc"), "abc", 0, false},
        {"text true", Variant(u"True"), "True", 0, true},
        {"chinese text", Variant(u"中文"), "\xD6\xD0\xCE\xC4", 0, false},
        {"text ends at NUL", Variant(std::u16string(u"ab\0c", 4)), "ab", 0, false},
        {"bytes", Variant(Bytes{1}), nullptr, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder::reply = c.reply;
        EXPECT_EQ(CallMethod<Text>(recorder, "Echo"), Text(c.text ? c.text : ""));
        const double number = CallMethod<double>(recorder, "Echo");
        if (std::isnan(c.number)) {
            EXPECT_TRUE(std::isnan(number));
        } else {
            EXPECT_EQ(number, c.number);
        }
        EXPECT_EQ(CallMethod<bool>(recorder, "Echo"), c.flag);
    }
}

TEST(NumberFormatTest, FollowsJavaScriptLayout) {
    const std::pair<double, const char*> cases[] = {
        {1, "1"},
        {-1.25, "-1.25"},
        {123456789012345680000.0, "123456789012345680000"},
        {1e21, "1e+21"},
        {0.000001, "0.000001"},
        {1e-7, "1e-7"},
        {1.7976931348623157e308, "1.7976931348623157e+308"},
        {5e-324, "5e-324"},
        {0.30000000000000004, "0.30000000000000004"},
    };
    for (const auto& [value, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(FormatNumber(value), text);
    }
}

TEST_F(FacilityTest, ShareObjectAddsAReferenceAndClearReleasesOne) {
    std::weak_ptr<DispatchObject> watch = recorder.Get();
    AutomationObject shared;
    ShareObject(shared, recorder);
    EXPECT_EQ(shared.Get(), recorder.Get());
    ClearObject(recorder);
    EXPECT_TRUE(recorder.IsEmpty());
    EXPECT_FALSE(watch.expired());
    ClearObject(shared);
    EXPECT_TRUE(watch.expired());

    AutomationObject fromEmpty;
    ShareObject(fromEmpty, recorder);
    EXPECT_TRUE(fromEmpty.IsEmpty());
}

TEST(VariantBytesTest, ConvertsByteArraysAndStringsOnly) {
    Variant v;
    BytesToVariant(v, Bytes{});
    EXPECT_EQ(v.Type(), VariantType::ByteArray);
    EXPECT_TRUE(VariantToBytes(v).empty());
    BytesToVariant(v, Bytes{0, 255});
    EXPECT_EQ(VariantToBytes(v), (Bytes{0, 255}));
    EXPECT_EQ(VariantToBytes(Variant(u"A\u4E2D")), (Bytes{0x41, 0x00, 0x2D, 0x4E}));
    EXPECT_TRUE(VariantToBytes(Variant(3.0)).empty());
    EXPECT_TRUE(VariantToBytes(Variant::Null()).empty());
    ClearVariant(v);
    EXPECT_TRUE(v.IsEmpty());
}

}  // namespace
}  // namespace brenvik
