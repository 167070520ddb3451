// A cyclic record in the window: File > Import Cyclic Test offers the import dialog with
// "cyclic" ticked; the chart holds the record behind both envelopes; the direction
// selector switches the fields and the constructions, the negative direction drawn
// mirrored back; the status bar counts; a monotonic import afterwards restores the
// monotonic window. With RZ_CYCLIC_SHOTS set to a folder, the window of each real record
// is saved there in both directions (for the docs; run under xvfb-run to see real fonts).
#include "RecordingDialogs.h"
#include "chartview/ChartView.h"
#include "core/workbench/CyclicSession.h"
#include "gui/CyclicDirectionBar.h"
#include "gui/ImportOptionsDialog.h"
#include "gui/ImportOptionsForm.h"
#include "gui/MainWindow.h"

#include <qcustomplot.h>

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace rz;
using namespace rz::test;

namespace {

QString record(const char* name)
{
    return QStringLiteral(RZ_TEST_DATA_DIR "/cyclic/") + QString::fromLatin1(name);
}

const char* const kRecords[] = {
    "cfs_steel_screw_connection_cyclic_01.csv",
    "cfs_stud_to_osb_connection_cyclic_01.csv",
    "clt_rocking_wall_cyclic_01.csv",
    "clt_shear_wall_psp_connection_cyclic_01.csv",
};

class CyclicDialogs : public RecordingDialogs {
public:
    std::optional<ImportOptions> getImportOptions(QWidget* parent, const QString& path, const ImportOptions& initial,
                                                  QChar separator) override
    {
        offered = initial;
        if (realDialog)
            return DialogProvider::getImportOptions(parent, path, initial, separator);
        ImportOptions chosen = initial;
        chosen.decimal = DecimalSeparator::Point;
        return chosen;
    }
    std::optional<ImportOptions> offered;
    bool realDialog = false;
};

}  // namespace

class CyclicWindowTest : public QObject {
    Q_OBJECT

    CyclicDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void importCyclic(const QString& path)
    {
        dialogs.answers = {path};
        form->importCyclicAction->trigger();
    }
    const Workbench& direction(Direction d) { return form->workbench().cyclic()->analysis(d); }

private slots:
    void init()
    {
        dialogs.messages.clear();
        dialogs.realDialog = false;
        form = std::make_unique<TForm1>(QDir::tempPath() + QLatin1Char('/'), u'.', &dialogs);
        form->show();
    }
    void cleanup() { form.reset(); }

