#include "app/show_message.h"

#include <QMessageBox>

#include "app/qt_text.h"

namespace brenvik {

void ShowMessage(const Text& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8("信息："), ToQString(text),
                    QMessageBox::Ok, nullptr);
    // Service messages are shown as they came, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace brenvik
