// The table of the yield definitions of the standards in the main window, its check
// boxes and the overlays they draw, the View menu, the remembered state, and the chart
// view's overlays on their own.
#include "FakeDialogs.h"
#include "chartview/ChartView.h"
#include "core/methods/YieldMethods.h"
#include "core/text/NumberText.h"
#include "core/workbench/OtherDefinitions.h"
#include "gui/MainWindow.h"
#include "gui/OtherDefinitionsPanel.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace rz;
using namespace rz::test;

namespace {

const QString kRealCurve = QStringLiteral(RZ_TEST_DATA_DIR "/real/cfs_steel_screw_connection_monotonic_01.csv");

int methodCount()
{
    return static_cast<int>(otherYieldMethods().size());
}

// Where a row's check box is drawn, as the view's style places it.
QPoint checkBoxCentre(QTableWidget* table, int row)
{
    QTableWidgetItem* item = table->item(row, 0);
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = table->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    option.decorationSize = table->iconSize();
    option.text = item->text();
    option.icon = item->icon();
    option.checkState = item->checkState();
    option.widget = table;
    return table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table).center();
}

std::vector<Point> curvePoints(const QCPCurve* curve)
{
    std::vector<Point> out;
    for (auto it = curve->data()->constBegin(); it != curve->data()->constEnd(); ++it)
        out.push_back({it->key, it->value});
    return out;
}

}  // namespace

class OtherDefinitionsWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;

    OtherDefinitionsDock* dock() const { return form->otherDefinitionsDock(); }
    QTableWidget* table() const { return dock()->table(); }
    QString cell(int row, int column) const { return table()->item(row, column)->text(); }

    void calculate(const QString& path)
    {
        dialogs.answers = {path};
        form->ImportLoadDisplacementFile1->trigger();
        form->btn1->click();
        QVERIFY(form->workbench().lastCalculationCompleted());
    }
    void maybeScreenshot(const QString& name)
    {
        const QByteArray out = qgetenv("RZ_SCREENSHOT_DIR");
        if (!out.isEmpty())
            form->grab().save(QString::fromLocal8Bit(out) + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    std::unique_ptr<TForm1> newForm(QChar separator = QLatin1Char('.'))
    {
        auto f = std::make_unique<TForm1>(dir.path() + QStringLiteral("/prog/"), separator, &dialogs);
        f->show();
        return f;
    }

private slots:
    void init()
    {
        dialogs = FakeDialogs();
        form = newForm();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void tableIsShownEmptyAndUnticked()
    {
        QVERIFY(dock()->isVisible());
        QVERIFY(form->otherDefinitionsAction()->isChecked());
        QCOMPARE(form->dockWidgetArea(dock()), Qt::BottomDockWidgetArea);
        QCOMPARE(table()->rowCount(), methodCount());
        for (int m = 0; m < methodCount(); ++m) {
            QCOMPARE(cell(m, 0), QString::fromUtf8(otherYieldMethods()[static_cast<std::size_t>(m)].title));
            QCOMPARE(table()->item(m, 0)->checkState(), Qt::Unchecked);
            for (int c = 1; c < table()->columnCount(); ++c)
                QVERIFY(cell(m, c).isEmpty());
        }
        maybeScreenshot(QStringLiteral("other-definitions-empty"));
    }

    // The rows show what the model holds, in the window's number formats.
    void rowsShowTheResultsInTheWindowsFormats_data()
    {
        QTest::addColumn<QChar>("separator");
        QTest::newRow("decimal point") << QChar(u'.');
        QTest::newRow("decimal comma") << QChar(u',');
    }
    void rowsShowTheResultsInTheWindowsFormats()
    {
        QFETCH(QChar, separator);
        form = newForm(separator);
        // Loads and displacements of the sample have no decimals: it reads under both.
        calculate(writeFile(dir, QStringLiteral("nostiff.csv"), "d l\n0 20\n1 60\n2 100\n3 70\n"));
        const std::vector<YieldDefinitionResult>& results = form->workbench().otherDefinitions();
        QCOMPARE(static_cast<int>(results.size()), methodCount());
        bool sawFound = false;
        bool sawMissing = false;
        for (int m = 0; m < methodCount(); ++m) {
            const YieldDefinitionResult& r = results[static_cast<std::size_t>(m)];
            if (r.found) {
                sawFound = true;
                QCOMPARE(cell(m, 1), formatPattern5(r.yieldLoad, separator));
                QCOMPARE(cell(m, 2), formatPattern5(r.yieldDisp, separator));
                QCOMPARE(cell(m, 3), formatPattern4(r.ductility, separator));
                QCOMPARE(cell(m, 4), formatPattern5(r.stiffness, separator));
                QCOMPARE(cell(m, 5), r.note.isEmpty() ? QStringLiteral("—") : r.note);
            } else {
                sawMissing = true;
                for (int c = 1; c <= 4; ++c)
                    QCOMPARE(cell(m, c), QStringLiteral("--"));
                QCOMPARE(cell(m, 5), r.note);
                QCOMPARE(table()->item(m, 5)->toolTip(), r.note);
            }
        }
        QVERIFY(sawFound && sawMissing);
        QVERIFY(cell(0, 3).contains(separator));

        // A Calculate that is refused empties the rows rather than leave them stale.
        form->field(Field::edt1)->setText(QStringLiteral("1"));
        form->btn1->click();
        QCOMPARE(dialogs.messages.last().text,
                 QStringLiteral("Load Factor for R.Park Method must be greater than 0.0 and less than 1.0!"));
        for (int m = 0; m < methodCount(); ++m)
            for (int c = 1; c < table()->columnCount(); ++c)
                QVERIFY2(cell(m, c).isEmpty(), qPrintable(cell(m, c)));
    }

    // Ticking a row draws its construction and yield point, in drawing order, and
    // nothing else of the chart changes.
    void tickingDrawsTheConstruction_data()
    {
        QTest::addColumn<int>("method");
        for (int m = 0; m < methodCount(); ++m)
            QTest::newRow(otherYieldMethods()[static_cast<std::size_t>(m)].key) << m;
    }
    void tickingDrawsTheConstruction()
    {
        QFETCH(int, method);
        calculate(kRealCurve);
        const YieldDefinitionResult& r = form->workbench().otherDefinitions().at(static_cast<std::size_t>(method));
        QVERIFY2(r.found, qPrintable(r.note));
        QCPCurve* line = form->chart()->overlayCurve(constructionOverlayKey(method));
        QCPCurve* point = form->chart()->overlayCurve(yieldPointOverlayKey(method));
        QVERIFY(line && point);
        QVERIFY(!line->visible() && !point->visible());
        const QCPRange xBefore = form->chart()->xAxis->range();

        // A click on the row's check box.
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, checkBoxCentre(table(), method));
        QCOMPARE(table()->item(method, 0)->checkState(), Qt::Checked);
        QVERIFY(form->workbench().otherDefinitionShown(method));
        QVERIFY(line->visible() && point->visible());
        QCOMPARE(curvePoints(line), r.polyline);
        QCOMPARE(curvePoints(point), std::vector<Point>{r.yieldPoint});
        for (int other = 0; other < methodCount(); ++other)
            if (other != method)
                QVERIFY(!form->chart()->overlayCurve(constructionOverlayKey(other))->visible());
        for (int i = 0; i < kSeriesCount; ++i)
            QVERIFY(form->chart()->seriesGraph(static_cast<SeriesId>(i))->visible());
        // The axes take in what is drawn: the construction may reach past the curve.
        double xmax = 0;
        for (const Point& p : r.polyline)
            xmax = std::max(xmax, p.x);
        QVERIFY(form->chart()->xAxis->range().upper >= std::max(xmax, xBefore.upper) - 1e-9);

        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, checkBoxCentre(table(), method));
        QCOMPARE(table()->item(method, 0)->checkState(), Qt::Unchecked);
        QVERIFY(!line->visible() && !point->visible());
        QVERIFY(!form->workbench().otherDefinitionShown(method));
    }

    // From the keyboard: Tab reaches the table, arrows choose a row, Space ticks it
    // wherever the cursor stands in the row.
    void spaceTicksTheCurrentRow()
    {
        table()->setFocus(Qt::TabFocusReason);
        table()->setCurrentCell(2, 4);
        QTest::keyClick(table(), Qt::Key_Space);
        QCOMPARE(table()->item(2, 0)->checkState(), Qt::Checked);
        QVERIFY(form->workbench().otherDefinitionShown(2));
        QTest::keyClick(table(), Qt::Key_Down);
        QCOMPARE(table()->currentRow(), 3);
        QTest::keyClick(table(), Qt::Key_Space);
        QVERIFY(form->workbench().otherDefinitionShown(3));
        QTest::keyClick(table(), Qt::Key_Up);
        QTest::keyClick(table(), Qt::Key_Space);
        QVERIFY(!form->workbench().otherDefinitionShown(2));
        QVERIFY(form->workbench().otherDefinitionShown(3));
        QVERIFY(table()->focusPolicy() & Qt::TabFocus);
    }

    void viewMenuHidesAndShowsTheTable()
    {
        QMenu* view = form->menuBar()->findChild<QMenu*>(QStringLiteral("viewMenu"));
        QVERIFY(view);
        QVERIFY(view->actions().contains(form->otherDefinitionsAction()));
        form->otherDefinitionsAction()->trigger();
        QVERIFY(!dock()->isVisible());
        QVERIFY(!form->otherDefinitionsAction()->isChecked());
        // Hiding the table leaves what it draws: the chart is the user's to keep.
        dock()->setDrawn(1, true);
        QVERIFY(form->workbench().otherDefinitionShown(1));
        form->otherDefinitionsAction()->trigger();
        QVERIFY(dock()->isVisible());
        QVERIFY(form->otherDefinitionsAction()->isChecked());
    }

    void shownAndTickedAreRemembered()
    {
        const QString path = dir.filePath(QStringLiteral("remember.conf"));
        {
            QSettings settings(path, QSettings::IniFormat);
            form->setSettings(&settings);
            dock()->setDrawn(1, true);
            dock()->setDrawn(3, true);
            dock()->setDrawn(1, false);
            dock()->setDrawn(4, true);
            form->otherDefinitionsAction()->trigger();
            form.reset();
        }
        QSettings reread(path, QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("otherDefinitions/drawn")).toStringList(),
                 (QStringList{QStringLiteral("Bilinear_ASCE_41"), QStringLiteral("EqualEnergy_EN_1998")}));
        QCOMPARE(reread.value(QStringLiteral("otherDefinitions/shown")).toBool(), false);

        form = newForm();
        QSettings settings(path, QSettings::IniFormat);
        form->setSettings(&settings);
        QVERIFY(!dock()->isVisible());
        for (int m = 0; m < methodCount(); ++m) {
            const bool want = m == 3 || m == 4;
            QCOMPARE(dock()->isDrawn(m), want);
            QCOMPARE(form->workbench().otherDefinitionShown(m), want);
        }
        // No settings at all: the defaults, and nothing is written anywhere.
        form = newForm();
        QVERIFY(dock()->isVisible());
        QVERIFY(!dock()->isDrawn(3));
    }

    // With every row ticked, a real curve shows all eight yield points at once: the three
    // methods' and the five definitions', each inside the axes.
    void allEightYieldPointsOnARealCurve()
    {
        calculate(kRealCurve);
        for (int m = 0; m < methodCount(); ++m)
            dock()->setDrawn(m, true);
        QCoreApplication::processEvents();
        maybeScreenshot(QStringLiteral("other-definitions-all"));

        const ChartView* chart = form->chart();
        std::vector<Point> yields;
        for (SeriesId id : {SeriesId::pntsrsSeries1, SeriesId::pntsrsSeries2, SeriesId::pntsrsSeries3}) {
            QVERIFY(chart->seriesGraph(id)->visible());
            QCOMPARE(chart->seriesGraph(id)->dataCount(), 1);
            const auto p = chart->seriesGraph(id)->data()->constBegin();
            yields.push_back({p->key, p->value});
        }
        for (int m = 0; m < methodCount(); ++m) {
            const QCPCurve* point = chart->overlayCurve(yieldPointOverlayKey(m));
            QVERIFY(point->visible());
            QCOMPARE(point->dataCount(), 1);
            const auto p = point->data()->constBegin();
            yields.push_back({p->key, p->value});
        }
        QCOMPARE(yields.size(), std::size_t{8});
        for (const Point& p : yields) {
            QVERIFY(chart->xAxis->range().contains(p.x));
            QVERIFY(chart->yAxis->range().contains(p.y));
        }
    }
};

