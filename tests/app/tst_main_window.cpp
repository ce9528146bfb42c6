// The main window as it opens: frame, placement, every control's geometry,
// text and look, focus and Tab order, and the behaviour of the edit boxes.

#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <memory>

#include "app/control_table.h"
#include "app/hyperlink_box.h"
#include "app/main_window.h"
#include "app/publisher.h"

using brenvik::HyperlinkBox;
using brenvik::MainWindow;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QString ClassOf(const QWidget* widget) {
    if (qobject_cast<const HyperlinkBox*>(widget)) return QStringLiteral("hyperlink");
    if (qobject_cast<const QLabel*>(widget)) return QStringLiteral("label");
    if (qobject_cast<const QLineEdit*>(widget)) return QStringLiteral("line edit");
    if (qobject_cast<const QPlainTextEdit*>(widget)) return QStringLiteral("multi-line edit");
    if (qobject_cast<const QPushButton*>(widget)) return QStringLiteral("push button");
    return QStringLiteral("other");
}

QString TextOf(const QWidget* widget) {
    if (auto* link = qobject_cast<const HyperlinkBox*>(widget)) return link->Caption();
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
    if (auto* box = qobject_cast<const QPlainTextEdit*>(widget)) return box->toPlainText();
    if (auto* button = qobject_cast<const QPushButton*>(widget)) return button->text();
    return {};
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window;

    QWidget* Control(const char* name) { return window->Control(name); }

private slots:
    void init() {
        window = std::make_unique<MainWindow>();
        window->ShowCentred();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { window.reset(); }

    void createdHiddenWithAllControls() {
        MainWindow hidden;
        QVERIFY(!hidden.isVisible());
        QCOMPARE(hidden.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
                 qsizetype(9));
        QCOMPARE(hidden.Control("没有这个控件"), nullptr);
    }

    void windowFrameAndPlacement() {
        QVERIFY(window->windowTitle().startsWith(U("Brenvik短网址生成器  ")));
        QCOMPARE(window->windowTitle(), U("Brenvik短网址生成器  ") + U(brenvik::kPublisherContact));

        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(window->size(), QSize(416, 146));

        // Centred on the whole primary screen by the 422 x 175 outer size.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(window->frameGeometry().topLeft(),
                 QPoint(screen.x() + (screen.width() - 422) / 2,
                        screen.y() + (screen.height() - 175) / 2));

        // The layout fits the client area with a margin on the right and below.
        for (QWidget* control :
             window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY2(window->rect().contains(control->geometry()),
                     qPrintable(control->objectName()));
        }
        QCOMPARE(window->palette().color(QPalette::Window),
                 window->palette().color(QPalette::Button));
        QVERIFY(!window->windowIcon().pixmap(32).isNull());
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("takesFocus");
        QTest::newRow("标签1") << U("标签1") << "label" << QRect(13, 12, 59, 24) << U("缩短网址：")
                               << false;
        QTest::newRow("编辑框1") << U("编辑框1") << "line edit" << QRect(80, 16, 328, 20) << ""
                                 << true;
        QTest::newRow("标签2") << U("标签2") << "label" << QRect(14, 40, 136, 24)
                               << U("自定义短网址(至少1位)") << false;
        QTest::newRow("编辑框2") << U("编辑框2") << "line edit" << QRect(157, 43, 163, 20) << ""
                                 << true;
        QTest::newRow("按钮2") << U("按钮2") << "push button" << QRect(328, 41, 80, 24) << U("生成")
                               << true;
        QTest::newRow("编辑框3") << U("编辑框3") << "multi-line edit" << QRect(16, 76, 304, 28)
                                 << "" << true;
        QTest::newRow("按钮1") << U("按钮1") << "push button" << QRect(328, 78, 80, 26) << U("打开")
                               << true;
        QTest::newRow("超级链接框1") << U("超级链接框1") << "hyperlink" << QRect(16, 107, 80, 24)
                                     << U("Tarnwell社区") << false;
        QTest::newRow("超级链接框2") << U("超级链接框2") << "hyperlink" << QRect(328, 107, 80, 24)
                                     << U("联系Brenvik") << false;
    }

    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(bool, takesFocus);

        QWidget* control = window->Control(name.toStdString());
        QVERIFY(control);
        QCOMPARE(ClassOf(control), kind);
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(TextOf(control), text);
        QVERIFY(control->isVisible());
        QVERIFY(control->isEnabled());
        QCOMPARE(control->focusPolicy() != Qt::NoFocus, takesFocus);
        QCOMPARE(control->font(), QApplication::font());

        if (kind == "line edit" || kind == "multi-line edit") {
            QCOMPARE(control->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(control->palette().color(QPalette::Text), QColor(Qt::black));
        }
        if (auto* line = qobject_cast<QLineEdit*>(control)) {
            QVERIFY(!line->isReadOnly());
            QCOMPARE(line->echoMode(), QLineEdit::Normal);
            QVERIFY(line->hasFrame());
            QCOMPARE(line->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        }
        if (auto* label = qobject_cast<QLabel*>(control)) {
            QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
            QCOMPARE(label->frameShape(), QFrame::NoFrame);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
        }
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QVERIFY(!button->isDefault());
            QVERIFY(!button->autoDefault());
        }
        if (auto* link = qobject_cast<HyperlinkBox*>(control)) {
            QCOMPARE(link->frameShape(), QFrame::WinPanel);
            QCOMPARE(link->frameShadow(), QFrame::Raised);
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
            QCOMPARE(link->Target(), brenvik::Text(brenvik::kPublisherWebAddress));
        }
    }

    // The table the window is built from says the same as the window.
    void controlTableMatchesWindow() {
        for (const brenvik::ControlDescription& d : brenvik::kMainWindowControls) {
            QWidget* control = window->Control(d.name);
            QVERIFY(control);
            QCOMPARE(control->geometry(), QRect(d.x, d.y, d.width, d.height));
        }
    }

    void focusStartsInFirstBoxAndTabCycles() {
        QCOMPARE(QApplication::focusWidget(), Control("编辑框1"));
        const char* order[] = {"编辑框2", "按钮2", "编辑框3", "按钮1", "编辑框1"};
        for (const char* expected : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), U(expected));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), U("按钮1"));
    }

    void lineEditsHaveNoLengthLimit() {
        const QString longText(40000, QLatin1Char('a'));
        for (const char* name : {"编辑框1", "编辑框2"}) {
            auto* box = qobject_cast<QLineEdit*>(Control(name));
            box->setText(longText);
            QCOMPARE(box->text().size(), longText.size());
            QCOMPARE(window->ReadText(name).Length(), std::size_t(40000));
            box->setFocus();
            box->end(false);
            QTest::keyClicks(box, "bc");
            QCOMPARE(box->text().size(), longText.size() + 2);
        }
    }

    void resultBoxTakesEnterAsLineBreakAndTabAsFocusMove() {
        auto* box = qobject_cast<QPlainTextEdit*>(Control("编辑框3"));
        box->setFocus();
        QTest::keyClicks(box, "abc");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, "def");
        QCOMPARE(box->toPlainText(), QStringLiteral("abc\ndef"));
        QCOMPARE(window->ReadText("编辑框3"), brenvik::Text("abc\ndef"));
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(box->toPlainText(), QStringLiteral("abc\ndef"));
        QCOMPARE(QApplication::focusWidget()->objectName(), U("按钮1"));
    }

    void resultBoxWrapsAndFollowsTheCaretWithoutScrollBars() {
        auto* box = qobject_cast<QPlainTextEdit*>(Control("编辑框3"));
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(!box->isReadOnly());
        box->setFocus();
        // One long word: it must break inside the word, not scroll sideways.
        QTest::keyClicks(box, QString(120, QLatin1Char('x')));
        QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
        QVERIFY(box->document()->firstBlock().layout()->lineCount() > 2);
        QVERIFY2(box->verticalScrollBar()->value() > 0, "the view follows the caret down");
        QVERIFY(box->cursorRect().bottom() <= box->viewport()->height());
    }

    void closingTheWindowEndsTheMessageLoop() {
        QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
        QTimer::singleShot(0, window.get(), &QWidget::close);
        QTimer bound;  // ends a loop that would otherwise never end
        bound.setSingleShot(true);
        connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        bound.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(lastWindowClosed.count(), 1);
    }

    void writeTextReplacesAndReadTextRoundTripsChinese() {
        const brenvik::Text chinese = brenvik::Text::FromUtf8("短网址：http://t.example/中文");
        window->WriteText("编辑框3", brenvik::Text("old"));
        window->WriteText("编辑框3", chinese);
        QCOMPARE(window->ReadText("编辑框3"), chinese);
        QCOMPARE(TextOf(Control("编辑框3")), U("短网址：http://t.example/中文"));
        window->WriteText("编辑框3", brenvik::Text());
        QCOMPARE(TextOf(Control("编辑框3")), QString());
        QVERIFY(window->ReadText("编辑框3").IsEmpty());
        QVERIFY(window->ReadText("标签1").IsEmpty());  // not an edit box
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
