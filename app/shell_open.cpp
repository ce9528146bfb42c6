#include "app/shell_open.h"

#include <QProcess>
#include <QStringList>

#include "app/qt_text.h"

namespace brenvik {

bool ShellOpen(const Text& target) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{ToQString(target)});
}

}  // namespace brenvik
