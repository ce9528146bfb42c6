// Generate against a real HTTP server on 127.0.0.1, and the start-up steps
// around the HTTP request object: its creation when the window is created,
// the "系统不支持操作" start-up, and its release after the window has gone.
//
// The service address is read once per process, so one server serves the
// whole executable; each case sets its reply. The unreachable-service case
// stops that server and therefore runs last. (JSON bodies are written as
// plain escaped literals: moc does not read raw string literals here.)

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <memory>

#include "app/exit_routines.h"
#include "app/main_window.h"
#include "app/window_events.h"
#include "app_test_support.h"
#include "automation/class_registry.h"
#include "automation/com_init.h"
#include "shortening/http_request.h"
#include "test_http_server.h"

using brenvik::AutomationObject;
using brenvik::ClassRegistry;
using brenvik::httpRequest;
using brenvik::MainWindow;
using brenvik::testing::CannedResponse;
using brenvik::testing::MessageBoxCatcher;
using brenvik::testing::TestHttpServer;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

CannedResponse Json(const char* body) { return CannedResponse{200, body}; }

// The value of `name` in a form body (application/x-www-form-urlencoded).
QString FormField(const std::string& body, const QString& name) {
    for (const QByteArray& pair : QByteArray::fromStdString(body).split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (QString::fromUtf8(pair.left(equals)) != name) continue;
        QByteArray value = pair.mid(equals + 1);
        value.replace('+', ' ');
        return QString::fromUtf8(QByteArray::fromPercentEncoding(value));
    }
    return QStringLiteral("<missing>");
}

}  // namespace

class GenerateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestHttpServer> server;
    std::unique_ptr<MainWindow> window;

    QString ResultBox() {
        return qobject_cast<QPlainTextEdit*>(window->Control("编辑框3"))->toPlainText();
    }
    void Type(const char* name, const QString& text) {
        qobject_cast<QLineEdit*>(window->Control(name))->setText(text);
    }

    // The start-up steps from the holder to the shown window.
    void StartUp() {
        httpRequest = std::make_unique<AutomationObject>();
        window = std::make_unique<MainWindow>();
        brenvik::OnWindowCreated();
        window->ShowCentred();
    }

    // Presses 按钮2 and returns the boxes it showed; each box's snapshot is
    // the content of 编辑框3 while that box was up.
    std::vector<brenvik::testing::CapturedBox> PressGenerate() {
        MessageBoxCatcher catcher([this] { return ResultBox(); });
        QTest::mouseClick(window->Control("按钮2"), Qt::LeftButton);
        return catcher.Boxes();
    }

