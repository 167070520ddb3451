#include "core/workbench/Workbench.h"

#include "core/analysis/Analysis.h"
#include "core/analysis/Arithmetic.h"
#include "core/import/CurveFileReader.h"
#include "core/import/DataFileReader.h"
#include "core/report/CyclicReport.h"
#include "core/report/ImportReport.h"
#include "core/report/OtherDefinitionsReport.h"
#include "core/report/Report.h"
#include "core/text/NumberText.h"
#include "core/workbench/CyclicSession.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace rz {

namespace {
const char* const kFieldNames[kFieldCount] = {
    "edt1",  "edt2",  "edt3",  "edt4",  "edt5",  "edt6",  "edt7",  "edt8",  "edt9",  "edt10",
    "edt11", "edt12", "edt13", "edt14", "edt15", "edt16", "edt17", "edt18", "edt19",
};

constexpr Field kResultFields[] = {
    Field::edt2, Field::edt3, Field::edt8,  Field::edt4,  Field::edt5,  Field::edt9,
    Field::edt6, Field::edt7, Field::edt13, Field::edt10, Field::edt11, Field::edt14,
};

const QString kDash = QStringLiteral("--");
}  // namespace

const char* fieldName(Field f)
{
    return kFieldNames[static_cast<int>(f)];
}

const char* messageLevelName(MessageLevel level)
{
    switch (level) {
    case MessageLevel::Information:
        return "information";
    case MessageLevel::Warning:
        return "warning";
    case MessageLevel::Error:
        return "error";
    }
    return "error";
}

QString folderOf(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    return cut < 0 ? QString() : path.left(cut + 1);
}

