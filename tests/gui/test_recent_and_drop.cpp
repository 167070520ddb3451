// Files reaching the window from the desktop: File > Recent Files (kept in the settings,
// a vanished file greyed and removed on click) and files dropped from the file manager.
#include "RecordingDialogs.h"
#include "chartview/ChartView.h"
#include "gui/BatchAnalysisDialog.h"
#include "gui/MainWindow.h"
#include "gui/RecentFiles.h"
#include "gui/StatusBar.h"

#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace rz;
using namespace rz::test;

class RecentAndDropTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QSettings> settings;
    RecordingDialogs dialogs;
    std::unique_ptr<TForm1> form;

    QString settingsPath() const { return dir->filePath(QStringLiteral("rorevadi.conf")); }
    std::unique_ptr<TForm1> newWindow()
    {
        auto window = std::make_unique<TForm1>(dir->path() + QStringLiteral("/prog/"), QLatin1Char('.'), &dialogs);
        window->setSettings(settings.get());
        window->show();
        return window;
    }
    void importViaMenu(const QString& path)
    {
        dialogs.answers = {path};
        form->ImportLoadDisplacementFile1->trigger();
    }
    int curvePoints() const { return form->chart()->seriesGraph(SeriesId::lnsrsSeries4)->dataCount(); }
    QString importedName() const { return form->workbench().state().ResultBaseName; }
    RecentFilesMenu* recent() const { return form->recentFilesMenu(); }
    QStringList stored() const
    {
        QSettings reread(settingsPath(), QSettings::IniFormat);
        return reread.value(QStringLiteral("recentFiles")).toStringList();
    }
    // Sends a drag of data over the window and drops it; whether each was accepted.
    std::pair<bool, bool> drag(std::unique_ptr<QMimeData> owned)
    {
        QMimeData* data = owned.get();
        const QPoint at = form->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
        return {enter.isAccepted(), drop.isAccepted()};
    }
    static std::unique_ptr<QMimeData> urls(const QList<QUrl>& list)
    {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(list);
        return data;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat);
        dialogs = RecordingDialogs();
        form = newWindow();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup()
    {
        form.reset();
        settings.reset();
        dir.reset();
    }

    void theLastTenImportsNewestFirstAndKept()
    {
        QStringList paths;
        for (int i = 1; i <= 12; ++i) {
            paths << writeFile(*dir, QStringLiteral("specimen%1.csv").arg(i));
            importViaMenu(paths.last());
        }
        importViaMenu(paths[4]);  // imported again: moves to the top, not twice in the list
        const QStringList expected = {paths[4], paths[11], paths[10], paths[9], paths[8],
                                      paths[7], paths[6],  paths[5],  paths[3], paths[2]};
        QCOMPARE(recent()->files(), expected);
        settings->sync();
        QCOMPARE(stored(), expected);
        // Entries are numbered 1 to 9 and 0 for their keys, and show where the file is.
        const QAction* top = recent()->entryFor(paths[4]);
        QVERIFY(top);
        QVERIFY(top->text().startsWith(QStringLiteral("&1 ")));
        QVERIFY(top->text().contains(QStringLiteral("specimen5.csv")));
        QVERIFY(recent()->entryFor(paths[2])->text().startsWith(QStringLiteral("&0 ")));
        QVERIFY(!recent()->entryFor(paths[0]));

        // The next run finds them again.
        form.reset();
        form = newWindow();
        QCOMPARE(recent()->files(), expected);
        QVERIFY(recent()->menuAction()->isEnabled());
    }

    void aFileThatCouldNotBeReadIsNotAdded()
    {
        const QString good = writeFile(*dir, QStringLiteral("good.csv"));
        importViaMenu(good);
        importViaMenu(dir->filePath(QStringLiteral("missing.csv")));
        QCOMPARE(dialogs.messages.last().level, MessageLevel::Error);
        QCOMPARE(recent()->files(), QStringList{good});
    }

    void anEntryImportsItsFile()
    {
        const QString first = writeFile(*dir, QStringLiteral("first.csv"));
        const QString second = writeFile(*dir, QStringLiteral("second.csv"), "d,l\n0,0\n1,10\n2,5\n");
        importViaMenu(first);
        importViaMenu(second);
        QCOMPARE(curvePoints(), 3);
        dialogs.messages.clear();
        recent()->entryFor(first)->trigger();
        QCOMPARE(importedName(), QStringLiteral("first"));
        QCOMPARE(curvePoints(), 8);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("9 Lines of date have been imported!")});
        QCOMPARE(recent()->files(), (QStringList{first, second}));
    }

    void aVanishedFileIsGreyedAndRemovedOnClick()
    {
        const QString gone = writeFile(*dir, QStringLiteral("gone.csv"));
        const QString kept = writeFile(*dir, QStringLiteral("kept.csv"));
        importViaMenu(gone);
        importViaMenu(kept);
        QVERIFY(QFile::remove(gone));
        dialogs.messages.clear();

        recent()->popup(form->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(recent()));
        QAction* greyed = recent()->entryFor(gone);
        QVERIFY(greyed && !greyed->isEnabled());
        QVERIFY(recent()->entryFor(kept)->isEnabled());

        QTest::mouseClick(recent(), Qt::LeftButton, {}, recent()->actionGeometry(greyed).center());
        QVERIFY(!recent()->isVisible());
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].level, MessageLevel::Information);
        QCOMPARE(dialogs.messages[0].text,
                 QDir::toNativeSeparators(gone) +
                     QStringLiteral(" no longer exists. It has been removed from Recent Files."));
        QCOMPARE(recent()->files(), QStringList{kept});
        settings->sync();
        QCOMPARE(stored(), QStringList{kept});
        // Nothing was imported: the window still shows the last curve.
        QCOMPARE(importedName(), QStringLiteral("kept"));
        QCOMPARE(curvePoints(), 8);
    }

    void aFileThatVanishesWhileTheMenuIsOpenIsRemovedToo()
    {
        const QString gone = writeFile(*dir, QStringLiteral("gone.csv"));
        importViaMenu(gone);
        QAction* entry = recent()->entryFor(gone);
        QVERIFY(entry->isEnabled());
        QVERIFY(QFile::remove(gone));
        dialogs.messages.clear();
        entry->trigger();
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.endsWith(QStringLiteral("It has been removed from Recent Files.")));
        QVERIFY(recent()->files().isEmpty());
    }

    void clearEmptiesTheList()
    {
        importViaMenu(writeFile(*dir, QStringLiteral("a.csv")));
        QVERIFY(recent()->clearAction()->isEnabled());
        recent()->clearAction()->trigger();
        QVERIFY(recent()->files().isEmpty());
        QVERIFY(!recent()->menuAction()->isEnabled());
        settings->sync();
        QVERIFY(stored().isEmpty());
    }

    void droppedFileIsImported()
    {
        const QString path = writeFile(*dir, QStringLiteral("dropped.csv"));
        const auto [entered, dropped] = drag(urls({QUrl::fromLocalFile(path)}));
        QVERIFY(entered && dropped);
        // Imported once the drop is over, so the file manager is not kept waiting.
        QCOMPARE(curvePoints(), 0);
        QTRY_COMPARE(curvePoints(), 8);
        QCOMPARE(importedName(), QStringLiteral("dropped"));
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("9 Lines of date have been imported!")});
        QCOMPARE(recent()->files(), QStringList{path});
        QVERIFY(form->rzstsbr2->currentMessage().isEmpty());
    }

    void severalDroppedFilesOpenBatchAnalysisWithThem()
    {
        const QString a = writeFile(*dir, QStringLiteral("a.csv"));
        const QString b = writeFile(*dir, QStringLiteral("b.csv"));
        const QString c = writeFile(*dir, QStringLiteral("c.csv"));
        // A folder among them is not a file.
        const auto [entered, dropped] = drag(urls({QUrl::fromLocalFile(dir->path()), QUrl::fromLocalFile(a),
                                                   QUrl::fromLocalFile(b), QUrl::fromLocalFile(c)}));
        QVERIFY(entered && dropped);
        QTRY_VERIFY(form->batchAnalysisDialog() && form->batchAnalysisDialog()->isVisible());
        QCOMPARE(form->batchAnalysisDialog()->files(), (QStringList{a, b, c}));
        // Listed, not imported: the window's curve and Recent Files are as they were.
        QCOMPARE(curvePoints(), 0);
        QVERIFY(dialogs.messages.isEmpty());
        QVERIFY(recent()->files().isEmpty());

        // Dropped again later, the list is the new files'.
        const auto [enteredAgain, droppedAgain] = drag(urls({QUrl::fromLocalFile(c), QUrl::fromLocalFile(a)}));
        QVERIFY(enteredAgain && droppedAgain);
        QTRY_COMPARE(form->batchAnalysisDialog()->files(), (QStringList{c, a}));
    }

    void dragsWithoutLocalFilesAreRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("web address") << 0;
        QTest::newRow("folder") << 1;
        QTest::newRow("text") << 2;
        QTest::newRow("missing file") << 3;
    }
    void dragsWithoutLocalFilesAreRefused()
    {
        QFETCH(int, kind);
        std::unique_ptr<QMimeData> data;
        switch (kind) {
            case 0:
                data = urls({QUrl(QStringLiteral("https://www.rorevadi.example/curve.csv"))});
                break;
            case 1:
                data = urls({QUrl::fromLocalFile(dir->path())});
                break;
            case 2:
                data = std::make_unique<QMimeData>();
                data->setText(writeFile(*dir, QStringLiteral("named.csv")));
                break;
            default:
                data = urls({QUrl::fromLocalFile(dir->filePath(QStringLiteral("nowhere.csv")))});
                break;
        }
        const auto [entered, dropped] = drag(std::move(data));
        QVERIFY(!entered);
        QVERIFY(!dropped);
        QTest::qWait(20);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(curvePoints(), 0);
    }
};

QTEST_MAIN(RecentAndDropTest)
#include "test_recent_and_drop.moc"
