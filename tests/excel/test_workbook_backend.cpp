#include "ExcelTestSupport.h"

#include "excel/WorkbookBackend.h"

#include <gtest/gtest.h>

using namespace rz::excel;

namespace {

Variant text(const char* t)
{
    return Variant::text(QString::fromUtf8(t));
}

Variant i32(std::int32_t v)
{
    return Variant::int32(v);
}

QString failure(const std::function<void()>& call)
{
    try {
        call();
    } catch (const AutomationError& e) {
        return e.description();
    }
    return QStringLiteral("(no error)");
}

class ObjectModel : public ::testing::Test {
protected:
    explicit ObjectModel(QChar separator = u'.') : backend(separator) {}

    void SetUp() override
    {
        app = backend.createApplication();
        book = app.getObject("Workbooks").callObject("Add");
        sheet = book.getObject("Sheets", {text("Sheet1")});
    }

    AutomationObject newChart()
    {
        const AutomationObject shape = sheet.getObject("Shapes").callObject("AddChart2", {i32(240), i32(72)});
        shape.call("Select");
        return app.getObject("ActiveChart");
    }

    Variant cellValue(int row, int column) { return sheet.getObject("Cells", {i32(row), i32(column)}).get("Value"); }
    void setCell(int row, int column, const char* value)
    {
        sheet.getObject("Cells", {Variant::int16(static_cast<std::int16_t>(row)), Variant::int16(static_cast<std::int16_t>(column))})
            .put("Value", text(value));
    }

    WorkbookBackend backend;
    AutomationObject app;
    AutomationObject book;
    AutomationObject sheet;
};

class ObjectModelComma : public ObjectModel {
protected:
    ObjectModelComma() : ObjectModel(u',') {}
};

struct ValueCase {
    const char* typed;
    bool number;
    double value;
};

TEST_F(ObjectModel, TextsThatReadAsNumbersBecomeNumbers)
{
    const ValueCase cases[] = {
        {"0.5", true, 0.5},       {"-1E-5", true, -1e-5},   {"1E20", true, 1e20}, {"0,5", false, 0},
        {"Line4", false, 0},      {" 5", false, 0},         {"NAN", false, 0},    {"1.5.2", false, 0},
    };
    int row = 1;
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.typed);
        setCell(row, 2, c.typed);
        const Variant v = cellValue(row, 2);
        if (c.number) {
            ASSERT_EQ(v.kind(), VariantKind::Double);
            EXPECT_EQ(v.asNumber(), c.value);
        } else {
            ASSERT_EQ(v.kind(), VariantKind::Text);
            EXPECT_EQ(v.asText(), QString::fromUtf8(c.typed));
        }
        ++row;
    }
    EXPECT_TRUE(cellValue(100, 1).isEmpty());
}

TEST_F(ObjectModelComma, TheUsersDecimalSeparatorDecidesWhatIsANumber)
{
    setCell(1, 1, "0,25");
    setCell(2, 1, "0.25");
    EXPECT_EQ(cellValue(1, 1).asNumber(), 0.25);
    EXPECT_EQ(cellValue(2, 1).asText(), "0.25");
}

TEST_F(ObjectModel, CellPositionsFollowTheDefaultColumnWidthAndRowHeight)
{
    const AutomationObject c5 = sheet.getObject("Cells", {i32(5), i32(3)});
    EXPECT_EQ(c5.get("Left").asNumber(), 96.0);
    EXPECT_EQ(c5.get("Top").asNumber(), 60.0);
    const AutomationObject a1 = sheet.getObject("Cells", {i32(1), i32(1)});
    EXPECT_EQ(a1.get("Left").asNumber(), 0.0);
    EXPECT_EQ(a1.get("Top").asNumber(), 0.0);
    EXPECT_EQ(sheet.getObject("Cells", {i32(1), i32(27)}).get("Left").asNumber(), 26 * 48.0);
}

