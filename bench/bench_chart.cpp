// The chart with a million-point curve: copying the curve into the chart and drawing
// it must stay quick enough for the window to feel responsive (adaptive sampling). And a
// million-sample cyclic record drawn as an overlay (thinned per replot): target under 50 ms
// per replot, also when every replot has new axes (a zoom, a resize) and thins anew.
#include "CyclicRecords.h"
#include "chartview/ChartView.h"
#include "core/chart/ChartModel.h"

#include <benchmark/benchmark.h>
#include <QApplication>
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

// 200 phases x 3 cycles, a million samples in file order, as the record overlay. With
// noise, every sample carries jitter (1 % of the load: about 3 pixels), the worst case for
// thinning; without, the loops are smooth, as most records are.
rz::ChartModel cyclicRecordModel(std::int64_t samples, bool noise)
{
    rz::test::CyclicShape shape;
    shape.positive = rz::test::exponential(25000.0, 8000.0);
    shape.negative = rz::test::exponential(22000.0, 7000.0);
    for (int i = 1; i <= 200; ++i)
        shape.amplitudes.push_back(0.25 * i);
    shape.cycles.assign(200, 3);
    shape.cycleFactors = {1.0, 0.93, 0.9};
    shape.pinch = 2.0;
    shape.jitter = noise ? 0.05 : 0.0;
    shape.stepsPerLeg = static_cast<int>(samples / 1201);
    rz::ChartModel model;
    const int record = model.addOverlay(QStringLiteral("cyclic.record"), QStringLiteral("Record"),
                                        {0xC0C0C0, 1.0, rz::DashPattern::Solid, rz::MarkerShape::None, 0.0, true});
    model.setOverlayPoints(record, rz::test::makeCyclicRecord(shape).samples);
    model.setOverlayVisible(record, true);
    model[rz::SeriesId::lnsrsSeries4].data.assignStableSorted({{0, 0}, {10, 20000}, {50, 25000}});
    return model;
}

void BM_ChartReplotCyclicRecord(benchmark::State& state)
{
    rz::ChartView view;
    view.resize(587, 290);
    view.sync(cyclicRecordModel(state.range(0), state.range(1) != 0));
    for (auto _ : state)
        view.replot(QCustomPlot::rpImmediateRefresh);
    state.counters["drawn"] = static_cast<double>(view.overlayDrawnCount(QStringLiteral("cyclic.record")));
}
BENCHMARK(BM_ChartReplotCyclicRecord)
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Every replot with other axes: the record is thinned again each time.
void BM_ChartReplotCyclicRecordNewAxes(benchmark::State& state)
{
    rz::ChartView view;
    view.resize(587, 290);
    view.sync(cyclicRecordModel(state.range(0), state.range(1) != 0));
    const QCPRange keys = view.xAxis->range();
    int step = 0;
    for (auto _ : state) {
        const double shift = (++step % 2) * keys.size() * 0.01;
        view.xAxis->setRange(keys.lower + shift, keys.upper + shift);
        view.replot(QCustomPlot::rpImmediateRefresh);
    }
    state.counters["drawn"] = static_cast<double>(view.overlayDrawnCount(QStringLiteral("cyclic.record")));
}
BENCHMARK(BM_ChartReplotCyclicRecordNewAxes)
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