private slots:
    void initTestCase() {
        server = std::make_unique<TestHttpServer>();
        qputenv("BRENVIK_SERVICE_URL", QByteArray::fromStdString(server->Url("/create.php")));
        brenvik::OleInitialize();
    }
    void cleanupTestCase() { brenvik::OleUninitialize(); }

    void init() {
        ClassRegistry::Instance().RestoreDefaults();
        StartUp();
    }
    void cleanup() {
        window.reset();
        brenvik::ReleaseGlobals();
        ClassRegistry::Instance().RestoreDefaults();
    }

    void reply_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expectedResult");
        QTest::addColumn<QString>("expectedMessage");
        const QByteArray json = "application/json; charset=utf-8";
        QTest::newRow("both members")
            << 200 << json
            << QByteArray("{\"tinyurl\":\"http://t.example/abc\",\"message\":\"生成成功\"}")
            << "http://t.example/abc" << U("生成成功");
        QTest::newRow("without tinyurl")
            << 200 << json << QByteArray("{\"status\":0,\"message\":\"该短网址已被占用\"}") << ""
            << U("该短网址已被占用");
        QTest::newRow("without message")
            << 200 << json << QByteArray("{\"tinyurl\":\"http://t.example/q\"}")
            << "http://t.example/q"
            << "";
        QTest::newRow("html error page")
            << 500 << QByteArray("text/html")
            << QByteArray("<html><body><h1>500 Internal Server Error</h1></body></html>") << ""
            << "";
        QTest::newRow("empty reply") << 200 << json << QByteArray() << ""
                                     << "";
        QTest::newRow("not an object") << 200 << json << QByteArray("[1,2,3]") << ""
                                       << "";
        QTest::newRow("members of other kinds")
            << 200 << json << QByteArray("{\"tinyurl\":12,\"message\":true}") << "12"
            << "true";
        QTest::newRow("character outside GBK")
            << 200 << json
            << QByteArray(
                   "{\"tinyurl\":\"http://t.example/\xF0\x9F\x98\x80\","
                   "\"message\":\"\xE2\x82\xAC ok\"}")
            << "http://t.example/?" << U("€ ok");
    }

    void reply() {
        QFETCH(int, status);
        QFETCH(QByteArray, contentType);
        QFETCH(QByteArray, body);
        QFETCH(QString, expectedResult);
        QFETCH(QString, expectedMessage);
        server->Respond(CannedResponse{
            status, body.toStdString(), {{"Content-Type", contentType.toStdString()}}});
        window->WriteText("编辑框3", brenvik::Text("left from before"));
        Type("编辑框1", U(" http://example.com/长/路径?a=1&b=2 "));
        Type("编辑框2", U("my alias"));
        const std::size_t before = server->Requests().size();

        const auto boxes = PressGenerate();

        QCOMPARE(server->Requests().size(), before + 1);
        const auto request = server->LastRequest();
        QCOMPARE(request.method, std::string("POST"));
        QCOMPARE(request.path, std::string("/create.php"));
        // The two texts go as they were typed: nothing trimmed or dropped.
        QCOMPARE(FormField(request.body, "url"), U(" http://example.com/长/路径?a=1&b=2 "));
        QCOMPARE(FormField(request.body, "alias"), QStringLiteral("my alias"));

        QCOMPARE(ResultBox(), expectedResult);
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].title, U("信息："));
        QCOMPARE(boxes[0].text, expectedMessage);
        QCOMPARE(boxes[0].snapshot, expectedResult);  // 编辑框3 was written before the box
    }

    void emptyBoxesAreSentAllTheSame() {
        server->Respond(Json("{\"tinyurl\":\"http://t.example/r\",\"message\":\"随机短网址\"}"));
        const auto boxes = PressGenerate();
        const auto request = server->LastRequest();
        QCOMPARE(FormField(request.body, "url"), QString());
        QCOMPARE(FormField(request.body, "alias"), QString());
        QCOMPARE(ResultBox(), QStringLiteral("http://t.example/r"));
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].text, U("随机短网址"));
    }

    void secondPressReplacesTheResultAlsoWhenItFails() {
        Type("编辑框1", QStringLiteral("http://example.com/"));
        server->Respond(Json("{\"tinyurl\":\"http://t.example/one\",\"message\":\"ok\"}"));
        QCOMPARE(PressGenerate().at(0).text, QStringLiteral("ok"));
        QCOMPARE(ResultBox(), QStringLiteral("http://t.example/one"));

        server->Respond(
            CannedResponse{404, "<html>Not Found</html>", {{"Content-Type", "text/html"}}});
        const auto boxes = PressGenerate();
        QCOMPARE(ResultBox(), QString());
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].text, QString());

        server->Respond(Json("{\"tinyurl\":\"http://t.example/three\",\"message\":\"again\"}"));
        QCOMPARE(PressGenerate().at(0).text, QStringLiteral("again"));
        QCOMPARE(ResultBox(), QStringLiteral("http://t.example/three"));
    }

    void startUpWithTheRegisteredHttpClasses_data() {
        QTest::addColumn<QStringList>("unregistered");
        QTest::addColumn<bool>("works");
        QTest::newRow("both classes") << QStringList{} << true;
        QTest::newRow("only Microsoft.XMLHTTP") << QStringList{"MSXML2.XMLHTTP"} << true;
        QTest::newRow("only MSXML2.XMLHTTP") << QStringList{"Microsoft.XMLHTTP"} << true;
        QTest::newRow("neither") << QStringList{"MSXML2.XMLHTTP", "Microsoft.XMLHTTP"} << false;
    }

    void startUpWithTheRegisteredHttpClasses() {
        QFETCH(QStringList, unregistered);
        QFETCH(bool, works);
        cleanup();
        for (const QString& identifier : unregistered) {
            QVERIFY(ClassRegistry::Instance().Unregister(identifier.toStdString()));
        }

        httpRequest = std::make_unique<AutomationObject>();
        window = std::make_unique<MainWindow>();
        {
            MessageBoxCatcher catcher([this] {
                return window->isVisible() ? QStringLiteral("window shown")
                                           : QStringLiteral("window hidden");
            });
            brenvik::OnWindowCreated();
            if (works) {
                QVERIFY(catcher.Boxes().empty());
            } else {
                QCOMPARE(catcher.Boxes().size(), std::size_t(1));
                QCOMPARE(catcher.Boxes()[0].title, U("信息："));
                QCOMPARE(catcher.Boxes()[0].text, U("系统不支持操作"));
                QCOMPARE(catcher.Boxes()[0].snapshot, QStringLiteral("window hidden"));
            }
        }
        QCOMPARE(httpRequest->IsEmpty(), !works);
        window->ShowCentred();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));

        // The window works either way; without a request object every press
        // empties 编辑框3 and shows an empty box, and nothing is sent.
        server->Respond(Json("{\"tinyurl\":\"http://t.example/s\",\"message\":\"ok\"}"));
        window->WriteText("编辑框3", brenvik::Text("old"));
        const std::size_t before = server->Requests().size();
        const auto boxes = PressGenerate();
        QCOMPARE(server->Requests().size(), before + (works ? 1 : 0));
        QCOMPARE(ResultBox(), works ? QStringLiteral("http://t.example/s") : QString());
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].text, works ? QStringLiteral("ok") : QString());
    }

    void requestObjectIsReleasedOnceAfterTheWindowHasGone() {
        QVERIFY(!httpRequest->IsEmpty());
        const std::weak_ptr<brenvik::DispatchObject> object = httpRequest->Get();
        brenvik::RegisterExitRoutine(brenvik::ReleaseGlobals);

        window.reset();
        QVERIFY(!object.expired());
        QVERIFY(httpRequest);

        brenvik::RunExitRoutines();
        QVERIFY(object.expired());
        QVERIFY(!httpRequest);
        brenvik::RunExitRoutines();  // nothing left to run
        brenvik::ReleaseGlobals();   // and a stray second release is harmless
        QVERIFY(!httpRequest);
    }

    // Last: stops the one server.
    void serviceUnreachable() {
        server->Respond(Json("{\"tinyurl\":\"http://t.example/x\",\"message\":\"ok\"}"));
        QCOMPARE(PressGenerate().at(0).text, QStringLiteral("ok"));
        server.reset();

        const auto boxes = PressGenerate();
        QCOMPARE(ResultBox(), QString());
        QCOMPARE(boxes.size(), std::size_t(1));
        QCOMPARE(boxes[0].title, U("信息："));
        QCOMPARE(boxes[0].text, QString());
    }
};

QTEST_MAIN(GenerateTest)
#include "tst_generate.moc"
