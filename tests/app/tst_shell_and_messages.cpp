// What reaches the user outside the window: the message box, the opener that
// Open and the two links hand their text to, and the links' colours.

#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/hyperlink_box.h"
#include "app/main_window.h"
#include "app/publisher.h"
#include "app/show_message.h"
#include "app_test_support.h"

using brenvik::HyperlinkBox;
using brenvik::MainWindow;
using brenvik::Text;
using brenvik::testing::MessageBoxCatcher;
using brenvik::testing::RecordingOpener;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// True when some pixel of the rendered link is exactly `colour`.
bool IsDrawnIn(HyperlinkBox* link, QColor colour) {
    const QImage image = link->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) return true;
        }
    }
    return false;
}

}  // namespace

class ShellAndMessagesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RecordingOpener> opener;
    std::unique_ptr<MainWindow> window;

    HyperlinkBox* Link(const char* name) {
        return qobject_cast<HyperlinkBox*>(window->Control(name));
    }

    // Moves the pointer through the window system, as a real pointer would, to
    // `point` in the main window's coordinates.
    void MovePointerTo(QPoint point) {
        QTest::mouseMove(window->windowHandle(), point);
        QCoreApplication::processEvents();
    }

    // Waits (up to 5 s) for the stand-in to have been called `count` times in all.
    std::vector<QStringList> WaitForCalls(std::size_t count) {
        static_cast<void>(QTest::qWaitFor([&] { return opener->Calls().size() >= count; }, 5000));
        return opener->Calls();
    }

