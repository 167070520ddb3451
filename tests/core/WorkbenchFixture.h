#pragma once

// The fixture of the workbench tests: a model with a recording interface and a folder for
// its curve files, and the messages and fields those tests look at.
#include "WorkbenchTestSupport.h"

#include "core/workbench/Workbench.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>
#include <vector>

// Named, not anonymous: the tests of one suite in two files must share one fixture type.
namespace rz::test {

inline const char* const kDivisionByZero = "Floating point division by zero";
inline const char* const kInvalidOperation = "Invalid floating point operation";
inline const char* const kStiffnessWarning =
    "Floating point division by zero Initial Stiffness can't not be calculated! Check the Data!";

class WorkbenchTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingUi ui;
    Workbench wb{ui, QLatin1Char('.'), QStringLiteral("/opt/rorevadi/")};

    QString put(const QString& name, const QByteArray& bytes) { return writeFile(dir, name, bytes); }
    QString folder() const { return dir.path() + QLatin1Char('/'); }

    void importFile(const QString& name, const QByteArray& bytes) { wb.importConfirmed(put(name, bytes)); }
    // Import and one complete calculation of the worked example, with the messages cleared.
    void analyseWorkedExample()
    {
        importFile(QStringLiteral("worked.csv"), workedExampleFile());
        wb.btn1Click();
        ASSERT_TRUE(wb.lastCalculationCompleted()) << ::testing::PrintToString(ui.log());
        ui.clear();
    }
    std::vector<Point> pts(SeriesId id) const { return pointsOf(wb, id); }
    // Field texts as std::string: failures then print as text.
    std::string text(Field f) const { return wb.fieldText(f).toStdString(); }
};

inline constexpr Field kFactorFields[] = {Field::edt12, Field::edt17, Field::edt1};
inline constexpr Field kResultFields[] = {Field::edt2,  Field::edt3,  Field::edt8,  Field::edt4,
                                          Field::edt5,  Field::edt9,  Field::edt6,  Field::edt7,
                                          Field::edt13, Field::edt10, Field::edt11, Field::edt14};

inline bool isFactorField(Field f)
{
    return f == Field::edt12 || f == Field::edt17 || f == Field::edt1;
}

// Every field but the three the user types into is empty.
inline ::testing::AssertionResult onlyFactorTextsShown(const Workbench& wb)
{
    std::string shown;
    for (int f = 0; f < kFieldCount; ++f) {
        const Field field = static_cast<Field>(f);
        if (!isFactorField(field) && !wb.fieldText(field).isEmpty())
            shown += std::string(fieldName(field)) + " = \"" + wb.fieldText(field).toStdString() + "\" ";
    }
    if (shown.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << shown;
}
}  // namespace rz::test
