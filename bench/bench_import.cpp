// Import of a large data file: read, parse, and store sorted in the curve series; by the
// byte reader the window uses (whole, in one part, and through import and Calculate) and by
// the reader of decoded text it must agree with (whole and stage by stage).
// RZ_BENCH_CURVE=path adds the import and Calculate of that file (bench/cli_vs_pandas.sh).
#include "core/chart/Series.h"
#include "core/import/CurveFileReader.h"
#include "core/import/DataFileReader.h"
#include "core/methods/YieldMethods.h"
#include "core/workbench/Workbench.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int pointCount = 1'000'000;

// Two files made once per run: a test record of a million points with rising displacement
// (the store keeps the order as it comes) and the same lines shuffled (the store sorts them).
struct GeneratedFiles {
    QTemporaryDir dir;
    QString risingPath;
    QString shuffledPath;

    GeneratedFiles()
    {
        if (!dir.isValid())
            throw std::runtime_error("cannot create a temporary folder");
        std::mt19937_64 random(20190308);
        std::normal_distribution<double> noise(0.0, 5.0);
        std::vector<std::string> lines;
        lines.reserve(pointCount);
        char buffer[64];
        for (int i = 0; i < pointCount; ++i) {
            const double displacement = i * 3e-5;
            const double load = 25000.0 * (1.0 - std::exp(-displacement / 4.0)) - 40.0 * displacement + noise(random);
            char* p = std::to_chars(buffer, buffer + sizeof(buffer), displacement, std::chars_format::fixed, 6).ptr;
            *p++ = ',';
            p = std::to_chars(p, buffer + sizeof(buffer), load, std::chars_format::fixed, 3).ptr;
            lines.emplace_back(buffer, p);
        }
        risingPath = dir.filePath(QStringLiteral("curve_rising.csv"));
        write(risingPath, lines);
        std::shuffle(lines.begin(), lines.end(), random);
        shuffledPath = dir.filePath(QStringLiteral("curve_shuffled.csv"));
        write(shuffledPath, lines);
    }

    static void write(const QString& path, const std::vector<std::string>& lines)
    {
        std::string text = "Displacement (mm),Load (N)\r\n";
        for (const auto& line : lines)
            text.append(line).append("\r\n");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
            throw std::runtime_error("cannot write " + path.toStdString());
    }
};

const GeneratedFiles& files()
{
    static const GeneratedFiles generated;
    return generated;
}

void reportImport(benchmark::State& state, std::int64_t stored, const QString& path)
{
    if (stored != pointCount)
        state.SkipWithError("the import did not store every point");
    state.SetItemsProcessed(state.iterations() * pointCount);
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void importBytes(benchmark::State& state, const QString& path, const rz::CurveReading& how)
{
    std::int64_t stored = 0;
    for (auto _ : state) {
        rz::CurveReadResult curve = rz::readCurveFile(path, u'.', how);
        rz::Series series;
        series.assignStableSorted(std::move(curve.points));
        stored = series.count();
        benchmark::DoNotOptimize(series.points().data());
    }
    reportImport(state, stored, path);
}

void BM_BytesRising(benchmark::State& state)
{
    importBytes(state, files().risingPath, {});
}

void BM_BytesShuffled(benchmark::State& state)
{
    importBytes(state, files().shuffledPath, {});
}

// One part: what the second core adds.
void BM_BytesRisingOnePart(benchmark::State& state)
{
    importBytes(state, files().risingPath, {1});
}

// The bytes already in memory, in one part and in two: the parse alone, without the reads.
void parseInMemory(benchmark::State& state, int parts)
{
    const QByteArray bytes = rz::readWholeFile(files().risingPath);
    std::int64_t stored = 0;
    for (auto _ : state) {
        rz::CurveReadResult curve = rz::readCurveBytes(bytes, u'.', {parts});
        stored = static_cast<std::int64_t>(curve.points.size());
        benchmark::DoNotOptimize(curve.points.data());
    }
    reportImport(state, stored, files().risingPath);
}

void BM_ParseInMemoryOnePart(benchmark::State& state)
{
    parseInMemory(state, 1);
}

void BM_ParseInMemoryTwoParts(benchmark::State& state)
{
    parseInMemory(state, 2);
}

class SilentUi final : public rz::UserInterface {
public:
    void showMessage(rz::MessageLevel, const QString&) override {}
    void focusField(rz::Field) override {}
};

// What the window and the batch tool do with a file: import, then Calculate.
void importAndCalculate(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        SilentUi ui;
        rz::Workbench workbench(ui, u'.', QString());
        workbench.importConfirmed(path);
        workbench.btn1Click();
        if (!workbench.lastCalculationCompleted())
            state.SkipWithError("Calculate did not complete");
        benchmark::DoNotOptimize(workbench.state().PeakLoad);
    }
}