// The chart view's overlays apart from the window.
class ChartOverlayTest : public QObject {
    Q_OBJECT

private slots:
    void overlaysAreCurvesInDrawingOrder()
    {
        ChartView view;
        view.resize(500, 300);
        ChartModel model;
        model[SeriesId::lnsrsSeries4].data.add(0, 0);
        model[SeriesId::lnsrsSeries4].data.add(10, 100);
        const OverlayStyle dashed{0xD55E00, 2.0, DashPattern::Dash, MarkerShape::None, 0.0, false};
        const int back = model.addOverlay(QStringLiteral("back"), QStringLiteral("Goes back"), dashed);
        const std::vector<Point> order = {{0, 0}, {8, 80}, {2, 80}, {2, 0}};
        model.setOverlayPoints(back, order);
        const int far = model.addOverlay(QStringLiteral("far"), QStringLiteral("Far away"), dashed);
        model.setOverlayPoints(far, {{500, 5000}});
        view.sync(model);

        QCPCurve* curve = view.overlayCurve(QStringLiteral("back"));
        QVERIFY(curve);
        QCOMPARE(curvePoints(curve), order);
        QCOMPARE(curve->name(), QStringLiteral("Goes back"));
        QCOMPARE(curve->pen().color(), QColor(0xD5, 0x5E, 0x00));
        QVERIFY(curve->pen().style() == Qt::CustomDashLine);
        // Hidden overlays do not move the axes.
        QVERIFY(!curve->visible());
        QVERIFY(view.xAxis->range().upper < 20);

        model.setOverlayVisible(far, true);
        view.sync(model);
        QVERIFY(view.xAxis->range().contains(500));
        QVERIFY(view.yAxis->range().contains(5000));

        // Drawn over the nine series, in the model's order.
        QCPLayer* main = view.layer(QStringLiteral("main"));
        QCOMPARE(curve->layer(), main);
        const QList<QCPLayerable*> children = main->children();
        QVERIFY(children.indexOf(view.seriesGraph(SeriesId::pntsrsSeries5)) < children.indexOf(curve));
        QVERIFY(children.indexOf(curve) < children.indexOf(view.overlayCurve(QStringLiteral("far"))));

        // Only what changed is copied: an unchanged overlay keeps its data object.
        const auto data = curve->data();
        model.setOverlayPoints(far, {{600, 10}});
        view.sync(model);
        QCOMPARE(curve->data().data(), data.data());
        QCOMPARE(curvePoints(view.overlayCurve(QStringLiteral("far"))), (std::vector<Point>{{600, 10}}));

        // Behind the curve, and a removed overlay is removed from the chart.
        OverlayStyle behind = dashed;
        behind.behindCurve = true;
        model.addOverlay(QStringLiteral("back"), QStringLiteral("Goes back"), behind);
        model.removeOverlay(model.overlayIndex(QStringLiteral("far")));
        view.sync(model);
        QVERIFY(!view.overlayCurve(QStringLiteral("far")));
        QCPCurve* moved = view.overlayCurve(QStringLiteral("back"));
        QVERIFY(moved->layer() != main);
        QVERIFY(moved->layer()->index() < main->index());
        QVERIFY(moved->layer()->index() > view.layer(QStringLiteral("grid"))->index());
        QCOMPARE(curvePoints(moved), order);
        QCOMPARE(view.plottableCount(), kSeriesCount + 1);
    }

    // Every marker shape of an overlay is a distinct shape on the chart.
    void markerShapesAreDistinct()
    {
        QSet<int> shapes;
        for (MarkerShape m : {MarkerShape::Circle, MarkerShape::Square, MarkerShape::Diamond, MarkerShape::Triangle,
                              MarkerShape::TriangleDown, MarkerShape::Cross, MarkerShape::Plus, MarkerShape::Star}) {
            const QCPScatterStyle s = overlayScatter({0, 0.0, DashPattern::Solid, m, 9.0, false});
            QVERIFY(s.shape() != QCPScatterStyle::ssNone);
            shapes.insert(static_cast<int>(s.shape()));
        }
        QCOMPARE(shapes.size(), 8);
        QVERIFY(overlayScatter({}).isNone());
        QCOMPARE(overlayPen({0, 0.0, DashPattern::Dash, MarkerShape::Square, 9.0, false}).style(), Qt::NoPen);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        OtherDefinitionsWindowTest window;
        status |= QTest::qExec(&window, argc, argv);
    }
    {
        ChartOverlayTest chart;
        status |= QTest::qExec(&chart, argc, argv);
    }
    return status;
}

#include "test_other_definitions.moc"
