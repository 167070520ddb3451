// How long "Import with Options…" takes to come up on a 200 MB data logger's export: the
// dialog built (head read, detection, preview of 200 lines, table, chart), shown and
// painted once. Target: under 0.3 s. Offscreen, so it runs without a display.
#include "LoggerFiles.h"
#include "core/import/ImportOptions.h"
#include "gui/ImportOptionsDialog.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>

#include <cstdio>

namespace {

const rz::bench::GeneratedFiles& files()
{
    static const rz::bench::GeneratedFiles generated;
    return generated;
}

void BM_ImportDialogOpensOn200MB(benchmark::State& state)
{
    for (auto _ : state) {
        rz::ImportOptionsDialog dialog(files().loggerPath, rz::ImportOptions::detectEverything(), u'.');
        dialog.show();
        const QPixmap painted = dialog.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        if (dialog.preview().points.empty())
            state.SkipWithError("the preview found no data");
    }
    state.counters["file_MB"] = static_cast<double>(files().loggerBytes) / 1e6;
}

BENCHMARK(BM_ImportDialogOpensOn200MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("generating %d points...\n", rz::bench::pointCount);
    files();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
