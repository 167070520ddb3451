// Thousands of random but reproducible user actions on the real main window, with the
// dialogs answered by the test; after every step the window must be consistent.
#include "chartview/ChartView.h"
#include "core/workbench/OtherDefinitions.h"
#include "gui/Links.h"
#include "gui/MainWindow.h"
#include "gui/OtherDefinitionsPanel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <random>

using namespace rz;

namespace {

class MonkeyDialogs : public DialogProvider {
public:
    void showMessage(QWidget*, MessageLevel level, const QString& text) override { messages << qMakePair(level, text); }
    QString getOpenFileName(QWidget*, const QString&, const QString&, const QStringList&) override { return answer; }
    QString getSaveFileName(QWidget*, const QString&, const QString&, const QString&, const QStringList& filters,
                            QString* selectedFilter) override
    {
        if (selectedFilter)
            *selectedFilter = filters.value(filterIndex % filters.size());
        return answer;
    }
    void showStartFailure(QWidget*, const QString& text, const QString&) override
    {
        messages << qMakePair(MessageLevel::Information, text);
    }
    void openWorkbook(QWidget*, const QString& path) override { workbooks << path; }
    bool showsProgress() const override { return false; }
    std::optional<ImportOptions> getImportOptions(QWidget*, const QString&, const ImportOptions&, QChar) override
    {
        return importAnswer;
    }

    QString answer;
    std::optional<ImportOptions> importAnswer;
    QStringList workbooks;
    int filterIndex = 0;
    QList<QPair<MessageLevel, QString>> messages;
};

// Magnitudes of 1E18 and more fall back to the general form.
const QRegularExpression kPattern5(QStringLiteral("^-?\\d+(\\.\\d{1,5})?$|^-?\\d(\\.\\d+)?E\\d+$"));
const QRegularExpression kPattern4(QStringLiteral("^-?\\d+\\.\\d{4}$"));
const QRegularExpression kGeneral(QStringLiteral("^-?\\d+(\\.\\d+)?(E-?\\d+)?$"));

bool isKnownError(const QString& text)
{
    return text.startsWith(QLatin1String("Cannot open file")) || text.startsWith(QLatin1String("Cannot create file")) ||
           text == QLatin1String("Floating point division by zero") ||
           text == QLatin1String("'abc' is not a valid floating point value") ||
           text == QLatin1String("Invalid floating point operation") || text == QLatin1String("Floating point overflow");
}

QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns at every window it cannot size; thousands of windows
// would bury the test's own lines.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    previousHandler(type, context, message);
}

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QStringList goodFiles;
    QStringList oddFiles;

    void write(const QString& name, const QByteArray& bytes, bool good)
    {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        (good ? goodFiles : oddFiles) << f.fileName();
    }

    QString fieldProblem(TForm1& form)
    {
        const Workbench& wb = form.workbench();
        for (int i = 0; i < kFieldCount; ++i) {
            const Field f = static_cast<Field>(i);
            const QString t = form.field(f)->text();
            if (t != wb.fieldText(f) && f != Field::edt1 && f != Field::edt12 && f != Field::edt17)
                return QStringLiteral("%1 shows '%2' but holds '%3'").arg(QLatin1String(fieldName(f)), t, wb.fieldText(f));
            if (f == Field::edt1 || f == Field::edt12 || f == Field::edt17 || t.isEmpty() || t == QLatin1String("--"))
                continue;
            const bool four = f == Field::edt8 || f == Field::edt9 || f == Field::edt13 || f == Field::edt14;
            const QRegularExpression& re = four ? kPattern4 : (f == Field::edt15 ? kGeneral : kPattern5);
            if (!re.match(t).hasMatch())
                return QStringLiteral("%1 shows '%2'").arg(QLatin1String(fieldName(f)), t);
        }
        for (int i = 0; i < kSeriesCount; ++i) {
            const Series& s = wb.chart().at(i).data;
            for (int k = 1; k < s.count(); ++k)
                if (s.x(k) < s.x(k - 1))
                    return QStringLiteral("series %1 not sorted at %2").arg(i).arg(k);
            for (int k = 0; k < s.count(); ++k)
                if (!std::isfinite(s.x(k)) || !std::isfinite(s.y(k)))
                    return QStringLiteral("series %1 holds a non-finite point").arg(i);
            if (form.chart()->seriesGraph(static_cast<SeriesId>(i))->dataCount() != s.count())
                return QStringLiteral("chart series %1 out of step with the model").arg(i);
        }
        // The other definitions: the table shows the model, the chart draws what is ticked.
        const std::vector<YieldDefinitionResult>& others = wb.otherDefinitions();
        const QTableWidget* table = form.otherDefinitionsDock()->table();
        for (int m = 0; m < table->rowCount(); ++m) {
            const QString load = table->item(m, 1)->text();
            const QString want =
                others.empty()
                    ? QString()
                    : otherDefinitionTexts(others[static_cast<std::size_t>(m)], wb.decimalSeparator()).yieldLoad;
            if (load != want)
                return QStringLiteral("other definition %1 shows '%2' for '%3'").arg(m).arg(load, want);
            if (!load.isEmpty() && load != QLatin1String("--") && !kPattern5.match(load).hasMatch())
                return QStringLiteral("other definition %1 shows '%2'").arg(m).arg(load);
            const bool ticked = form.otherDefinitionsDock()->isDrawn(m);
            for (const QString& key : {constructionOverlayKey(m), yieldPointOverlayKey(m)}) {
                const Overlay& o = wb.chart().overlay(wb.chart().overlayIndex(key));
                const QCPCurve* curve = form.chart()->overlayCurve(key);
                if (!curve || curve->visible() != ticked || o.visible != ticked)
                    return QStringLiteral("overlay %1 drawn out of step with its check box").arg(key);
                if (curve->dataCount() != static_cast<int>(o.points.size()))
                    return QStringLiteral("overlay %1 out of step with the model").arg(key);
                for (const Point& p : o.points)
                    if (!std::isfinite(p.x) || !std::isfinite(p.y))
                        return QStringLiteral("overlay %1 holds a non-finite point").arg(key);
            }
        }
        const bool empty = wb.chart()[SeriesId::lnsrsSeries4].data.empty();
        if ((wb.state().PeakIndex == -1) != empty)
            return QStringLiteral("PeakIndex %1 with %2 curve points").arg(wb.state().PeakIndex).arg(wb.chart()[SeriesId::lnsrsSeries4].data.count());
        return {};
    }

