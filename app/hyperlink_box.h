#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

#include "common/text.h"

namespace brenvik {

// The hyperlink control (超级链接框): one line of centred text in a raised double
// edge. Pressing the left button over it hands `target` to the shell's open
// operation; the link is "opened" while the last attempt succeeded. While the
// pointer is over it, it holds the mouse capture so it sees the pointer leave.
class HyperlinkBox : public QFrame {
    Q_OBJECT

public:
    static constexpr QColor kNormalColour{0, 0, 255};
    static constexpr QColor kPointerOverColour{51, 153, 255};
    static constexpr QColor kOpenedColour{128, 0, 0};

    HyperlinkBox(const QString& text, Text target, QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    const Text& Target() const { return target_; }
    bool IsOpened() const { return opened_; }
    bool IsPointerOver() const { return pointerOver_; }
    // The pointer colour wins over the opened colour.
    QColor TextColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetPointerOver(bool over);

    QString caption_;
    Text target_;
    bool opened_ = false;
    bool pointerOver_ = false;
};

}  // namespace brenvik
