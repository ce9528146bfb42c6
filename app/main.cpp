// brenvik-shorturl: the desktop tool. The start-up sequence, step by step.

#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/display_check.h"
#include "app/exit_routines.h"
#include "app/main_window.h"
#include "app/window_events.h"
#include "automation/com_init.h"
#include "shortening/http_request.h"

int main(int /*argc*/, char* argv[]) {
    using namespace brenvik;
    if (!HasDisplay()) {
        std::fputs(kNoDisplayMessage, stderr);
        return 1;
    }

    OleInitialize();
    httpRequest = std::make_unique<AutomationObject>();
    RegisterExitRoutine(ReleaseGlobals);

    int status = 0;
    {
        // The program takes no command line: the toolkit sees the program name only.
        int toolkitArgc = 1;
        QApplication application(toolkitArgc, argv);
        MainWindow window;  // hidden, with its nine controls
        OnWindowCreated();
        window.ShowCentred();
        status = application.exec();
    }

    RunExitRoutines();
    OleUninitialize();
    return status;
}
