// "Export Excel" as the user reaches it: its shortcut from every control, the progress
// window (painted before the work, Cancel and Escape in every phase, nothing left
// behind), and the chart's tick labels in the user's decimal separator.
#include "FakeDialogs.h"

#include "chartview/ChartView.h"
#include "gui/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace rz;
using namespace rz::test;

class ExportWindowTest : public QObject {
    Q_OBJECT

private:
    // Takes Ctrl+E in ShortcutOverride, as a QLineEdit does under X11 key bindings.
    class ClaimsCtrlE : public QObject {
    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::ShortcutOverride &&
                QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()) == QKeySequence(Qt::CTRL | Qt::Key_E))
                event->accept();
            return QObject::eventFilter(watched, event);
        }
    } claimsCtrlE;
    QTemporaryDir dir;
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;

    QString books() const { return dir.filePath(QStringLiteral("books")); }
    QStringList filesInBooks() const
    {
        return QDir(books()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

private slots:
    void init()
    {
        dialogs = FakeDialogs();
        form = std::make_unique<TForm1>(dir.path() + QStringLiteral("/prog/"), QLatin1Char('.'), &dialogs);
        form->setWorkbookFolder(books());
        QDir(books()).removeRecursively();
        QVERIFY(QDir().mkpath(books()));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        // Under X11 key bindings a line edit claims Ctrl+E for "end of line"; where the
        // platform binds it otherwise (offscreen), each line edit is made to claim it the
        // same way, so the window must let its shortcut through in both.
        if (!QKeySequence::keyBindings(QKeySequence::MoveToEndOfLine).contains(QKeySequence(Qt::CTRL | Qt::Key_E))) {
            for (QLineEdit* edit : form->findChildren<QLineEdit*>())
                edit->installEventFilter(&claimsCtrlE);
        }
    }
    void cleanup() { form.reset(); }

    // Ctrl+E reaches "Export Excel" from every control, the line edits included, which
    // would otherwise take it as "end of line".
    void exportShortcutFromEveryControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("Load Reduction Factor field") << QStringLiteral("edt12");
        QTest::newRow("Load Factor for Secant field") << QStringLiteral("edt17");
        QTest::newRow("R.Park Load Factor field") << QStringLiteral("edt1");
        QTest::newRow("a read-only result field") << QStringLiteral("edt15");
        QTest::newRow("the Calculate button") << QStringLiteral("btn1");
        QTest::newRow("a radio button") << QStringLiteral("rb2");
        QTest::newRow("the chart") << QStringLiteral("cht1");
    }
    void exportShortcutFromEveryControl()
    {
        QFETCH(QString, control);
        QWidget* widget = form->findChild<QWidget*>(control);
        QVERIFY(widget);
        widget->setFocusPolicy(widget->focusPolicy() == Qt::NoFocus ? Qt::StrongFocus : widget->focusPolicy());
        widget->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(widget->hasFocus());
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            edit->setCursorPosition(0);

        QTest::keyClick(widget, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(dialogs.openedWorkbooks.size(), 1);
        QCOMPARE(QFileInfo(dialogs.openedWorkbooks[0]).absolutePath(), books());
        QVERIFY(QFileInfo::exists(dialogs.openedWorkbooks[0]));
        // The field keeps its text and was not edited by the key.
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            QCOMPARE(edit->cursorPosition(), 0);
    }

    // A curve of n points, imported: single output then writes 2n + 18 cells.
    void importCurve(int n)
    {
        QByteArray text = "displacement,load\n";
        for (int i = 0; i < n; ++i)
            text += QByteArray::number(i) + ',' + QByteArray::number(i % 977) + '\n';
        dialogs.answers = {writeFile(dir, QStringLiteral("big.csv"), text)};
        form->ImportLoadDisplacementFile1->trigger();
        dialogs.messages.clear();
    }

    // A large export shows its progress window, painted, before the first cell is
    // written; the window used to come up half a second later and stay blank while the
    // file was saved.
    void progressWindowIsPaintedBeforeTheWork()
    {
        importCurve(60'000);
        dialogs.progress = true;
        struct FirstPaint : QObject {
            int value = -2;  // the dialog's value at its first paint; -2: never painted
            QString label;   // and what it said then
            bool savingPainted = false;
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (event->type() == QEvent::Paint)
                    if (auto* dialog = qobject_cast<QProgressDialog*>(watched)) {
                        if (value == -2) {
                            value = dialog->value();
                            label = dialog->labelText();
                        }
                        if (dialog->labelText().startsWith(QStringLiteral("Saving")))
                            savingPainted = true;
                    }
                return false;
            }
        } paints;
        qApp->installEventFilter(&paints);
        form->ExportExcel1->trigger();
        qApp->removeEventFilter(&paints);
        QVERIFY2(paints.value != -2, "the progress window was never painted");
        QVERIFY2(paints.value <= 0 && paints.label.startsWith(QStringLiteral("Writing")),
                 qPrintable(QStringLiteral("first painted at %1 of 1000: %2").arg(paints.value).arg(paints.label)));
        QVERIFY(paints.savingPainted);
        QCOMPARE(dialogs.openedWorkbooks.size(), 1);
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Escape or the Cancel button, while the cells are written or while the file is
    // saved: the export ends, and nothing is left in the workbook folder.
    void cancelInEveryPhaseLeavesNothing_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape while writing the cells") << QStringLiteral("Writing") << true;
        QTest::newRow("Cancel while writing the cells") << QStringLiteral("Writing") << false;
        QTest::newRow("Escape while saving") << QStringLiteral("Saving") << true;
        QTest::newRow("Cancel while saving") << QStringLiteral("Saving") << false;
    }
    void cancelInEveryPhaseLeavesNothing()
    {
        QFETCH(QString, phase);
        QFETCH(bool, escape);
        importCurve(120'000);
        dialogs.progress = true;
        bool pressed = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = form->findChild<QProgressDialog*>(QStringLiteral("ExportProgress"));
            if (pressed || !dialog || !dialog->isVisible() || !dialog->labelText().startsWith(phase))
                return;
            pressed = true;
            if (escape) {
                dialog->activateWindow();
                QTest::keyClick(dialog, Qt::Key_Escape);
            } else {
                QAbstractButton* cancel = dialog->findChild<QPushButton*>();
                QVERIFY(cancel);
                cancel->click();
            }
        });
        watch.start(1);
        form->ExportExcel1->trigger();
        watch.stop();
        QVERIFY2(pressed, "the phase was never seen");
        QVERIFY(dialogs.openedWorkbooks.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(filesInBooks(), QStringList());
    }

    // Where the workbook cannot be opened, the window says what is missing and where the
    // temporary copy is, instead of claiming that no program opens .xlsx files.
    void aWorkbookThatCannotBeOpenedIsExplained()
    {
        struct Recording : DialogProvider {
            void showMessage(QWidget*, MessageLevel, const QString& text) override { shown << text; }
            QStringList shown;
        } desktop;
        QTemporaryDir emptyBin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", emptyBin.path().toLocal8Bit());  // no xdg-utils at all
        const QString workbook = QDir(books()).filePath(QStringLiteral("Book3.xlsx"));
        desktop.openWorkbook(form.get(), workbook);
        qputenv("PATH", path);
        QCOMPARE(desktop.shown.size(), 1);
        const QString& text = desktop.shown[0];
        QVERIFY2(
            text.contains(QStringLiteral("Book3.xlsx is a temporary copy in ") + QDir::toNativeSeparators(books())),
            qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("xdg-open")) && text.contains(QStringLiteral("xdg-utils")),
                 qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("No program on this desktop opens")), qPrintable(text));
    }

    // The other shortcuts keep working from a focused field.
    void otherShortcutsFromAFactorField()
    {
        QLineEdit* edit = form->field(Field::edt12);
        edit->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Import Load-Displacement Data"));
        QTest::keyClick(edit, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(dialogs.lastTitle, QStringLiteral("Export Results"));
    }
};

QTEST_MAIN(ExportWindowTest)
#include "test_export_window.moc"
