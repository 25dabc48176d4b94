// Painting a full window of block panes (offscreen) at several scroll positions of a log laid
// out into about 5,000,000 display lines. Prints, per position, the time the four panes' Draw
// takes and the time of a whole repaint of the frame through Qt. Usage:
// bench_gui_paint [LINES] (default 5000000).
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchLog.h"
#include "decode/CTessaryCan.h"
#include "decode/SearchCondition.h"
#include "display/CPaneFrame.h"
#include "display/CPaneWnd.h"
#include "display/QtSystemPalette.h"
#include "logfile/Status.h"
#include "mainwnd/RecordLayout.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

class Owner : public tessary::PaneFrameOwner {
public:
    tessary::CTessaryCan* converter = nullptr;
    tessary::CTessaryCan* LoadedConverter() const override { return converter; }
};

struct Figures {
    double drawMedian = 0;
    double drawMax = 0;
    double renderMedian = 0;
    double renderMax = 0;
};

Figures Measure(tessary::CPaneFrame& frame, int rounds) {
    std::vector<double> draws;
    std::vector<double> renders;
    std::vector<QImage> images;
    for (int p = 0; p < tessary::kPaneCount; ++p) {
        images.emplace_back(frame.Pane(p)->viewport()->size(), QImage::Format_RGB32);
    }
    QImage whole(frame.size(), QImage::Format_RGB32);
    // Round 0 fills the glyph caches and is not counted.
    for (int round = -1; round < rounds; ++round) {
        const auto start = Clock::now();
        for (int p = 0; p < tessary::kPaneCount; ++p) {
            tessary::CPaneWnd* pane = frame.Pane(p);
            images[p].fill(Qt::white);
            QPainter painter(&images[p]);
            pane->Draw(painter, pane->ClientRect());
        }
        const double draw = Ms(Clock::now() - start);
        const auto renderStart = Clock::now();
        frame.render(&whole);
        const double render = Ms(Clock::now() - renderStart);
        if (round >= 0) {
            draws.push_back(draw);
            renders.push_back(render);
        }
    }
    std::sort(draws.begin(), draws.end());
    std::sort(renders.begin(), renders.end());
    return {draws[draws.size() / 2], draws.back(), renders[renders.size() / 2], renders.back()};
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    tessary::InstallQtSystemPalette();
    const long targetLines = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 5000000;

    // About 3.1 display lines per generated record.
    const long records = std::max(targetLines * 10 / 31, 100L);
    const std::string options = "--seed 1 --records " + std::to_string(records);
    const std::string path = tessary::bench::WriteBenchLog("bench_gui_paint", options.c_str());
    if (path.empty()) {
        return 1;
    }

    tessary::CanPara para;
    tessary::ResetPara(para);
    tessary::SearchCondition conditions[tessary::kMarkIfTextCount];
    tessary::DisplaySource source;
    source.para = &para;
    source.conditions = conditions;
    Owner owner;

    QWidget window;
    window.resize(1280, 960);
    window.show();
    auto* frame = new tessary::CPaneFrame(&owner, source);
    if (!frame->Create(QRect(0, 0, 1280, 960), &window)) {
        std::fprintf(stderr, "the pane frame was not created\n");
        return 1;
    }

    auto converter = std::make_unique<tessary::CTessaryCan>(path, &para);
    if (converter->OpenStatus() != 0) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    const auto convertStart = Clock::now();
    frame->hide();
    if (converter->StartPass(&tessary::LayoutRecord, &frame->Table(), nullptr) !=
        tessary::kStatusDone) {
        std::fprintf(stderr, "the conversion did not start\n");
        return 1;
    }
    converter->WaitForWalk();
    const double convertMs = Ms(Clock::now() - convertStart);
    frame->show();
    owner.converter = converter.get();
    frame->SetPaneFont(nullptr, false);
    QCoreApplication::processEvents();

    const int32_t lines = frame->LineCount();
    const int lh = frame->LineHeight();
    const int visible = frame->Pane(0)->ClientRect().height() / lh;
    std::printf(
        "conversion and layout: %.0f ms, status %d, %d display lines, %d lines in view, "
        "cell %d x %d px\n",
        convertMs, converter->ConversionStatus(), lines, visible, frame->CharWidth(), lh);
    std::printf("%-14s %12s %12s %12s %12s\n", "position", "draw med ms", "draw max ms",
                "render med", "render max");

    const int maxY = frame->VerticalBar().Info().max;
    const double fractions[] = {0.0, 0.25, 0.5, 0.75, 0.999, 1.0};
    double worst = 0;
    for (const double fraction : fractions) {
        const int target =
            static_cast<int>(maxY * fraction) + (fraction > 0 && fraction < 1 ? 5 : 0);
        frame->ScrollAll(0, target - frame->Pane(0)->ScrollPosition().y(), true);
        QCoreApplication::processEvents();
        const Figures figures = Measure(*frame, 20);
        worst = std::max(worst, figures.drawMax);
        char label[32];
        std::snprintf(label, sizeof label, "line %d",
                      frame->Pane(0)->ScrollPosition().y() / lh + 1);
        std::printf("%-14s %12.2f %12.2f %12.2f %12.2f\n", label, figures.drawMedian,
                    figures.drawMax, figures.renderMedian, figures.renderMax);
    }
    std::printf("worst full-window draw: %.2f ms\n", worst);

    delete frame;
    converter.reset();
    std::remove(path.c_str());
    return 0;
}
