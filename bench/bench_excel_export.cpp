// Excel export through the in-process workbook model ("Single Output", default options):
// every value through the call layer as text, then the .xlsx written to disk. Reports
// the two phases, the file size and the process's peak memory.
#include "core/chart/ChartModel.h"
#include "excel/ExcelExport.h"
#include "excel/WorkbookBackend.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <stdexcept>

namespace {

// A curve after Calculate: n points of a pushover-like curve, the three constructions
// and the five marker points.
rz::ChartModel calculatedChart(int n)
{
    rz::ChartModel chart;
    rz::Series& curve = chart[rz::SeriesId::lnsrsSeries4].data;
    for (int i = 0; i < n; ++i) {
        const double d = 60.0 * i / n;
        curve.add(d, 25000.0 * (1.0 - std::exp(-d / 4.0)) - 40.0 * d);
    }
    chart[rz::SeriesId::lnsrsSeries1].data.add(0.0, 0.0);
    chart[rz::SeriesId::lnsrsSeries1].data.add(3.1, 14800.0);
    chart[rz::SeriesId::lnsrsSeries1].data.add(44.0, 14800.0);
    chart[rz::SeriesId::lnsrsSeries2].data.add(0.0, 0.0);
    chart[rz::SeriesId::lnsrsSeries2].data.add(2.4, 12900.0);
    chart[rz::SeriesId::lnsrsSeries3].data.add(0.0, 0.0);
    chart[rz::SeriesId::lnsrsSeries3].data.add(2.9, 15500.0);
    chart[rz::SeriesId::lnsrsSeries3].data.add(44.0, 15500.0);
    chart[rz::SeriesId::pntsrsSeries1].data.add(3.1, 14800.0);
    chart[rz::SeriesId::pntsrsSeries2].data.add(2.4, 12900.0);
    chart[rz::SeriesId::pntsrsSeries3].data.add(2.9, 15500.0);
    chart[rz::SeriesId::pntsrsSeries4].data.add(30.0, 23800.0);
    chart[rz::SeriesId::pntsrsSeries5].data.add(44.0, 20200.0);
    return chart;
}

class Environment : public rz::excel::ExcelEnvironment {
public:
    explicit Environment(rz::excel::WorkbookBackend& backend) : backend_(backend) {}
    rz::excel::AutomationObject createApplication() override { return backend_.createApplication(); }
    void showStartFailure(const QString&, const QString&) override { throw std::runtime_error("start failure"); }
    void showNotice(const QString&) override { throw std::runtime_error("refused"); }

private:
    rz::excel::WorkbookBackend& backend_;
};

double peakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}

void ExcelExportSingleOutput(benchmark::State& state)
{
    const rz::ChartModel chart = calculatedChart(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    if (!dir.isValid()) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    const QString path = dir.filePath(QStringLiteral("Book1.xlsx"));
    double exportSeconds = 0.0;
    double saveSeconds = 0.0;
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        const auto start = clock::now();
        rz::excel::ExcelOp op;
        rz::excel::WorkbookBackend backend(u'.');
        Environment env(backend);
        rz::excel::ExportToExcel(op, chart, u'.', env);
        const auto exported = clock::now();
        backend.save(0, path);
        const auto saved = clock::now();
        exportSeconds += std::chrono::duration<double>(exported - start).count();
        saveSeconds += std::chrono::duration<double>(saved - exported).count();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["export_s"] = exportSeconds / runs;
    state.counters["save_s"] = saveSeconds / runs;
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = peakRssMegabytes();
}

// The smaller size first: the peak memory is the process's, so each figure includes
// every run before it.
BENCHMARK(ExcelExportSingleOutput)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(ExcelExportSingleOutput)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
