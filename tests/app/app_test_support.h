#pragma once

// Helpers for the window tests: a catcher that records and dismisses every
// modal message box, and a recording stand-in for xdg-open put first on PATH.

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <vector>

namespace brenvik::testing {

// What one message box looked like while it was up.
struct CapturedBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool hasOkButton = false;
    bool hasOwner = false;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat textFormat = Qt::AutoText;
    QString snapshot;  // whatever the test's snapshot function returned
};

// While alive, polls for the active modal widget; each message box found is
// recorded (with `snapshot()` taken at that moment) and dismissed with OK.
class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(std::function<QString()> snapshot = {})
        : snapshot_(std::move(snapshot)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    const std::vector<CapturedBox>& Boxes() const { return boxes_; }

private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || box == handled_) return;
        handled_ = box;
        CapturedBox captured;
        captured.title = box->windowTitle();
        captured.text = box->text();
        captured.icon = box->icon();
        for (QAbstractButton* button : box->buttons()) captured.buttons << button->text();
        captured.hasOkButton = box->button(QMessageBox::Ok) != nullptr;
        captured.hasOwner = box->parentWidget() != nullptr;
        captured.modality = box->windowModality();
        captured.textFormat = box->textFormat();
        if (snapshot_) captured.snapshot = snapshot_();
        boxes_.push_back(captured);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->reject();
        }
    }

    std::function<QString()> snapshot_;
    std::vector<CapturedBox> boxes_;
    QTimer timer_;
    QMessageBox* handled_ = nullptr;
};

// A stand-in xdg-open that appends each call's arguments to a record file.
// Construction puts its folder first on PATH, so the real code path finds it.
class RecordingOpener {
public:
    RecordingOpener() {
        recordPath_ = dir_.filePath(QStringLiteral("calls"));
        QFile script(dir_.filePath(QStringLiteral("xdg-open")));
        script.open(QIODevice::WriteOnly);
        // Each call: the argument count, then every argument, each ended by a NUL.
        script.write(
            "#!/bin/sh\n"
            "{ printf '%s\\0' \"$#\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } >> '" +
            QFile::encodeName(recordPath_) + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        originalPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir_.path()));
    }
    ~RecordingOpener() { qputenv("PATH", originalPath_); }

    // The argument lists of the calls recorded so far, in order.
    std::vector<QStringList> Calls() const {
        QFile file(recordPath_);
        std::vector<QStringList> calls;
        if (!file.open(QIODevice::ReadOnly)) return calls;
        const QList<QByteArray> fields = file.readAll().split('\0');
        for (qsizetype i = 0; i + 1 < fields.size();) {
            const int count = fields[i++].toInt();
            QStringList arguments;
            for (int k = 0; k < count && i < fields.size(); ++k) {
                arguments << QString::fromUtf8(fields[i++]);
            }
            calls.push_back(arguments);
        }
        return calls;
    }

    // Hides the stand-in, so the opener cannot be started at all.
    void MakeUnavailable() { qputenv("PATH", QFile::encodeName(emptyDir_.path())); }
    void MakeAvailable() { qputenv("PATH", QFile::encodeName(dir_.path())); }

private:
    QTemporaryDir dir_;
    QTemporaryDir emptyDir_;
    QString recordPath_;
    QByteArray originalPath_;
};

}  // namespace brenvik::testing