private slots:
    void init() {
        opener = std::make_unique<RecordingOpener>();
        window = std::make_unique<MainWindow>();
        window->ShowCentred();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        opener.reset();
    }

    void showMessageBox_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::newRow("Chinese message") << QByteArray("生成成功");
        QTest::newRow("null text gives an empty box") << QByteArray();
        QTest::newRow("markup shown as it stands") << QByteArray("<b>粗</b> & more");
        QTest::newRow("several lines") << QByteArray("第一行\n第二行");
    }

    void showMessageBox() {
        QFETCH(QByteArray, utf8);
        MessageBoxCatcher catcher([this] {
            // While the box is up the main window receives no input.
            return QApplication::activeModalWidget() != window.get() ? QStringLiteral("blocked")
                                                                     : QString();
        });
        brenvik::ShowMessage(utf8.isNull() ? Text() : Text::FromUtf8(utf8.toStdString()));

        QCOMPARE(catcher.Boxes().size(), std::size_t(1));
        const auto& box = catcher.Boxes().front();
        QCOMPARE(box.title, U("信息："));
        QCOMPARE(box.text, QString::fromUtf8(utf8));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons.size(), qsizetype(1));
        QVERIFY(box.hasOkButton);
        QVERIFY(!box.hasOwner);
        QCOMPARE(box.modality, Qt::ApplicationModal);
        QCOMPARE(box.textFormat, Qt::PlainText);
        QCOMPARE(box.snapshot, QStringLiteral("blocked"));
    }

    void openHandsTheResultBoxTextUnchanged_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("short address") << QStringLiteral("http://t.example/abc");
        QTest::newRow("empty box") << QString();
        QTest::newRow("not an address") << U("随便 什么");
        QTest::newRow("blanks kept") << QStringLiteral("  http://t.example/x  ");
        QTest::newRow("multi-line") << QStringLiteral("line one\nline two");
        QTest::newRow("shell characters") << QStringLiteral("a;b|c $(id) `id` 'q' \"d\" &e *");
        QTest::newRow("option-like") << QStringLiteral("--help");
    }

    void openHandsTheResultBoxTextUnchanged() {
        QFETCH(QString, text);
        qobject_cast<QPlainTextEdit*>(window->Control("编辑框3"))->setPlainText(text);
        MessageBoxCatcher catcher;
        QTest::mouseClick(window->Control("按钮1"), Qt::LeftButton);

        const auto calls = WaitForCalls(1);
        QCOMPARE(calls.size(), std::size_t(1));
        QCOMPARE(calls[0], QStringList{text});
        QTest::qWait(50);
        QVERIFY(catcher.Boxes().empty());
    }

    void openWithoutAnOpenerShowsNothing() {
        opener->MakeUnavailable();
        MessageBoxCatcher catcher;
        QTest::mouseClick(window->Control("按钮1"), Qt::LeftButton);
        QTest::qWait(50);
        QVERIFY(catcher.Boxes().empty());
    }

    void linkPressOpensThePublisherSite_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("超级链接框1") << U("超级链接框1");
        QTest::newRow("超级链接框2") << U("超级链接框2");
    }

    void linkPressOpensThePublisherSite() {
        QFETCH(QString, name);
        auto* link = qobject_cast<HyperlinkBox*>(window->Control(name.toStdString()));
        QVERIFY(link);
        QCOMPARE(link->TextColour(), HyperlinkBox::kNormalColour);
        QVERIFY(IsDrawnIn(link, HyperlinkBox::kNormalColour));

        // The press opens; the release adds nothing.
        QTest::mousePress(link, Qt::LeftButton);
        const auto calls = WaitForCalls(1);
        QCOMPARE(calls.size(), std::size_t(1));
        QCOMPARE(calls[0], QStringList{U(brenvik::kPublisherWebAddress)});
        QVERIFY(link->IsOpened());
        QTest::mouseRelease(link, Qt::LeftButton);
        QTest::qWait(50);
        QCOMPARE(opener->Calls().size(), std::size_t(1));

        // Leave the pointer away from the link: the opened colour shows.
        MovePointerTo(QPoint(200, 5));
        QCOMPARE(link->TextColour(), HyperlinkBox::kOpenedColour);
        QVERIFY(IsDrawnIn(link, HyperlinkBox::kOpenedColour));

        // Only the left button opens.
        QTest::mousePress(link, Qt::RightButton);
        QTest::qWait(50);
        QCOMPARE(opener->Calls().size(), std::size_t(1));
    }

    void linkColoursFollowThePointer() {
        HyperlinkBox* link = Link("超级链接框1");
        HyperlinkBox* other = Link("超级链接框2");

        MovePointerTo(link->geometry().center());
        QTRY_VERIFY(link->IsPointerOver());
        QCOMPARE(QWidget::mouseGrabber(), link);
        QCOMPARE(link->TextColour(), HyperlinkBox::kPointerOverColour);
        QVERIFY(IsDrawnIn(link, HyperlinkBox::kPointerOverColour));
        QVERIFY(!IsDrawnIn(link, HyperlinkBox::kNormalColour));
        QCOMPARE(other->TextColour(), HyperlinkBox::kNormalColour);

        // Opened while the pointer is over it: the pointer colour still wins.
        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
        QCOMPARE(WaitForCalls(1).size(), std::size_t(1));
        QVERIFY(link->IsOpened());
        QCOMPARE(link->TextColour(), HyperlinkBox::kPointerOverColour);

        MovePointerTo(QPoint(200, 60));
        QTRY_VERIFY(!link->IsPointerOver());
        QCOMPARE(QWidget::mouseGrabber(), nullptr);
        QCOMPARE(link->TextColour(), HyperlinkBox::kOpenedColour);
        QVERIFY(IsDrawnIn(link, HyperlinkBox::kOpenedColour));
    }

    void failedOpenClearsTheOpenedState() {
        HyperlinkBox* link = Link("超级链接框2");
        QTest::mousePress(link, Qt::LeftButton);
        QCOMPARE(WaitForCalls(1).size(), std::size_t(1));
        QVERIFY(link->IsOpened());

        opener->MakeUnavailable();
        MessageBoxCatcher catcher;
        QTest::mousePress(link, Qt::LeftButton);
        QVERIFY(!link->IsOpened());
        MovePointerTo(QPoint(200, 5));
        QCOMPARE(link->TextColour(), HyperlinkBox::kNormalColour);
        QVERIFY(IsDrawnIn(link, HyperlinkBox::kNormalColour));
        QVERIFY(catcher.Boxes().empty());

        opener->MakeAvailable();
        QTest::mousePress(link, Qt::LeftButton);
        QCOMPARE(WaitForCalls(2).size(), std::size_t(2));
        QVERIFY(link->IsOpened());
    }
};

QTEST_MAIN(ShellAndMessagesTest)
#include "tst_shell_and_messages.moc"
