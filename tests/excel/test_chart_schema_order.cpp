// Chart parts in the order of the chart schema: the reordering itself, and every kind of
// workbook the export writes.
#include "ChartSchemaOrder.h"
#include "ExcelTestSupport.h"

#include "excel/ChartXmlOrder.h"
#include "excel/ExcelExport.h"
#include "excel/WorkbookBackend.h"
#include "excel/WorkbookExport.h"
#include "excel/XmlPartCheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <ostream>

namespace rz::excel {
namespace {

using test::addCurve;
using test::addPoints;
using test::chartOrderProblems;
using ::testing::IsEmpty;

const QByteArray kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">";

QByteArray chartSpace(const QByteArray& body)
{
    return kHead + body + "</c:chartSpace>";
}

struct OrderCase {
    const char* name;
    QByteArray in;
    QByteArray want;  // empty: already in order
};

TEST(ChartXmlOrder, ChildrenTakeTheSchemasOrder)
{
    const OrderCase cases[] = {
        {"the writer's legend: txPr before overlay",
         "<c:chart><c:legend><c:legendPos val=\"r\"/><c:layout/><c:txPr><a:bodyPr/><a:lstStyle/><a:p><a:pPr>"
         "<a:defRPr sz=\"1000\"/></a:pPr><a:endParaRPr lang=\"en-US\"/></a:p></c:txPr><c:overlay val=\"1\"/>"
         "</c:legend></c:chart>",
         "<c:chart><c:legend><c:legendPos val=\"r\"/><c:layout/><c:overlay val=\"1\"/><c:txPr><a:bodyPr/>"
         "<a:lstStyle/><a:p><a:pPr><a:defRPr sz=\"1000\"/></a:pPr><a:endParaRPr lang=\"en-US\"/></a:p></c:txPr>"
         "</c:legend></c:chart>"},
        {"in order already",
         "<c:chart><c:plotArea><c:layout/></c:plotArea><c:legend><c:legendPos val=\"r\"/>"
         "</c:legend><c:plotVisOnly val=\"1\"/></c:chart>",
         ""},
        {"series of one chart keep their order; a series' marker goes before its values",
         "<c:chart><c:plotArea><c:scatterChart><c:axId val=\"1\"/><c:ser><c:yVal/><c:idx val=\"0\"/></c:ser>"
         "<c:ser><c:idx val=\"1\"/><c:smooth val=\"1\"/><c:marker/></c:ser><c:scatterStyle val=\"lineMarker\"/>"
         "</c:scatterChart></c:plotArea></c:chart>",
         "<c:chart><c:plotArea><c:scatterChart><c:scatterStyle val=\"lineMarker\"/><c:ser><c:idx val=\"0\"/>"
         "<c:yVal/></c:ser><c:ser><c:idx val=\"1\"/><c:marker/><c:smooth val=\"1\"/></c:ser><c:axId val=\"1\"/>"
         "</c:scatterChart></c:plotArea></c:chart>"},
        {"cached values travel with their series, byte for byte",
         "<c:chart><c:plotArea><c:scatterChart><c:ser><c:yVal><c:numRef><c:f>Sheet1!$B$2:$B$3</c:f><c:numCache>"
         "<c:formatCode>General</c:formatCode><c:ptCount val=\"2\"/><c:pt idx=\"0\"><c:v>1.5</c:v></c:pt>"
         "</c:numCache></c:numRef></c:yVal><c:tx><c:strRef><c:f>Sheet1!$B$1</c:f><c:strCache><c:ptCount val=\"1\"/>"
         "<c:pt idx=\"0\"><c:v>Pr\xC3\xBC"
         "fk\xC3\xB6"
         "rper &amp; 3</c:v></c:pt></c:strCache></c:strRef></c:tx>"
         "<c:idx val=\"0\"/></c:ser></c:scatterChart></c:plotArea></c:chart>",
         "<c:chart><c:plotArea><c:scatterChart><c:ser><c:idx val=\"0\"/><c:tx><c:strRef><c:f>Sheet1!$B$1</c:f>"
         "<c:strCache><c:ptCount val=\"1\"/><c:pt idx=\"0\"><c:v>Pr\xC3\xBC"
         "fk\xC3\xB6"
         "rper &amp; 3</c:v></c:pt>"
         "</c:strCache></c:strRef></c:tx><c:yVal><c:numRef><c:f>Sheet1!$B$2:$B$3</c:f><c:numCache>"
         "<c:formatCode>General</c:formatCode><c:ptCount val=\"2\"/><c:pt idx=\"0\"><c:v>1.5</c:v></c:pt>"
         "</c:numCache></c:numRef></c:yVal></c:ser></c:scatterChart></c:plotArea></c:chart>"},
        {"an element the schema does not name stays after the one it followed",
         "<c:legend><c:txPr/><c:unknownThing/><c:legendPos val=\"b\"/></c:legend>",
         "<c:legend><c:legendPos val=\"b\"/><c:txPr/><c:unknownThing/></c:legend>"},
        {"texts, entities and attributes as they were",
         "<c:chart><c:legend><c:txPr/><c:legendPos val=\"a&amp;b &quot;c&quot;\"/></c:legend><c:title><c:overlay/>"
         "<c:tx><c:rich><a:p><a:r><a:t>Load &lt;kN&gt; &amp; 1 \xE2\x80\x93 2</a:t></a:r></a:p></c:rich></c:tx>"
         "</c:title></c:chart>",
         "<c:chart><c:title><c:tx><c:rich><a:p><a:r><a:t>Load &lt;kN&gt; &amp; 1 \xE2\x80\x93 2</a:t></a:r></a:p>"
         "</c:rich></c:tx><c:overlay/></c:title><c:legend><c:legendPos val=\"a&amp;b &quot;c&quot;\"/><c:txPr/>"
         "</c:legend></c:chart>"},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QByteArray> got = chartXmlInSchemaOrder(chartSpace(c.in));
        if (c.want.isEmpty()) {
            EXPECT_FALSE(got.has_value()) << got.value_or(QByteArray()).toStdString();
        } else {
            ASSERT_TRUE(got.has_value());
            EXPECT_EQ(got->trimmed().toStdString(), chartSpace(c.want).replace("\n", "").toStdString());
        }
    }
}

TEST(ChartXmlOrder, APartThatIsNotWellFormedIsRefused)
{
    for (const QByteArray& bad : {kHead + "<c:chart><c:legend></c:chart>", kHead + "<c:chart>", QByteArray("")}) {
        SCOPED_TRACE(bad.toStdString());
        EXPECT_THROW(chartXmlInSchemaOrder(bad), ChartXmlError);
    }
}

// ---------------------------------------------------------------------------------------
// Every kind of chart the export writes.

class SilentFeedback : public ExportFeedback {
public:
    void showStartFailure(const QString&, const QString&) override {}
    void showNotice(const QString&) override {}
};

struct ExportVariant {
    const char* name;
    std::function<void(ExcelOp&)> options;
};

void PrintTo(const ExportVariant& variant, std::ostream* os)
{
    *os << variant.name;
}

class WrittenCharts : public ::testing::TestWithParam<ExportVariant> {};

TEST_P(WrittenCharts, FollowTheSchemasOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ChartModel chart;
    addCurve(chart, 40);
    addPoints(chart, SeriesId::lnsrsSeries1, {{0, 0}, {10, 5}});
    addPoints(chart, SeriesId::pntsrsSeries1, {{8, 4}});
    addPoints(chart, SeriesId::pntsrsSeries5, {{39, 19.5}});
    ExcelOp op;
    GetParam().options(op);
    SilentFeedback feedback;
    WorkbookExport run(u'.');
    const QString path = dir.filePath(QStringLiteral("out.xlsx"));
    run.toFile(op, chart, feedback, path);
    ASSERT_EQ(run.savedPath(), path);
    EXPECT_THAT(chartOrderProblems(path), IsEmpty());
}

const ExportVariant kVariants[] = {
    {"defaults: legend outside the layout, axis titles, crossings", [](ExcelOp&) {}},
    {"legend in the layout", [](ExcelOp& op) { op.LegendIncludeInLayout = true; }},
    {"no legend", [](ExcelOp& op) { op.ShowLegend = false; }},
    {"graph title",
     [](ExcelOp& op) {
         op.ShowGraphTitle = true;
         op.GraphTitle = QStringLiteral("Specimen 3");
     }},
    {"no axis titles, no crossings, no lines",
     [](ExcelOp& op) {
         op.ShowAxisTitle = false;
         op.XAxisPosition.clear();
         op.YAxisPosition.clear();
         op.ShowAxisLine = false;
         op.ShowPlotAreaLine = false;
     }},
    {"series colours, no markers",
     [](ExcelOp& op) {
         op.LineColorMode = 1;
         op.MarkerColorMode = 1;
         op.ShowMarker = false;
     }},
    {"marker colours",
     [](ExcelOp& op) {
         op.MarkerColorMode = 1;
         op.MarkerStyle = 2;
     }},
    {"combined layout", [](ExcelOp& op) { op.ExportMode = 1; }},
};

INSTANTIATE_TEST_SUITE_P(Options, WrittenCharts, ::testing::ValuesIn(kVariants),
                         [](const ::testing::TestParamInfo<ExportVariant>& variant) {
                             return "variant" + std::to_string(variant.index);
                         });

TEST(WrittenChartsConstantMemory, FollowTheSchemasOrderWithoutCachedValues)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ChartModel chart;
    addCurve(chart, 60);
    ExcelOp op;
    WorkbookBackend backend(u'.');
    backend.setConstantMemoryThreshold(10);
    struct Env : ExcelEnvironment {
        explicit Env(WorkbookBackend& b) : backend(b) {}
        AutomationObject createApplication() override { return backend.createApplication(); }
        void showStartFailure(const QString&, const QString&) override {}
        void showNotice(const QString&) override {}
        WorkbookBackend& backend;
    } bridge(backend);
    ExportToExcel(op, chart, u'.', bridge);
    const QString path = dir.filePath(QStringLiteral("big.xlsx"));
    backend.save(0, path);
    EXPECT_THAT(chartOrderProblems(path), IsEmpty());
}

}  // namespace
}  // namespace rz::excel

