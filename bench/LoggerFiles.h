#pragma once

// The files the import benchmarks read: a million points as a data logger's export (a
// metadata block, a 15-column tab-separated table with units in the header, about 200 MB)
// and as a two-column CSV that the plain import reads. Made once per run, before any
// timing, in a temporary folder.
#include <QFile>
#include <QTemporaryDir>

#include <charconv>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

namespace rz::bench {

inline constexpr int pointCount = 1'000'000;
inline constexpr int otherColumns = 13;

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

}  // namespace rz::bench
