// The call list window over a log of millions of records (offscreen): how long the viewer is
// blocked while the list is made on its worker (starting it, taking the list into the table
// model and view), when the list is ready, and a sort by a header. Wall and CPU time of the
// user-interface thread; the window allows one second.
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <cstdio>
#include <cstdlib>

#include "BenchClock.h"
#include "BenchTable.h"
#include "calls/CCallListDlg.h"
#include "calls/CallListTexts.h"
#include "calls/QtCallTableModel.h"

using tessary::bench::Clock;
using tessary::bench::Seconds;
using tessary::bench::ThreadSeconds;

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    const char* records = argc > 1 ? argv[1] : "5000000";
    tessary::bench::BenchTable bench;
    if (!bench.Generate("gui_calls", records)) {
        return 1;
    }
    tessary::calls::CCallListDlg window(nullptr, [](uint32_t) {});
    window.resize(1400, 600);
    window.show();
    QCoreApplication::processEvents();
    for (int run = 0; run < 3; ++run) {
        // The user-interface thread: Follow starts the worker; the list is taken over when
        // its event comes. In between the viewer goes on.
        const auto start = Clock::now();
        const double cpu = ThreadSeconds();
        window.Follow(bench.converter.get());
        const double follow = Seconds(start);
        const double followCpu = ThreadSeconds() - cpu;
        // The longest the event loop was held while the list came: taking it over.
        double longest = 0;
        double longestCpu = 0;
        while (window.Model()->rowCount() == 0) {
            const auto turn = Clock::now();
            const double turnCpu = ThreadSeconds();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (Seconds(turn) > longest) {
                longest = Seconds(turn);
                longestCpu = ThreadSeconds() - turnCpu;
            }
        }
        std::printf(
            "list ready after %.3f s wall; the viewer blocked %.3f s to start it (%.3f s CPU) and "
            "at most %.3f s at a time while it came (%.3f s CPU); %d calls from %u records\n",
            Seconds(start), follow, followCpu, longest, longestCpu, window.Model()->rowCount(),
            bench.converter->LineCount());
        std::fflush(stdout);
    }
    const auto start = Clock::now();
    const double cpu = ThreadSeconds();
    window.View()->sortByColumn(tessary::calls::kColumnDuration, Qt::DescendingOrder);
    QCoreApplication::processEvents();
    std::printf("sorted by duration: %.3f s wall, %.3f s CPU\n", Seconds(start),
                ThreadSeconds() - cpu);
    return 0;
}