namespace rz::excel {
namespace {

TEST(XmlPartIsWhole, CutShortAnywhereIsNotWhole)
{
    const std::pair<const char*, bool> cases[] = {
        {"<?xml version=\"1.0\"?>\n<worksheet><sheetData><row r=\"1\"><c><v>1</v></c></row></sheetData></worksheet>\n",
         true},
        {"<?xml version=\"1.0\"?><!-- note --><root a=\"x > y\" b='1/'/>", true},
        {"<root><![CDATA[ </root> ]]></root>", true},
        {"<root><a></a ></root>", true},
        {"<?xml version=\"1.0\"?>\n<worksheet><sheetData><row r=\"1\"><c><v>1</v></c></row></sheetData></works", false},
        {"<worksheet><sheetData><row r=\"1\"><c><v>1</v></c><row r=\"2\"></sheetData></worksheet>", false},
        {"<worksheet><sheetData><row r=\"1\"><c><v>1</v></c></row><row r=\"2\"><c><v>", false},
        {"<root></root>trailing text", false},
        {"<root/><second/>", false},
        {"<root a=\"unclosed></root>", false},
        {"<?xml version=\"1.0\"?>", false},
        {"", false},
    };
    for (const auto& [xml, whole] : cases) {
        EXPECT_EQ(xmlPartIsWhole(QByteArrayView(xml)), whole) << xml;
        // In pieces, cut at every place and in runs of three bytes: the same answer.
        const QByteArrayView text(xml);
        for (qsizetype cut = 1; cut < text.size(); ++cut) {
            XmlPartCheck halves;
            halves.feed(text.first(cut));
            halves.feed(text.sliced(cut));
            EXPECT_EQ(halves.whole(), whole) << xml << " cut at " << cut;
        }
        XmlPartCheck threes;
        for (qsizetype at = 0; at < text.size(); at += 3)
            threes.feed(text.sliced(at, std::min<qsizetype>(3, text.size() - at)));
        EXPECT_EQ(threes.whole(), whole) << xml << " in threes";
    }
}

}  // namespace
}  // namespace rz::excel