    void menuOffersTheDialogWithCyclicTicked()
    {
        dialogs.realDialog = true;
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<ImportOptionsDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ImportOptionsForm* f = dialog->form();
            QVERIFY(f->cyclic->isChecked());
            QVERIFY(!f->order->isEnabled());
            // A tolerance out of range keeps Import off and says why.
            f->tolerance->setText(QStringLiteral("0.5"));
            emit f->tolerance->textEdited(f->tolerance->text());
            QVERIFY(!dialog->buttons()->button(QDialogButtonBox::Ok)->isEnabled());
            QCOMPARE(dialog->messageLabel()->text().contains(QStringLiteral("Tolerance")), true);
            f->tolerance->setText(QStringLiteral("0.02"));
            emit f->tolerance->textEdited(f->tolerance->text());
            f->envelope->setCurrentIndex(f->envelope->findData(static_cast<int>(EnvelopeChoice::Last)));
            dialog->accept();
        });
        importCyclic(record(kRecords[1]));
        QVERIFY(dialogs.offered && dialogs.offered->cyclic);
        const CyclicSession* session = form->workbench().cyclic();
        QVERIFY(session);
        QCOMPARE(session->options().tolerance, 0.02);
        QCOMPARE(session->options().envelope, EnvelopeChoice::Last);
        // Remembered: the next dialog starts from them.
        dialogs.realDialog = false;
        importCyclic(record(kRecords[1]));
        QCOMPARE(dialogs.offered->cyclic->envelope, EnvelopeChoice::Last);
    }

    void selectorSwitchesFieldsAndDrawing()
    {
        importCyclic(record(kRecords[0]));
        QVERIFY(form->workbench().cyclic());
        CyclicDirectionBar* bar = form->cyclicDirectionBar();
        QVERIFY(bar->isVisible());
        QVERIFY(form->cyclicSummary()->isVisible());
        QVERIFY(form->cyclicSummary()->text().startsWith(QStringLiteral("Samples: 29493  Reversals: ")));
        QVERIFY(form->cyclicSummary()->text().contains(QStringLiteral("positive 10, negative 7")));
        QCPCurve* loops = form->chart()->overlayCurve(QStringLiteral("cyclic.record"));
        QVERIFY(loops && loops->visible());
        QVERIFY(form->chart()->overlayCurve(QStringLiteral("cyclic.envelope.negative"))->visible());
        // Thinned for the chart's pixels, never to nothing.
        const qsizetype drawn = form->chart()->overlayDrawnCount(QStringLiteral("cyclic.record"));
        QVERIFY(drawn > 100 && drawn < 29493);

        form->btn1->click();
        QVERIFY(form->workbench().lastCalculationCompleted());
        QCOMPARE(form->field(Field::edt10)->text(), direction(Direction::Positive).fieldText(Field::edt10));
        QCPGraph* curve = form->chart()->seriesGraph(SeriesId::lnsrsSeries4);
        QVERIFY(curve->data()->at(curve->dataCount() - 1)->key > 0.0);

        QTest::mouseClick(bar->button(CyclicView::Negative), Qt::LeftButton);
        QCOMPARE(form->workbench().cyclicView(), CyclicView::Negative);
        QCOMPARE(form->field(Field::edt10)->text(), direction(Direction::Negative).fieldText(Field::edt10));
        QVERIFY(form->field(Field::edt10)->text() != direction(Direction::Positive).fieldText(Field::edt10));
        // The analysed envelope is positive; it is drawn back in the negative quadrant.
        const Series& analysed = direction(Direction::Negative).chart()[SeriesId::lnsrsSeries4].data;
        QCOMPARE(curve->dataCount(), analysed.count());
        QCOMPARE(curve->data()->at(0)->key, -analysed.x(analysed.count() - 1));
        QCOMPARE(curve->data()->at(0)->value, -analysed.y(analysed.count() - 1));
        QCPGraph* park = form->chart()->seriesGraph(SeriesId::pntsrsSeries2);
        QVERIFY(park->data()->at(0)->key < 0.0);

        // The radio buttons keep choosing the construction.
        form->rb1->setChecked(true);
        QVERIFY(form->chart()->seriesGraph(SeriesId::lnsrsSeries1)->visible());
        QVERIFY(!park->visible());

        QTest::mouseClick(bar->button(CyclicView::Average), Qt::LeftButton);
        QCOMPARE(form->field(Field::edt18)->text(), QStringLiteral("6824.15562"));
        QCPCurve* negativeGeometric = form->chart()->overlayCurve(QStringLiteral("cyclic.negative.lnsrsSeries1"));
        QVERIFY(negativeGeometric->visible());
        QVERIFY(!form->chart()->overlayCurve(QStringLiteral("cyclic.negative.lnsrsSeries2"))->visible());
        QVERIFY(curve->data()->at(curve->dataCount() - 1)->key > 0.0);
    }

    void monotonicImportAfterwardsRestoresTheWindow()
    {
        importCyclic(record(kRecords[2]));
        QTest::mouseClick(form->cyclicDirectionBar()->button(CyclicView::Negative), Qt::LeftButton);
        QVERIFY(form->workbench().chart().seriesMirrored());
        QTemporaryDir dir;
        dialogs.answers = {writeFile(dir, QStringLiteral("worked.csv"))};
        form->ImportLoadDisplacementFile1->trigger();
        QVERIFY(!form->workbench().cyclic());
        QVERIFY(!form->cyclicDirectionBar()->isVisible());
        QVERIFY(!form->cyclicSummary()->isVisible());
        QVERIFY(!form->chart()->overlayCurve(QStringLiteral("cyclic.record")));
        QCPGraph* curve = form->chart()->seriesGraph(SeriesId::lnsrsSeries4);
        QCOMPARE(curve->dataCount(), 8);
        QCOMPARE(curve->data()->at(7)->key, 6.0);
    }

    void realRecordsPictures()
    {
        const QString folder = qEnvironmentVariable("RZ_CYCLIC_SHOTS");
        if (folder.isEmpty())
            QSKIP("set RZ_CYCLIC_SHOTS to a folder to save the pictures");
        for (const char* name : kRecords) {
            importCyclic(record(name));
            QVERIFY(form->workbench().cyclic());
            form->btn1->click();
            for (CyclicView view : {CyclicView::Positive, CyclicView::Negative, CyclicView::Average}) {
                if (!form->cyclicDirectionBar()->button(view)->isEnabled())
                    continue;
                QTest::mouseClick(form->cyclicDirectionBar()->button(view), Qt::LeftButton);
                QApplication::processEvents();
                const QString file = QStringLiteral("%1/%2_%3.png")
                                         .arg(folder, QString::fromLatin1(name).section(u'.', 0, 0),
                                              QString::fromLatin1(choiceName(kCyclicViewNames, view).key));
                QVERIFY(form->grab().save(file));
            }
        }
    }
};

QTEST_MAIN(CyclicWindowTest)
#include "test_cyclic_window.moc"
