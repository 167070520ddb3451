// The chart with a million-point curve: copying the curve into the chart and drawing
// it must stay quick enough for the window to feel responsive (adaptive sampling).
#include "chartview/ChartView.h"
#include "core/chart/ChartModel.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

rz::ChartModel millionPointModel(int n)
{
    rz::ChartModel model;
    std::vector<rz::Point> pts;
    pts.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double d = i * 10.0 / n;
        pts.push_back({d, 120.0 * (1.0 - std::exp(-d / 1.2)) + std::sin(i * 0.37)});
    }
    model[rz::SeriesId::lnsrsSeries4].data.assignStableSorted(std::move(pts));
    model[rz::SeriesId::pntsrsSeries4].data.add(6.0, 120.0);
    return model;
}

void BM_ChartSyncMillionPoints(benchmark::State& state)
{
    rz::ChartView view;
    view.resize(587, 290);
    for (auto _ : state) {
        state.PauseTiming();
        rz::ChartModel model = millionPointModel(static_cast<int>(state.range(0)));
        state.ResumeTiming();
        view.sync(model);  // copy, rescale, replot
    }
}
BENCHMARK(BM_ChartSyncMillionPoints)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChartReplotMillionPoints(benchmark::State& state)
{
    rz::ChartView view;
    view.resize(587, 290);
    view.sync(millionPointModel(static_cast<int>(state.range(0))));
    for (auto _ : state)
        view.replot(QCustomPlot::rpImmediateRefresh);
}
BENCHMARK(BM_ChartReplotMillionPoints)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