private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(quietHandler);
        write(QStringLiteral("worked.csv"), "d,l\n0,0\n1,50\n1.5,75\n2,80\n3,95\n4,100\n5,90\n6,80\n", true);
        write(QStringLiteral("nostiff.csv"), "d,l\n0,20\n1,60\n2,100\n3,70\n", true);
        write(QStringLiteral("tabs.txt"), "h\n0\t0\n0.5\t10\n1\t30\n2\t25\n", true);
        write(QStringLiteral("backwards.csv"), "d,l\n3,1\n0,0\n2,5\n1,3\n2,4\n", true);
        write(QStringLiteral("peakfirst.csv"), "d,l\n0,100\n1,50\n2,20\n", false);
        write(QStringLiteral("samex.csv"), "d,l\n0,0\n0,50\n1,100\n2,60\n", false);
        write(QStringLiteral("huge.csv"), "d,l\n0,0\n1e308,1.7e308\n1.5e308,1e308\n", false);
        write(QStringLiteral("empty.csv"), "", false);
        write(QStringLiteral("header.csv"), "only a header", false);
        write(QStringLiteral("garbage.bin"), QByteArray("\x00\xff\xfe\x01garbage\r\r\n,,\"", 16), false);
        write(QStringLiteral("onepoint.csv"), "d,l\n1,1\n", false);
        write(QStringLiteral("semicolon.csv"), "d;l\n0;0\n1;2\n", false);
        oddFiles << dir.filePath(QStringLiteral("missing.csv")) << dir.path();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("out")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("books")));
        setUrlOpener([](const QUrl&, QWidget*) {});
    }

    void randomSessions()
    {
        const int sequences = qEnvironmentVariableIntValue("RZ_MONKEY_SEQUENCES") > 0
                                  ? qEnvironmentVariableIntValue("RZ_MONKEY_SEQUENCES")
                                  : 1000;
        const int steps = 12;
        const QStringList factorTexts = {QStringLiteral("0.15"), QStringLiteral("0.1"), QStringLiteral("0.75"),
                                         QStringLiteral("0.5"),  QStringLiteral("0"),   QStringLiteral("1"),
                                         QStringLiteral("-0.5"), QStringLiteral("1.5"), QStringLiteral(""),
                                         QStringLiteral(" "),    QStringLiteral("abc"), QStringLiteral("1e999"),
                                         QStringLiteral("0,3"),  QStringLiteral("0.999999"), QStringLiteral("1e-300")};
        int totalSteps = 0;
        for (int seed = 1; seed <= sequences; ++seed) {
            std::mt19937 rng(static_cast<unsigned>(seed));
            auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
            MonkeyDialogs dialogs;
            TForm1 form(dir.path() + QLatin1Char('/'), QLatin1Char('.'), &dialogs);
            form.setWorkbookFolder(dir.filePath(QStringLiteral("books")));
            form.show();
            for (int step = 0; step < steps; ++step, ++totalSteps) {
                QString action;
                switch (pick(13)) {
                case 0:
                case 1: {
                    const bool good = pick(3) != 0;
                    const QStringList& files = good ? goodFiles : oddFiles;
                    dialogs.answer = pick(8) == 0 ? QString() : files[pick(static_cast<int>(files.size()))];
                    action = QStringLiteral("import '%1'").arg(dialogs.answer);
                    form.ImportLoadDisplacementFile1->trigger();
                    break;
                }
                case 2:
                case 3: {
                    const Field fields[] = {Field::edt12, Field::edt17, Field::edt1};
                    const Field f = fields[pick(3)];
                    const QString t = factorTexts[pick(static_cast<int>(factorTexts.size()))];
                    form.field(f)->setText(t);
                    action = QStringLiteral("type '%1' into %2, Calculate").arg(t, QLatin1String(fieldName(f)));
                    form.btn1->click();
                    break;
                }
                case 4: {
                    QRadioButton* buttons[] = {form.rb1, form.rb2, form.rb3, form.rb4};
                    const int b = pick(4);
                    action = QStringLiteral("radio %1").arg(b + 1);
                    buttons[b]->click();
                    break;
                }
                case 5: {
                    const int where = pick(3);
                    dialogs.answer = where == 0   ? dir.filePath(QStringLiteral("out/report.csv"))
                                     : where == 1 ? dir.filePath(QStringLiteral("nowhere/report.csv"))
                                                  : QString();
                    action = QStringLiteral("export report to '%1'").arg(dialogs.answer);
                    form.ExportYieldingPointTextFiles1->trigger();
                    break;
                }
                case 6: {
                    const int where = pick(3);
                    dialogs.filterIndex = pick(4);
                    dialogs.answer = where == 0   ? dir.filePath(QStringLiteral("out/picture"))
                                     : where == 1 ? dir.filePath(QStringLiteral("worked.csv/picture.png"))
                                                  : QString();
                    action = QStringLiteral("save picture to '%1' (filter %2)").arg(dialogs.answer).arg(dialogs.filterIndex);
                    form.SavePicture1->trigger();
                    break;
                }
                case 7: {
                    // A modal dialog: closed by the "user" as soon as it is up.
                    QTimer::singleShot(0, [] {
                        if (QWidget* w = QApplication::activeModalWidget())
                            w->close();
                    });
                    const bool about = pick(2) == 0;
                    action = about ? QStringLiteral("About") : QStringLiteral("Donation");
                    (about ? form.AboutKelvo1 : form.Donation1)->trigger();
                    break;
                }
                case 8: {
                    const QString positions[] = {QStringLiteral("-10000"), QStringLiteral(""), QStringLiteral("2.7"),
                                                 QStringLiteral("abc")};
                    form.ExcelOp.XAxisPosition = positions[pick(4)];
                    form.ExcelOp.ExportMode = pick(2);
                    form.ExcelOp.ShowMarker = pick(2) == 0;
                    action = QStringLiteral("Excel export (x position '%1', mode %2)")
                                 .arg(form.ExcelOp.XAxisPosition)
                                 .arg(form.ExcelOp.ExportMode);
                    form.ExportExcel1->trigger();
                    break;
                }
                case 9: {
                    QTimer::singleShot(0, [] {
                        if (QWidget* w = QApplication::activeModalWidget())
                            w->close();
                    });
                    action = QStringLiteral("Excel Options");
                    form.ExcelOptions1->trigger();
                    break;
                }
                case 10: {
                    OtherDefinitionsDock* dock = form.otherDefinitionsDock();
                    const int row = pick(dock->table()->rowCount());
                    action = QStringLiteral("tick other definition %1").arg(row);
                    dock->setDrawn(row, !dock->isDrawn(row));
                    if (pick(4) == 0) {
                        action += QStringLiteral(", View > Other Definitions");
                        form.otherDefinitionsAction()->trigger();
                    }
                    break;
                }
                case 11: {
                    // Import with Options: cancelled, detected, or with options that may not fit the file.
                    const bool good = pick(3) != 0;
                    const QStringList& files = good ? goodFiles : oddFiles;
                    dialogs.answer = files[pick(static_cast<int>(files.size()))];
                    ImportOptions options = ImportOptions::detectEverything();
                    if (pick(3) == 0)
                        options.load = {ColumnMode::Number, 1 + pick(4), {}};
                    if (pick(3) == 0)
                        options.order = PointOrder::FileOrder;
                    if (pick(4) == 0)
                        options.loadScale = {ScalePreset::Factor, pick(2) == 0 ? 0.0 : 1e300, pick(2) == 0};
                    dialogs.importAnswer = pick(5) == 0 ? std::nullopt : std::optional(options);
                    action = QStringLiteral("import with options '%1'").arg(dialogs.answer);
                    form.ImportWithOptions1->trigger();
                    break;
                }
                default:
                    action = QStringLiteral("links");
                    form.Howtouse1->trigger();
                    form.VisitWebSite1->trigger();
                    break;
                }
                const QString problem = fieldProblem(form);
                QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("seed %1 step %2 (%3): %4").arg(seed).arg(step).arg(action, problem)));
                for (const auto& m : dialogs.messages) {
                    if (m.first == MessageLevel::Error)
                        QVERIFY2(isKnownError(m.second),
                                 qPrintable(QStringLiteral("seed %1 step %2 (%3): unexpected error box '%4'").arg(seed).arg(step).arg(action, m.second)));
                }
                dialogs.messages.clear();
            }
        }
        qInfo("monkey: %d sequences, %d steps", sequences, totalSteps);
        // No file but the outputs asked for was left behind (no temporary files).
        const QStringList left = QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : left)
            QVERIFY2(name == QLatin1String("report.csv") || name == QLatin1String("picture"), qPrintable(name));
    }
};

QTEST_MAIN(MonkeyTest)
#include "test_monkey.moc"
