#include "app/hyperlink_box.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/shell_open.h"

namespace brenvik {

HyperlinkBox::HyperlinkBox(const QString& text, Text target, QWidget* parent)
    : QFrame(parent), caption_(text), target_(std::move(target)) {
    setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

QColor HyperlinkBox::TextColour() const {
    if (pointerOver_) return kPointerOverColour;
    return opened_ ? kOpenedColour : kNormalColour;
}

void HyperlinkBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(TextColour());
    // No Qt::TextShowMnemonic: an ampersand is drawn as it stands.
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

void HyperlinkBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        QFrame::mousePressEvent(event);
        return;
    }
    opened_ = ShellOpen(target_);
    update();
}

void HyperlinkBox::mouseMoveEvent(QMouseEvent* event) {
    SetPointerOver(rect().contains(event->position().toPoint()));
    QFrame::mouseMoveEvent(event);
}

void HyperlinkBox::leaveEvent(QEvent* event) {
    SetPointerOver(false);
    QFrame::leaveEvent(event);
}

void HyperlinkBox::hideEvent(QHideEvent* event) {
    SetPointerOver(false);
    QFrame::hideEvent(event);
}

// Taking the capture on the first move over the link means the move that
// leaves it still arrives here, wherever the pointer goes next.
void HyperlinkBox::SetPointerOver(bool over) {
    if (over == pointerOver_) return;
    pointerOver_ = over;
    if (over) {
        grabMouse();
    } else if (mouseGrabber() == this) {
        releaseMouse();
    }
    update();
}

}  // namespace brenvik
