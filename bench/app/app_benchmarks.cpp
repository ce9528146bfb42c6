// The desktop tool's budgets: process start to the window shown, resident
// memory of the idle window, and the tool's own time for one Generate press
// against a loopback service. Qt runs on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise (e.g. "xcb" under xvfb-run).

#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/window_events.h"
#include "automation/com_init.h"
#include "shortening/http_request.h"
#include "shortening/request_short_url.h"
#include "test_http_server.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

const char* Platform() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return platform && *platform ? platform : "offscreen";
}

// A running probe: the tool's start-up, reporting on a pipe when shown.
struct Probe {
    pid_t pid = -1;
    int readFd = -1;

    // Starts the probe; false when it could not be started.
    bool Start(bool stay) {
        int fds[2];
        if (pipe(fds) != 0) return false;
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (entry.rfind("QT_QPA_PLATFORM=", 0) == 0 || entry.rfind("BRENVIK_PROBE_", 0) == 0)
                continue;
            env.push_back(entry);
        }
        env.push_back(std::string("QT_QPA_PLATFORM=") + Platform());
        env.push_back("BRENVIK_PROBE_FD=" + std::to_string(fds[1]));
        if (stay) env.push_back("BRENVIK_PROBE_STAY=1");
        std::vector<char*> envp;
        for (std::string& entry : env) envp.push_back(entry.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(BRENVIK_STARTUP_PROBE), nullptr};
        const int spawned =
            posix_spawn(&pid, BRENVIK_STARTUP_PROBE, nullptr, nullptr, argv, envp.data());
        close(fds[1]);
        readFd = fds[0];
        return spawned == 0;
    }

    // Blocks until the probe says "shown" (at most 10 s); false otherwise.
    bool WaitShown() const {
        pollfd p{readFd, POLLIN, 0};
        char buffer[16];
        return poll(&p, 1, 10000) == 1 && read(readFd, buffer, sizeof buffer) > 0;
    }

    void Stop() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (readFd >= 0) close(readFd);
        pid = -1;
        readFd = -1;
    }
    ~Probe() { Stop(); }
};

// Resident set size of `pid` in megabytes, from /proc.
double ResidentMegabytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

void BM_StartToWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        Probe probe;
        const auto start = Clock::now();
        if (!probe.Start(false) || !probe.WaitShown()) {
            state.SkipWithError("the probe did not show its window");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        int status = 0;
        waitpid(probe.pid, &status, 0);
        probe.pid = -1;
    }
    state.SetLabel(Platform());
}
BENCHMARK(BM_StartToWindowShown)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

void BM_IdleWindowResidentMemory(benchmark::State& state) {
    double megabytes = 0;
    for (auto _ : state) {
        Probe probe;
        if (!probe.Start(true) || !probe.WaitShown()) {
            state.SkipWithError("the probe did not show its window");
            return;
        }
        usleep(500'000);  // let the window settle into idling
        megabytes = ResidentMegabytes(probe.pid);
    }
    state.counters["rss_MB"] = megabytes;
    state.SetLabel(Platform());
}
BENCHMARK(BM_IdleWindowResidentMemory)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// One window, one loopback server and the request object, made on first use.
struct GenerateRig {
    std::unique_ptr<brenvik::testing::TestHttpServer> server;
    std::unique_ptr<QApplication> application;
    std::unique_ptr<brenvik::MainWindow> window;
    QPushButton* generate = nullptr;

    static std::unique_ptr<GenerateRig>& Instance() {
        static std::unique_ptr<GenerateRig> rig;
        return rig;
    }
    static GenerateRig& Get() {
        if (!Instance()) Instance().reset(new GenerateRig);
        return *Instance();
    }

    // Torn down in start-up order reversed, while Qt is still whole (from main,
    // not from the exit handlers, where Qt's thread storage is already gone).
    ~GenerateRig() {
        application->removeEventFilter(&dismisser);
        window.reset();
        brenvik::ReleaseGlobals();
        brenvik::OleUninitialize();
        application.reset();
        server.reset();
    }

private:
    GenerateRig() {
        server = std::make_unique<brenvik::testing::TestHttpServer>();
        server->Respond({200, "{\"tinyurl\":\"http://t.example/abc\",\"message\":\"生成成功\"}"});
        setenv("BRENVIK_SERVICE_URL", server->Url("/create.php").c_str(), 1);
        setenv("QT_QPA_PLATFORM", Platform(), 1);
        static int argc = 1;
        static char name[] = "app_benchmarks";
        static char* argv[] = {name, nullptr};
        // The offscreen plugin warns on every message box; keep the report readable.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString&) {
            if (type == QtFatalMsg) std::abort();
        });
        application = std::make_unique<QApplication>(argc, argv);
        brenvik::OleInitialize();
        brenvik::httpRequest = std::make_unique<brenvik::AutomationObject>();
        window = std::make_unique<brenvik::MainWindow>();
        brenvik::OnWindowCreated();
        window->ShowCentred();
        QCoreApplication::processEvents();
        generate = qobject_cast<QPushButton*>(window->Control("按钮2"));
        window->WriteText("编辑框1", brenvik::Text("http://example.com/a/long/address"));
        // Dismiss each message box as soon as its event loop runs.
        application->installEventFilter(&dismisser);
    }

    struct Dismisser : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Show) {
                if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                    QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
                }
            }
            return false;
        }
    } dismisser;
};

// The whole press: JsonObject and engine, the loopback POST, parsing, 编辑框3
// and the message box (opened and dismissed at once).
void BM_GeneratePress(benchmark::State& state) {
    GenerateRig& rig = GenerateRig::Get();
    for (auto _ : state) rig.generate->click();
    if (rig.window->ReadText("编辑框3") != brenvik::Text("http://t.example/abc")) {
        state.SkipWithError("the press did not produce the short address");
    }
    state.SetLabel(Platform());
}
BENCHMARK(BM_GeneratePress)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The loopback request alone, to tell the round trip apart from the rest of a press.
void BM_RequestOnly(benchmark::State& state) {
    GenerateRig::Get();
    for (auto _ : state) {
        benchmark::DoNotOptimize(brenvik::RequestShortUrl("http://example.com/a/long/address", ""));
    }
}
BENCHMARK(BM_RequestOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    GenerateRig::Instance().reset();
    benchmark::Shutdown();
    return 0;
}
