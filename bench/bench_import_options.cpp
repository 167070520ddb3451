// Import with options against the plain import, on the same million points: a data
// logger's export (a metadata block, a 15-column tab-separated table with units in the
// header, about 200 MB) read with columns 1 and 2, and a two-column CSV read plainly.
// Both are stored sorted in the curve series, as the window does. Also: how long the
// import dialog needs before it can show (head, detection, preview) on the 200 MB file.
#include "LoggerFiles.h"
#include "core/chart/Series.h"
#include "core/import/DataFileReader.h"
#include "core/import/Detect.h"
#include "core/import/ImportPreview.h"
#include "core/import/ReadWithOptions.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

namespace {

using rz::bench::GeneratedFiles;
using rz::bench::pointCount;

const GeneratedFiles& files()
{
    static const GeneratedFiles generated;
    return generated;
}

std::int64_t plainImport()
{
    const QString text = rz::decodeText(rz::readWholeFile(files().plainPath));
    rz::CurveReadResult curve = rz::readCurve(text, u'.');
    rz::Series series;
    series.assignStableSorted(std::move(curve.points));
    benchmark::DoNotOptimize(series.points().data());
    return series.count();
}

rz::ImportOptions loggerOptions()
{
    rz::ImportOptions options = rz::ImportOptions::detectEverything();
    options.displacement = {rz::ColumnMode::Number, 1, {}};
    options.load = {rz::ColumnMode::Number, 2, {}};
    return options;
}

std::int64_t optionsImport()
{
    rz::ImportResult result = rz::readWithOptions(files().loggerPath, loggerOptions());
    rz::Series series;
    series.assignStableSorted(std::move(result.points));
    benchmark::DoNotOptimize(series.points().data());
    return series.count();
}

void BM_PlainImportTwoColumns(benchmark::State& state)
{
    std::int64_t stored = 0;
    for (auto _ : state)
        stored = plainImport();
    if (stored != pointCount)
        state.SkipWithError("the plain import did not store every point");
}

void BM_OptionsImportFifteenColumns(benchmark::State& state)
{
    std::int64_t stored = 0;
    for (auto _ : state)
        stored = optionsImport();
    if (stored != pointCount)
        state.SkipWithError("the import with options did not store every point");
    state.SetBytesProcessed(state.iterations() * files().loggerBytes);
}

// Both imports in turn, in the same run, and the ratio of their times: the target is at
// most 1.5.
void BM_OptionsOverPlainRatio(benchmark::State& state)
{
    double plainSeconds = 0.0;
    double optionsSeconds = 0.0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        plainImport();
        plainSeconds += static_cast<double>(timer.nsecsElapsed()) * 1e-9;
        timer.start();
        optionsImport();
        optionsSeconds += static_cast<double>(timer.nsecsElapsed()) * 1e-9;
    }
    state.counters["plain_ms"] = 1000.0 * plainSeconds / static_cast<double>(state.iterations());
    state.counters["options_ms"] = 1000.0 * optionsSeconds / static_cast<double>(state.iterations());
    state.counters["ratio"] = optionsSeconds / plainSeconds;
}

// What the dialog does before it shows: read the head, detect, build the preview. Target:
// under 0.3 s on the 200 MB file.
void BM_DialogOpenOn200MB(benchmark::State& state)
{
    for (auto _ : state) {
        const rz::FileHead head = rz::readFileHead(files().loggerPath);
        const rz::ImportPreview preview = rz::previewImport(head, rz::ImportOptions::detectEverything());
        if (!preview.error.isEmpty() || preview.detection.options.skipLines != 10)
            state.SkipWithError("detection did not find the data block");
        benchmark::DoNotOptimize(preview.points.data());
    }
    state.counters["file_MB"] = static_cast<double>(files().loggerBytes) / 1e6;
}

BENCHMARK(BM_PlainImportTwoColumns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OptionsImportFifteenColumns)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OptionsOverPlainRatio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_DialogOpenOn200MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    // The files are made before any timing starts.
    std::printf("generating %d points in two files...\n", pointCount);
    files();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
