// Import with options against the plain import, on the same million points: a data
// logger's export (a metadata block, a 15-column tab-separated table with units in the
// header, about 200 MB) read with columns 1 and 2, and a two-column CSV read plainly.
// Both are stored sorted in the curve series, as the window does. Also: how long the
// import dialog needs before it can show (head, detection, preview) on the 200 MB file.
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

constexpr int pointCount = 1'000'000;
constexpr int otherColumns = 13;

struct GeneratedFiles {
    QTemporaryDir dir;
    QString plainPath;
    QString loggerPath;
    qint64 loggerBytes = 0;

    GeneratedFiles()
    {
        if (!dir.isValid())
            throw std::runtime_error("cannot create a temporary folder");
        plainPath = dir.filePath(QStringLiteral("curve_plain.csv"));
        loggerPath = dir.filePath(QStringLiteral("curve_logger.txt"));
        QFile plain(plainPath);
        QFile logger(loggerPath);
        if (!plain.open(QIODevice::WriteOnly) || !logger.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the benchmark files");

        std::string plainText = "Displacement (mm),Load (N)\r\n";
        std::string loggerText =
            "Probe;B-17;Machine 8852;Cell 100 kN;Serial 46NT-1-1-2;Project;840749\n"
            "Operator:\tKh\n"
            "Date:\t18.7.2000\n"
            "Specimen width:\t11.4\tmm\n"
            "Specimen thickness:\t0.2\tmm\n"
            "Gauge length:\t25\tmm\n"
            "Rate:\t3.9\tkN/s\n"
            "Preload:\t0.2\tN\n"
            "\n"
            "Displacement [mm]\tForce [N]\tClip-Gauge [mm]\tTorque [Nm]\tTemp [\xC2\xB0"
            "C]";
        for (int c = 5; c <= 15; ++c)
            loggerText += "\tChannel " + std::to_string(c);
        loggerText += "\n";

        std::mt19937_64 random(20190308);
        std::normal_distribution<double> noise(0.0, 5.0);
        char buffer[64];
        const auto append = [&](std::string& text, double value, std::chars_format format, int precision) {
            char* end = std::to_chars(buffer, buffer + sizeof(buffer), value, format, precision).ptr;
            text.append(buffer, static_cast<std::size_t>(end - buffer));
        };
        for (int i = 0; i < pointCount; ++i) {
            const double displacement = i * 3e-5;
            const double load = 25000.0 * (1.0 - std::exp(-displacement / 4.0)) - 40.0 * displacement + noise(random);
            append(plainText, displacement, std::chars_format::fixed, 6);
            plainText += ',';
            append(plainText, load, std::chars_format::fixed, 3);
            plainText += "\r\n";

            append(loggerText, displacement, std::chars_format::fixed, 6);
            loggerText += '\t';
            append(loggerText, load, std::chars_format::fixed, 3);
            for (int c = 0; c < otherColumns; ++c) {
                loggerText += '\t';
                append(loggerText, (c + 1) * 0.37 * displacement + 0.01 * i, std::chars_format::scientific, 7);
            }
            loggerText += '\n';
            if (loggerText.size() > (std::size_t(8) << 20)) {
                write(logger, loggerText);
                loggerText.clear();
            }
        }
        write(plain, plainText);
        write(logger, loggerText);
        loggerBytes = logger.size();
    }

    static void write(QFile& file, const std::string& text)
    {
        if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
            throw std::runtime_error("cannot write " + file.fileName().toStdString());
    }
};

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