TEST_F(ObjectModel, RefusalsDescribeWhatWasWrong)
{
    const AutomationObject chart = newChart();
    const AutomationObject series = chart.callObject("SeriesCollection").callObject("NewSeries");
    struct Case {
        std::function<void()> call;
        const char* description;
    };
    const Case cases[] = {
        {[&] { sheet.get("Foo"); }, "Worksheet.Foo: the Worksheet object has no property or method 'Foo'"},
        {[&] { book.get("Sheets", {text("Sheet2")}); }, "Workbook.Sheets: the workbook 'Book1' has no sheet named 'Sheet2'"},
        {[&] { sheet.get("Cells", {i32(0), i32(1)}); }, "Worksheet.Cells: row 0, column 1 lie outside the sheet"},
        {[&] { sheet.get("Cells", {i32(1048577), i32(1)}); }, "Worksheet.Cells: row 1048577, column 1 lie outside the sheet"},
        {[&] { sheet.get("Cells", {i32(1)}); }, "Worksheet.Cells: wrong number of arguments (1)"},
        {[&] { sheet.getObject("Cells", {i32(1), i32(1)}).put("Left", i32(3)); },
         "Range.Left: the property 'Left' of the Range object is read-only"},
        {[&] { sheet.getObject("Shapes").call("AddChart2", {i32(240), i32(51)}); },
         "Shapes.AddChart2: the chart type 51 is not supported; only XY scatter charts are"},
        {[&] { chart.callObject("Axes", {i32(1), i32(1)}).get("AxisTitle"); }, "Axis.AxisTitle: the axis has no title"},
        {[&] { chart.call("Axes", {i32(3), i32(1)}); }, "Chart.Axes: the chart has no axis (3, 1)"},
        {[&] { chart.call("SetElement", {i32(999)}); }, "Chart.SetElement: the chart element 999 is not supported"},
        {[&] { series.put("MarkerSize", i32(73)); }, "Series.MarkerSize: the marker size 73 lies outside 2 to 72"},
        {[&] { series.put("MarkerStyle", i32(10)); }, "Series.MarkerStyle: 10 is not a marker style"},
        {[&] { series.put("XValues", text("=Sheet9!$A$1:$A$2")); },
         "Series.XValues: '=Sheet9!$A$1:$A$2' is not a reference to cells of a sheet of the workbook 'Book1'"},
        {[&] { series.put("Values", text("=Sheet1!$A$2:$A$1048577")); },
         "Series.Values: '=Sheet1!$A$2:$A$1048577' is not a reference to cells of a sheet of the workbook 'Book1'"},
        {[&] { series.put("Values", i32(3)); }, "Series.Values: Type mismatch: i32 3 where a text was expected"},
        {[&] { series.getObject("Format").getObject("Line").put("Weight", Variant::float32(-1.0f)); },
         "LineFormat.Weight: the value -1 lies outside 0 to 1584"},
        {[&] { series.getObject("Format").getObject("Fill").getObject("ForeColor").put("RGB", Variant::uint32(0x1000000)); },
         "ColorFormat.RGB: u32 16777216 is not a colour value"},
        {[&] { chart.callObject("Axes", {i32(2), i32(1)}).put("MajorTickMark", i32(5)); },
         "Axis.MajorTickMark: 5 is not a tick mark"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failure(c.call), QString::fromUtf8(c.description));
}

TEST_F(ObjectModel, ElementsExistOnlyOnceTheChartHasThem)
{
    const AutomationObject chart = newChart();
    // The new chart has its title and legend; SetElement and HasTitle take them away.
    EXPECT_TRUE(chart.get("HasTitle").asBool());
    EXPECT_EQ(chart.getObject("ChartTitle").get("Text").asText(), "Chart Title");
    chart.put("HasTitle", Variant::boolean(false));
    EXPECT_FALSE(chart.get("HasTitle").asBool());
    EXPECT_EQ(failure([&] { chart.get("ChartTitle"); }), "Chart.ChartTitle: the chart has no title");

    chart.getObject("Legend");
    chart.call("SetElement", {i32(100)});
    EXPECT_EQ(failure([&] { chart.get("Legend"); }), "Chart.Legend: the chart has no legend");
    chart.call("SetElement", {i32(101)});
    chart.getObject("Legend").put("IncludeInLayout", Variant::boolean(false));
    EXPECT_FALSE(chart.getObject("Legend").get("IncludeInLayout").asBool());

    chart.call("SetElement", {i32(307)});
    const AutomationObject title = chart.callObject("Axes", {i32(2), i32(1)}).getObject("AxisTitle");
    title.put("Text", text("Force"));
    EXPECT_EQ(chart.callObject("Axes", {i32(2), i32(1)}).getObject("AxisTitle").get("Text").asText(), "Force");
    EXPECT_EQ(failure([&] { chart.callObject("Axes", {i32(1), i32(1)}).get("AxisTitle"); }),
              "Axis.AxisTitle: the axis has no title");
}

TEST_F(ObjectModel, SelectMakesTheShapesChartTheActiveChart)
{
    EXPECT_TRUE(app.getObject("ActiveChart").isEmpty());
    EXPECT_THROW(app.getObject("ActiveChart").call("SeriesCollection"), AutomationError);

    const AutomationObject shapes = sheet.getObject("Shapes");
    const AutomationObject first = shapes.callObject("AddChart2", {i32(240), i32(72)});
    const AutomationObject second = shapes.callObject("AddChart2", {i32(240), i32(72)});
    first.call("Select");
    app.getObject("ActiveChart").callObject("SeriesCollection").call("NewSeries");
    second.call("Select");
    EXPECT_EQ(app.getObject("ActiveChart").callObject("SeriesCollection").get("Count").toInt32(), 0);
    EXPECT_EQ(first.getObject("Chart").callObject("SeriesCollection").get("Count").toInt32(), 1);
    EXPECT_EQ(shapes.get("Count").toInt32(), 2);
}

TEST_F(ObjectModel, ShapeGeometryAndSeriesPropertiesReadBackAsWritten)
{
    const AutomationObject shape = sheet.getObject("Shapes").callObject("AddChart2", {i32(240), i32(72)});
    shape.put("Width", i32(0));
    shape.put("Left", i32(-5));
    EXPECT_EQ(shape.get("Width").asNumber(), 0.0);
    EXPECT_EQ(shape.get("Left").asNumber(), -5.0);
    EXPECT_THROW(shape.put("Height", i32(-1)), AutomationError);

    shape.call("Select");
    const AutomationObject series = app.getObject("ActiveChart").callObject("SeriesCollection").callObject("NewSeries");
    series.put("Name", text("=Sheet1!$B$1"));
    series.put("XValues", text("Sheet1!$A$2:$A$2"));
    EXPECT_EQ(series.get("Name").asText(), "=Sheet1!$B$1");
    EXPECT_EQ(series.get("XValues").asText(), "=Sheet1!$A$2:$A$2");
    series.put("Name", text("X-Y"));
    EXPECT_EQ(series.get("Name").asText(), "X-Y");
    const AutomationObject color = series.getObject("Format").getObject("Line").getObject("ForeColor");
    color.put("ObjectThemeColor", i32(13));
    EXPECT_EQ(color.get("RGB").toInt32(), 0);
    color.put("RGB", Variant::uint32(4276545));
    EXPECT_EQ(color.get("RGB").toInt32(), 4276545);
}

TEST(WorkbookBackendNames, WorkbooksAreNamedInTurnAcrossApplications)
{
    WorkbookBackend backend(u'.');
    backend.setFirstWorkbookNumber(3);
    backend.createApplication().getObject("Workbooks").call("Add");
    const AutomationObject book = backend.createApplication().getObject("Workbooks").callObject("Add");
    EXPECT_EQ(book.get("Name").asText(), "Book4");
    ASSERT_EQ(backend.workbookCount(), 2);
    EXPECT_EQ(backend.workbookName(0), "Book3");
}

TEST(WorkbookBackendLifetime, HandlesOutliveTheBackEnd)
{
    AutomationObject sheet;
    {
        WorkbookBackend backend(u'.');
        sheet = backend.createApplication().getObject("Workbooks").callObject("Add").getObject("Sheets", {Variant::int32(1)});
    }
    sheet.getObject("Cells", {Variant::int32(2), Variant::int32(2)}).put("Value", Variant::text("7"));
    EXPECT_EQ(sheet.getObject("Cells", {Variant::int32(2), Variant::int32(2)}).get("Value").asNumber(), 7.0);
    EXPECT_EQ(sheet.get("Name").asText(), "Sheet1");
}

}  // namespace