void BM_ImportCalculateRising(benchmark::State& state)
{
    importAndCalculate(state, files().risingPath);
}

// Calculate alone, on the imported curve: the rest of the time above.
void BM_CalculateRising(benchmark::State& state)
{
    SilentUi ui;
    rz::Workbench workbench(ui, u'.', QString());
    workbench.importConfirmed(files().risingPath);
    for (auto _ : state) {
        workbench.btn1Click();
        if (!workbench.lastCalculationCompleted())
            state.SkipWithError("Calculate did not complete");
    }
}

// Each of the other yield definitions alone, on the imported curve.
void BM_OtherDefinition(benchmark::State& state)
{
    SilentUi ui;
    rz::Workbench workbench(ui, u'.', QString());
    workbench.importConfirmed(files().risingPath);
    workbench.btn1Click();
    const rz::Series& curve = workbench.chart()[rz::SeriesId::lnsrsSeries4].data;
    const auto& s = workbench.state();
    const rz::CurveFacts facts{s.PeakLoad, s.PeakDisp, s.PeakIndex, s.UltimateDisp};
    const rz::YieldMethod& method = rz::otherYieldMethods()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(method.key);
    for (auto _ : state)
        benchmark::DoNotOptimize(method.compute(curve, facts).yieldPoint);
}

void importText(benchmark::State& state, const QString& path)
{
    std::int64_t stored = 0;
    for (auto _ : state) {
        const QByteArray bytes = rz::readWholeFile(path);
        const QString text = rz::decodeText(bytes);
        rz::CurveReadResult curve = rz::readCurve(text, u'.');
        rz::Series series;
        series.assignStableSorted(std::move(curve.points));
        stored = series.count();
        benchmark::DoNotOptimize(series.points().data());
    }
    reportImport(state, stored, path);
}

void BM_TextRising(benchmark::State& state)
{
    importText(state, files().risingPath);
}

void BM_TextShuffled(benchmark::State& state)
{
    importText(state, files().shuffledPath);
}

// The stages of the rising import one by one, to show where the time goes.
void BM_StageReadWholeFile(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(rz::readWholeFile(files().risingPath).constData());
}

void BM_StageDecodeText(benchmark::State& state)
{
    const QByteArray bytes = rz::readWholeFile(files().risingPath);
    for (auto _ : state)
        benchmark::DoNotOptimize(rz::decodeText(bytes).constData());
}

void BM_StageReadCurve(benchmark::State& state)
{
    const QString text = rz::decodeText(rz::readWholeFile(files().risingPath));
    for (auto _ : state)
        benchmark::DoNotOptimize(rz::readCurve(text, u'.').points.data());
}

void BM_StageSortShuffled(benchmark::State& state)
{
    const auto points = rz::readCurve(rz::decodeText(rz::readWholeFile(files().shuffledPath)), u'.').points;
    for (auto _ : state) {
        rz::Series series;
        series.assignStableSorted(points);
        benchmark::DoNotOptimize(series.points().data());
    }
}

BENCHMARK(BM_BytesRising)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BytesShuffled)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BytesRisingOnePart)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseInMemoryOnePart)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseInMemoryTwoParts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportCalculateRising)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OtherDefinition)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CalculateRising)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextRising)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextShuffled)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StageReadWholeFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StageDecodeText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StageReadCurve)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StageSortShuffled)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    // The file bench/cli_vs_pandas.sh hands over, imported and calculated as the batch tool does.
    const QString given = qEnvironmentVariable("RZ_BENCH_CURVE");
    if (!given.isEmpty())
        benchmark::RegisterBenchmark("BM_ImportCalculateGiven",
                                     [given](benchmark::State& state) { importAndCalculate(state, given); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
