// A cyclic test record of 200 phases x 3 cycles: import in file order, envelopes of both
// directions, and the analysis of each envelope through the core functions. Run at 250,000
// and 1,000,000 samples: the samples per second stay the same when the path is linear. Target for the whole path at
// 1,000,000 samples: under 0.25 s.
#include "CyclicRecords.h"
#include "core/cyclic/Envelope.h"
#include "core/import/DataFileReader.h"
#include "core/workbench/CyclicSession.h"
#include "core/workbench/Workbench.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <charconv>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

namespace {

constexpr int kPhases = 200;
constexpr int kCycles = 3;
// Amplitudes 0.25, 0.5, ... 50: steps of 0.25 must exceed the dead band, 0.002 * 100 = 0.2.
// (Phases that differ by more than 1 % of the range cannot number more than 50.)
const rz::CyclicOptions kOptions{0.002};

// One leg per half cycle: 2 * 600 legs, plus the return to zero, of stepsPerLeg samples.
int stepsFor(std::int64_t samples)
{
    return static_cast<int>(samples / (2 * kPhases * kCycles + 1));
}

rz::test::CyclicShape shapeFor(std::int64_t samples)
{
    rz::test::CyclicShape shape;
    shape.positive = rz::test::exponential(25000.0, 8000.0);
    shape.negative = rz::test::exponential(22000.0, 7000.0);
    for (int i = 1; i <= kPhases; ++i)
        shape.amplitudes.push_back(0.25 * i);
    shape.cycles.assign(kPhases, kCycles);
    shape.cycleFactors = {1.0, 0.93, 0.9};
    shape.pinch = 2.0;
    shape.jitter = 0.05;
    shape.stepsPerLeg = stepsFor(samples);
    return shape;
}

struct RecordFile {
    QString path;
    std::int64_t samples = 0;
};

// The record as a data file, made once per size.
const RecordFile& recordFile(std::int64_t samples)
{
    static QTemporaryDir dir;
    static std::map<std::int64_t, RecordFile> made;
    auto it = made.find(samples);
    if (it != made.end())
        return it->second;
    if (!dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    const rz::test::CyclicRecord record = rz::test::makeCyclicRecord(shapeFor(samples));
    std::string text = "Displacement (mm),Load (N)\r\n";
    char buffer[64];
    for (const rz::Point& p : record.samples) {
        char* end = std::to_chars(buffer, buffer + sizeof buffer, p.x, std::chars_format::fixed, 5).ptr;
        *end++ = ',';
        end = std::to_chars(end, buffer + sizeof buffer, p.y, std::chars_format::fixed, 3).ptr;
        text.append(buffer, end).append("\r\n");
    }
    RecordFile file{dir.filePath(QStringLiteral("cyclic_%1.csv").arg(samples)),
                    static_cast<std::int64_t>(record.samples.size())};
    QFile out(file.path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
        throw std::runtime_error("cannot write " + file.path.toStdString());
    return made.emplace(samples, file).first->second;
}

// items_per_second counts samples: equal rates at both sizes mean a linear path.
void reportPerSample(benchmark::State& state, std::int64_t samples)
{
    state.SetItemsProcessed(state.iterations() * samples);
    state.counters["samples"] = static_cast<double>(samples);
}

void checkPhases(benchmark::State& state, const rz::CyclicEnvelopes& e)
{
    if (e.positive.phases.size() != kPhases || e.negative.phases.size() != kPhases)
        state.SkipWithError("the envelopes do not have one point per phase");
}

// Read, decode, parse in file order, both envelopes, both analyses.
void BM_CyclicWholePath(benchmark::State& state)
{
    const RecordFile& file = recordFile(state.range(0));
    for (auto _ : state) {
        const rz::CurveReadResult read = rz::readCurve(rz::decodeText(rz::readWholeFile(file.path)), u'.');
        const rz::CyclicEnvelopes e = rz::extractEnvelopes(read.points, kOptions);
        checkPhases(state, e);
        for (const rz::DirectionEnvelope* env : {&e.positive, &e.negative}) {
            rz::Series curve;
            curve.assignStableSorted(env->points);
            const rz::test::CurveAnalysis a = rz::test::analyseCurve(curve);
            benchmark::DoNotOptimize(a.state.MeanResult.YieldDisp);
        }
    }
    reportPerSample(state, file.samples);
}

// The import alone (read, decode, parse in file order), the share of the whole path that the
// monotonic import has too.
void BM_CyclicImport(benchmark::State& state)
{
    const RecordFile& file = recordFile(state.range(0));
    for (auto _ : state) {
        const rz::CurveReadResult read = rz::readCurve(rz::decodeText(rz::readWholeFile(file.path)), u'.');
        benchmark::DoNotOptimize(read.points.data());
    }
    reportPerSample(state, file.samples);
}

// The envelopes alone, on samples already in memory.
void BM_CyclicEnvelopes(benchmark::State& state)
{
    const RecordFile& file = recordFile(state.range(0));
    const std::vector<rz::Point> samples = rz::readCurve(rz::decodeText(rz::readWholeFile(file.path)), u'.').points;
    for (auto _ : state) {
        const rz::CyclicEnvelopes e = rz::extractEnvelopes(samples, kOptions);
        checkPhases(state, e);
        benchmark::DoNotOptimize(e.positive.points.data());
    }
    reportPerSample(state, file.samples);
}

class SilentUi : public rz::UserInterface {
public:
    void showMessage(rz::MessageLevel, const QString&) override {}
    void focusField(rz::Field) override {}
};

// The window's model: import with the cyclic option (file order, both envelopes, the record
// overlay), then Calculate on both directions with the other definitions.
void BM_CyclicWorkbench(benchmark::State& state)
{
    const RecordFile& file = recordFile(state.range(0));
    rz::ImportOptions options;
    options.skipLines = 1;
    options.cyclic = kOptions;
    for (auto _ : state) {
        SilentUi ui;
        rz::Workbench wb(ui, u'.', QString());
        wb.importWithOptionsConfirmed(file.path, options);
        wb.btn1Click();
        if (!wb.cyclic() || !wb.lastCalculationCompleted())
            state.SkipWithError("the cyclic import or Calculate did not complete");
        else
            checkPhases(state, wb.cyclic()->envelopes());
    }
    reportPerSample(state, file.samples);
}

BENCHMARK(BM_CyclicWorkbench)->Arg(250'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CyclicWholePath)->Arg(250'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CyclicImport)->Arg(250'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CyclicEnvelopes)->Arg(250'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
