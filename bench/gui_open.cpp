// Opening a large insloggen log in the viewer's main window (offscreen) against conversion and
// layout alone (the open flow without a window). Prints both times and their ratio; the
// window's time includes the progress dialog's 500 ms close delay, shown separately.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "mainwnd/CMainDlg.h"
#include "mainwnd/OpenFlow.h"
#include "platform/QtUiService.h"

namespace {

using tessary::bench::Clock;
using tessary::bench::Seconds;

// Counts the message boxes instead of showing them.
class QuietUi : public tessary::UiService {
public:
    int messages = 0;
    tessary::Answer ShowMessage(std::u16string_view, std::u16string_view, tessary::MessageIcon,
                                tessary::MessageButtons) override {
        ++messages;
        return tessary::Answer::kYes;
    }
    bool CloseMessage(std::u16string_view) override { return false; }
    bool AskOpenFile(tessary::OpenFileRequest&) override { return false; }
    bool AskFolder(std::u16string_view, tessary::PathString&) override { return false; }
    bool AskColor(std::u16string_view, uint32_t&) override { return false; }
};

// Reads the file once so that both runs find it in the page cache.
void Warm(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    std::string path = argc > 1 ? argv[1] : std::string();
    const bool generated = path.empty();
    if (generated) {
        path = "/tmp/tessary_bench_gui_open_" + std::to_string(::getpid()) + ".dat";
        const std::string command = std::string("\"") + TESSARY_INSLOGGEN +
                                    "\" --quiet --seed 9 --size 100M --out \"" + path + "\"";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "insloggen failed\n");
            return 1;
        }
    }
    Warm(path);

    // Conversion and layout alone, before and after the window (the first run also pays for
    // the first touch of fresh memory); the faster one is compared.
    int32_t coreLines = 0;
    const auto runCore = [&] {
        tessary::CanPara para;
        tessary::ResetPara(para);
        tessary::DisplayLineTable table;
        tessary::SyncPassProgress progress;
        tessary::OpenFlowHost host;
        QuietUi quiet;
        tessary::OpenFlow flow(&para, &table, &host, &quiet, &progress, &progress);
        const auto start = Clock::now();
        const int32_t result = flow.Open(path, tessary::kLineAsk);
        const double seconds = Seconds(start);
        coreLines = table.LineCount();
        if (result != 0) {
            std::fprintf(stderr, "conversion failed: %d\n", result);
        }
        return seconds;
    };
    const double coreFirst = runCore();

    // The same file opened in the main window.
    QuietUi ui;
    tessary::SetUi(&ui);
    double windowSeconds = 0;
    int32_t windowLines = 0;
    {
        tessary::CMainDlg window;
        std::u16string failure;
        if (!window.Initialize(&failure)) {
            std::fprintf(stderr, "the main window did not start\n");
            return 1;
        }
        window.resize(1280, 800);
        window.show();
        QCoreApplication::processEvents();
        const auto start = Clock::now();
        const int32_t result = window.Open(path, tessary::kLineAsk);
        QCoreApplication::processEvents();
        windowSeconds = Seconds(start);
        windowLines = window.Frame()->LineCount();
        if (result != 0) {
            std::fprintf(stderr, "open failed: %d\n", result);
        }
    }
    tessary::SetUi(nullptr);
    const double coreSecond = runCore();
    const double coreSeconds = std::min(coreFirst, coreSecond);

    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const double megabytes = static_cast<double>(file.tellg()) / (1024.0 * 1024.0);
    constexpr double kCloseDelay = 0.5;
    std::printf("log                      %.1f MiB, %d display lines (window %d)\n", megabytes,
                coreLines, windowLines);
    std::printf("conversion + layout      %.3f s  (%.1f MiB/s; runs %.3f s, %.3f s)\n", coreSeconds,
                megabytes / coreSeconds, coreFirst, coreSecond);
    std::printf("open in the main window  %.3f s  (%.3f s without the 0.5 s close delay)\n",
                windowSeconds, windowSeconds - kCloseDelay);
    std::printf("ratio window / core      %.2f  (%.2f without the close delay)\n",
                windowSeconds / coreSeconds, (windowSeconds - kCloseDelay) / coreSeconds);
    // Before the faster text building and layout (cells, line cutting, hex rows, time text),
    // the same 100 MiB log (seed 9) on this shared 2-core machine: two runs, one on a busy
    // machine and one on a busier one.
    constexpr double kBeforeCore[] = {15.080, 9.999};
    constexpr double kBeforeWindow[] = {14.695, 10.035};
    std::printf("before (seed 9, 100 MiB)  core %.3f s / %.3f s, window %.3f s / %.3f s\n",
                kBeforeCore[0], kBeforeCore[1], kBeforeWindow[0], kBeforeWindow[1]);
    std::printf(
        "now / before (window)    %.2f - %.2f  (target 0.50; the machine's load moves "
        "these figures, compare runs made close together)\n",
        windowSeconds / kBeforeWindow[0], windowSeconds / kBeforeWindow[1]);
    // The process's peak: the line store and the display line buffer of one open dominate it.
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory     %.1f MiB\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    // With the pages prepared by the writing thread itself, 512 KiB ahead, on the same machine
    // (four runs close together on a quiet machine).
    std::printf(
        "before the page helper   window 4.51 - 5.66 s, core 3.83 - 4.21 s, peak 3860.4 MiB\n");
    if (ui.messages != 0) {
        std::printf("message boxes            %d\n", ui.messages);
    }
    if (generated) {
        std::remove(path.c_str());
    }
    return 0;
}