QString baseNameOf(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

Workbench::Workbench(UserInterface& ui, QChar decimalSeparator, const QString& programFolder)
    : ui_(ui), sep_(decimalSeparator)
{
    // The defaults are written with the user's own separator, so that Calculate accepts
    // them as they stand under a decimal-comma locale too.
    auto localized = [decimalSeparator](const char* text) {
        return QString::fromLatin1(text).replace(QLatin1Char('.'), decimalSeparator);
    };
    setField(Field::edt12, localized("0.15"));
    setField(Field::edt17, localized("0.1"));
    setField(Field::edt1, localized("0.75"));
    QString folder = programFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    openFolder_ = reportFolder_ = pictureFolder_ = folder;
    OtherDefinitions::addOverlays(chart_);
}

Workbench::~Workbench() = default;

void Workbench::reportUncaught(const std::exception& e)
{
    ui_.showMessage(MessageLevel::Error, QString::fromUtf8(e.what()));
}

// ---------------------------------------------------------------------------------------
// Reset and display

void Workbench::ResetAnalysis()
{
    // A new curve has not been calculated yet.
    calculationCompleted_ = false;
    setField(Field::edt18, {});
    state_.PeakIndex = -1;
    setField(Field::edt19, {});
    setField(Field::edt15, {});
    state_.UltimateFound = false;
    setField(Field::edt16, {});
    state_.StiffnessFound = false;
    for (Field f : kResultFields)
        setField(f, {});
    for (SeriesId id : {SeriesId::lnsrsSeries4, SeriesId::pntsrsSeries5, SeriesId::lnsrsSeries1,
                        SeriesId::lnsrsSeries2, SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries1,
                        SeriesId::pntsrsSeries2, SeriesId::pntsrsSeries3, SeriesId::pntsrsSeries4})
        series(id).clear();
}

void Workbench::displayMethodSelected(int method)
{
    state_.DisplayMethod = method;
    UpdateSeriesVisibility();
    if (cyclic_) {
        cyclic_->displayMethodSelected(method);
        showCyclicView();
    }
}

void Workbench::UpdateSeriesVisibility()
{
    struct Pair {
        SeriesId line;
        SeriesId point;
    };
    static constexpr Pair kGeometric{SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1};
    static constexpr Pair kPark{SeriesId::lnsrsSeries2, SeriesId::pntsrsSeries2};
    static constexpr Pair kEnergy{SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3};

    auto show = [this](Pair p, bool on) {
        chart_[p.line].visible = on;
        chart_[p.point].visible = on;
    };
    switch (state_.DisplayMethod) {
    case 1:
        show(kGeometric, true);
        show(kPark, false);
        show(kEnergy, false);
        break;
    case 2:
        show(kPark, true);
        show(kGeometric, false);
        show(kEnergy, false);
        break;
    case 3:
        show(kEnergy, true);
        show(kPark, false);
        show(kGeometric, false);
        break;
    case 4:
        show(kGeometric, true);
        show(kPark, true);
        show(kEnergy, true);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------
// Import

void Workbench::importConfirmed(const QString& path)
{
    try {
        importFile(path);
    } catch (const std::exception& e) {
        reportUncaught(e);
    }
}

void Workbench::importFile(const QString& path)
{
    leaveCyclic();
    ResetAnalysis();
    others_.clear(chart_);
    reportPathChosen(path);  // every dialog now starts in the data file's folder
    state_.ResultBaseName = baseNameOf(path);
    // The report names the data file by its full path, however it was given.
    state_.SourceDataPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    lastLineCount_ = -1;
    imported_ = {};

    CurveReadResult read = readCurveFile(path, sep_);
    lastLineCount_ = read.lineCount;
    Series& curve = series(SeriesId::lnsrsSeries4);
    if (read.scan)
        curve.assignStableSorted(std::move(read.points), *read.scan);
    else
        curve.assignStableSorted(std::move(read.points));

    if (read.badLine >= 0) {
        ui_.showMessage(MessageLevel::Information,
                        QStringLiteral("This File contains %1 Lines. Only %2 Lines of date have been imported!")
                            .arg(read.lineCount)
                            .arg(read.badLine));
    } else {
        ui_.showMessage(MessageLevel::Information,
                        QStringLiteral("%1 Lines of date have been imported!").arg(read.lineCount));
    }

    // The reader's scan holds for the stored curve when the points came in order.
    const bool scanHolds = read.scan && read.scan->ascending;
    derivePeakAndMax(scanHolds ? &*read.scan : nullptr);
}

void Workbench::derivePeakAndMax(const PointScan* stored)
{
    const Series& curve = chart_[SeriesId::lnsrsSeries4].data;
    const int m = curve.count();
    if (m == 0)
        return;

    // The first point of the largest load and the first of the largest displacement, in
    // one pass over a curve that may hold millions of points, unless the reader's pass
    // over the same points in the same order already found them.
    PointScan scan;
    if (stored != nullptr && stored->count == static_cast<std::size_t>(m)) {
        scan = *stored;
    } else {
        for (const Point& p : curve.points())
            scan.add(p);
    }
    const int peakAt = static_cast<int>(scan.largestY);
    state_.PeakLoad = scan.maxY;
    state_.PeakDisp = curve.x(peakAt);
    state_.PeakIndex = peakAt;
    setField(Field::edt18, formatPattern5(state_.PeakLoad, sep_));

    state_.MaxDisp = scan.maxX;
    state_.MaxDispIndex = static_cast<double>(scan.largestX);
    setField(Field::edt19, formatPattern5(state_.MaxDisp, sep_));

    Series& peak = series(SeriesId::pntsrsSeries4);
    peak.clear();
    peak.add(state_.PeakDisp, state_.PeakLoad);
}

// ---------------------------------------------------------------------------------------
// Calculate

void Workbench::btn1Click()
{
    calculationCompleted_ = false;
    // Computed anew only by a Calculate that runs to its end.
    others_.clear(chart_);
    try {
        if (cyclic_)
            calculateCyclic();
        else
            calculate();
    } catch (const std::exception& e) {
        reportUncaught(e);
    }
}

bool Workbench::readFactor(Field field, double& target)
{
    const QString text = fieldText(field);
    const std::optional<double> value = parseDecimal(text, sep_);
    if (!value) {
        ui_.focusField(field);
        ui_.showMessage(MessageLevel::Warning, invalidFloatMessage(text));
        return false;
    }
    target = *value;
    return true;
}

void Workbench::calculate()
{
    if (state_.PeakIndex < 0) {
        ui_.showMessage(MessageLevel::Information, QStringLiteral("Import Data first!"));
        return;
    }
    const Series& curve = chart_[SeriesId::lnsrsSeries4].data;
    const int n = curve.count();

    series(SeriesId::pntsrsSeries5).clear();
    state_.UltimateFound = false;

    if (!readFactor(Field::edt12, state_.LoadReductionFactor))
        return;
    if (!(state_.LoadReductionFactor > 0.0 && state_.LoadReductionFactor < 1.0)) {
        ui_.showMessage(MessageLevel::Information,
                        QStringLiteral("Load Reduction Factor for Ultimate Disp must be greater than 0 and less than 1!"));
        return;
    }

    const double ultimateLoad = checkedMul(checkedSub(1.0, state_.LoadReductionFactor), state_.PeakLoad);
    if (const auto crossing = strictCrossing(curve, ultimateLoad, state_.PeakIndex, n - 1)) {
        state_.UltimateDisp = *crossing;
        state_.UltimateFound = true;
    }

    if (state_.UltimateFound) {
        setField(Field::edt15, formatGeneral(state_.UltimateDisp, sep_));
        series(SeriesId::pntsrsSeries5).add(state_.UltimateDisp, ultimateLoad);
    } else {
        state_.UltimateDisp = state_.MaxDisp;
        setField(Field::edt15, formatPattern5(state_.UltimateDisp, sep_));
        const int k = static_cast<int>(std::trunc(state_.MaxDispIndex));
        series(SeriesId::pntsrsSeries5).add(curve.x(k), curve.y(k));
    }

    // The definitions of the standards need no more than the peak and the ultimate
    // displacement: on a long curve they run from here on beside the three methods.
    OtherDefinitions::Pending others(curve, {state_.PeakLoad, state_.PeakDisp, state_.PeakIndex, state_.UltimateDisp});

    if (!readFactor(Field::edt17, state_.SecantLoadFactor))
        return;
    if (!(state_.SecantLoadFactor > 0.0 && state_.SecantLoadFactor < 1.0)) {
        ui_.showMessage(MessageLevel::Information,
                        QStringLiteral("Load Factor for Secant must be greater than 0.0 and less than 1.0!"));
        return;
    }

    try {
        const double secantLoad = checkedMul(state_.SecantLoadFactor, state_.PeakLoad);
        if (const auto crossing = strictCrossing(curve, secantLoad, 0, state_.PeakIndex)) {
            const double stiffness =
                checkedDiv(checkedSub(secantLoad, curve.y(0)), checkedSub(*crossing, curve.x(0)));
            state_.InitialStiffness = stiffness;
            state_.StiffnessFound = true;
        } else {
            state_.StiffnessFound = false;
        }
    } catch (const ArithmeticError& e) {
        ui_.showMessage(MessageLevel::Warning, QString::fromUtf8(e.what()) +
                                                   QStringLiteral(" Initial Stiffness can't not be calculated! Check the Data!"));
        state_.StiffnessFound = false;
    }

    setField(Field::edt16, state_.StiffnessFound ? formatPattern5(state_.InitialStiffness, sep_) : kDash);

    if (!readFactor(Field::edt1, state_.ParkLoadFactor))
        return;
    if (!(state_.ParkLoadFactor > 0.0 && state_.ParkLoadFactor < 1.0)) {
        ui_.showMessage(MessageLevel::Information,
                        QStringLiteral("Load Factor for R.Park Method must be greater than 0.0 and less than 1.0!"));
        return;
    }

    series(SeriesId::lnsrsSeries1).clear();
    series(SeriesId::pntsrsSeries1).clear();
    if (state_.StiffnessFound) {
        CalcGeometricMethod();
    } else {
        setField(Field::edt2, kDash);
        setField(Field::edt3, kDash);
        setField(Field::edt8, kDash);
    }

    series(SeriesId::lnsrsSeries2).clear();
    series(SeriesId::pntsrsSeries2).clear();
    CalcParkMethod();

    series(SeriesId::lnsrsSeries3).clear();
    series(SeriesId::pntsrsSeries3).clear();
    CalcEnergyMethod();

    // Each component is stored as soon as it is formed: an overflow in a later one ends
    // the click with the earlier ones already in place.
    const YieldResult& g = state_.GeometricResult;
    const YieldResult& p = state_.ParkResult;
    const YieldResult& e = state_.EnergyResult;
    YieldResult& mean = state_.MeanResult;
    if (state_.StiffnessFound) {
        mean.YieldLoad = checkedDiv(checkedAdd(checkedAdd(g.YieldLoad, p.YieldLoad), e.YieldLoad), 3.0);
        mean.YieldDisp = checkedDiv(checkedAdd(checkedAdd(g.YieldDisp, p.YieldDisp), e.YieldDisp), 3.0);
        mean.Ductility = checkedDiv(checkedAdd(checkedAdd(g.Ductility, p.Ductility), e.Ductility), 3.0);
    } else {
        mean.YieldLoad = checkedDiv(checkedAdd(p.YieldLoad, e.YieldLoad), 2.0);
        mean.YieldDisp = checkedDiv(checkedAdd(p.YieldDisp, e.YieldDisp), 2.0);
        mean.Ductility = checkedDiv(checkedAdd(p.Ductility, e.Ductility), 2.0);
    }

    setField(Field::edt10, formatPattern5(mean.YieldLoad, sep_));
    setField(Field::edt11, formatPattern5(mean.YieldDisp, sep_));
    setField(Field::edt14, formatPattern4(mean.Ductility, sep_));

    UpdateSeriesVisibility();
    // Beside the three methods, on the same curve and ultimate displacement; they change
    // nothing of the above.
    others_.finish(others, chart_);
    calculationCompleted_ = true;
}

// Adds the outcome's points, stores its result and shows its row; a failed ductility
// ends the calculation with the result's load and displacement stored and the row as it was.
void Workbench::applyMethod(const MethodOutcome& o, SeriesId line, SeriesId point, YieldResult& result,
                            Field loadField, Field dispField, Field ductilityField)
{
    for (const Point& pt : o.linePoints)
        series(line).add(pt.x, pt.y);
    series(point).add(o.yieldPoint.x, o.yieldPoint.y);
    result.YieldLoad = o.yieldLoad;
    result.YieldDisp = o.yieldDisp;
    if (!o.ductility)
        throw ArithmeticError(o.ductilityError.value_or(ArithmeticError::Kind::InvalidOperation));
    result.Ductility = *o.ductility;
    setField(loadField, formatPattern5(result.YieldLoad, sep_));
    setField(dispField, formatPattern5(result.YieldDisp, sep_));
    setField(ductilityField, formatPattern4(result.Ductility, sep_));
}

void Workbench::CalcGeometricMethod()
{
    applyMethod(geometricMethod(chart_[SeriesId::lnsrsSeries4].data, state_.InitialStiffness, state_.PeakLoad,
                                state_.UltimateDisp),
                SeriesId::lnsrsSeries1, SeriesId::pntsrsSeries1, state_.GeometricResult, Field::edt2, Field::edt3,
                Field::edt8);
}

void Workbench::CalcParkMethod()
{
    applyMethod(parkMethod(chart_[SeriesId::lnsrsSeries4].data, state_.ParkLoadFactor, state_.PeakLoad,
                           state_.UltimateDisp),
                SeriesId::lnsrsSeries2, SeriesId::pntsrsSeries2, state_.ParkResult, Field::edt6, Field::edt7,
                Field::edt13);
}

void Workbench::CalcEnergyMethod()
{
    applyMethod(energyMethod(chart_[SeriesId::lnsrsSeries4].data, state_.PeakIndex, state_.PeakLoad,
                             state_.PeakDisp, state_.UltimateDisp),
                SeriesId::lnsrsSeries3, SeriesId::pntsrsSeries3, state_.EnergyResult, Field::edt4, Field::edt5,
                Field::edt9);
}

// ---------------------------------------------------------------------------------------
// Dialog folders of the outputs

void Workbench::reportPathChosen(const QString& path)
{
    const QString folder = folderOf(path);
    openFolder_ = folder;
    reportFolder_ = folder;
    pictureFolder_ = folder;
}

void Workbench::picturePathChosen(const QString& path)
{
    const QString folder = folderOf(path);
    openFolder_ = folder;
    reportFolder_ = folder;
}

QByteArray Workbench::reportNow(const QDateTime& now) const
{
    QStringList lines = reportLines(state_, sep_, reportTimeText(now, locale_));
    lines += otherDefinitionReportLines(others_.results(), sep_);
    lines += importReportLines(imported_, sep_);
    if (cyclic_)
        lines += cyclicReportLines(*cyclic_, sep_);
    return reportBytes(lines);
}

void Workbench::exportReportTo(const QString& path, const QDateTime& now)
{
    reportPathChosen(path);
    try {
        writeFileAtomically(path, reportNow(now));
    } catch (const std::exception& e) {
        ui_.showMessage(MessageLevel::Warning, QString::fromUtf8(e.what()));
    }
}

}  // namespace rz
