#include "app/main_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <limits>

#include "app/commands.h"
#include "app/control_table.h"
#include "app/hyperlink_box.h"
#include "app/publisher.h"
#include "app/qt_text.h"

namespace brenvik {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Black text on white, as edit boxes are drawn whatever the theme.
void PaintBlackOnWhite(QWidget& box) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    box.setPalette(palette);
}

QWidget* CreateControl(const ControlDescription& description, QWidget* window) {
    const QString text = FromUtf8(description.text);
    switch (description.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, window);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setFocusPolicy(Qt::NoFocus);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, Qt::black);
            label->setPalette(palette);
            return label;
        }
        case ControlKind::LineEdit: {
            auto* box = new QLineEdit(text, window);
            // QLineEdit stops at 32767 characters unless told otherwise.
            box->setMaxLength(std::numeric_limits<int>::max());
            box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            PaintBlackOnWhite(*box);
            return box;
        }
        case ControlKind::MultiLineEdit: {
            auto* box = new QPlainTextEdit(text, window);
            box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            // Enter breaks the line; Tab moves on instead of inserting a tab.
            box->setTabChangesFocus(true);
            box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            PaintBlackOnWhite(*box);
            return box;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, window);
            button->setAutoDefault(false);
            button->setDefault(false);
            return button;
        }
        case ControlKind::Hyperlink:
            return new HyperlinkBox(text, Text(kPublisherWebAddress), window);
    }
    return nullptr;
}

}  // namespace

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(FromUtf8(kProductName) + QStringLiteral("  ") + FromUtf8(kPublisherContact));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brenvik-shorturl.svg")));
    setFixedSize(kClientWidth, kClientHeight);
    // The 3-D face colour is the colour of push buttons.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);

    for (const ControlDescription& description : kMainWindowControls) {
        QWidget* control = CreateControl(description, this);
        control->setObjectName(FromUtf8(description.name));
        control->setGeometry(description.x, description.y, description.width, description.height);
    }

    connect(qobject_cast<QPushButton*>(Control("按钮2")), &QPushButton::clicked, this,
            [this] { OnGenerateClicked(*this); });
    connect(qobject_cast<QPushButton*>(Control("按钮1")), &QPushButton::clicked, this,
            [this] { OnOpenClicked(*this); });
    Control("编辑框1")->setFocus();
}

QWidget* MainWindow::Control(std::string_view name) const {
    return findChild<QWidget*>(FromUtf8(name), Qt::FindDirectChildrenOnly);
}

Text MainWindow::ReadText(std::string_view name) const {
    QWidget* control = Control(name);
    if (auto* line = qobject_cast<QLineEdit*>(control)) return ToText(line->text());
    if (auto* box = qobject_cast<QPlainTextEdit*>(control)) return ToText(box->toPlainText());
    return Text();
}

void MainWindow::WriteText(std::string_view name, const Text& text) {
    QWidget* control = Control(name);
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(ToQString(text));
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
        box->setPlainText(ToQString(text));
    }
}

void MainWindow::ShowCentred() {
    // The whole primary screen, not its work area; integer division rounds
    // towards zero as the placement rule asks.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.x() + (screen.width() - kWindowOuterWidth) / 2,
         screen.y() + (screen.height() - kWindowOuterHeight) / 2);
    show();
}

}  // namespace brenvik
