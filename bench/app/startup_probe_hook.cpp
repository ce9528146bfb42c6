// Linked into a copy of the tool's own main() to make the start-up probe: when
// the main window is first exposed it writes "shown\n" to the file descriptor
// named by BRENVIK_PROBE_FD, then quits unless BRENVIK_PROBE_STAY is set (the
// memory measurement keeps it idle). The tool itself has none of this.

#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <cstdlib>

namespace {

class ShownReporter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (reported_ || event->type() != QEvent::Expose || !window || !window->isExposed() ||
            !window->title().startsWith(QStringLiteral("Brenvik"))) {
            return false;
        }
        reported_ = true;
        if (const char* fd = std::getenv("BRENVIK_PROBE_FD")) {
            static_cast<void>(::write(std::atoi(fd), "shown\n", 6));
        }
        if (!std::getenv("BRENVIK_PROBE_STAY")) {
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool reported_ = false;
};

void InstallShownReporter() { qApp->installEventFilter(new ShownReporter); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallShownReporter)
