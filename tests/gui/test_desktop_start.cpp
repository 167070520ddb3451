// The desktop program's start, through the code main() runs: its command line (answered
// without a display), the folder its dialogs open first, a FILE imported at start, and the
// window's place remembered between runs.
#include "RecordingDialogs.h"
#include "chartview/ChartView.h"
#include "gui/CommandLine.h"
#include "gui/BatchAnalysisDialog.h"
#include "gui/MainWindow.h"
#include "gui/RecentFiles.h"
#include "gui/StartUp.h"
#include "gui/StatusBar.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace rz;
using namespace rz::test;

Q_DECLARE_METATYPE(rz::DesktopAction)

class DesktopStartTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    RecordingDialogs dialogs;

    std::unique_ptr<QSettings> settings(const QString& name = QStringLiteral("rorevadi.conf"))
    {
        return std::make_unique<QSettings>(dir.filePath(name), QSettings::IniFormat);
    }
    static int curvePoints(const TForm1& form)
    {
        return form.chart()->seriesGraph(SeriesId::lnsrsSeries4)->dataCount();
    }
    // The frame's margins are unknown until the window is shown, so centring may be off by them.
    static bool isCentred(const TForm1& form)
    {
        const QPoint offset = form.frameGeometry().center() - form.screen()->availableGeometry().center();
        return offset.manhattanLength() <= 10;
    }
    // The program's environment without any display.
    static QProcessEnvironment withoutDisplay(const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        return env;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { dialogs = RecordingDialogs(); }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<DesktopAction>("action");
        QTest::addColumn<QStringList>("files");
        const auto abs = [](const char* path) { return QFileInfo(QString::fromLatin1(path)).absoluteFilePath(); };
        const auto args = [](std::initializer_list<const char*> list) {
            QStringList all{QStringLiteral("rorevadi")};
            for (const char* a : list)
                all << QString::fromLatin1(a);
            return all;
        };
        QTest::newRow("nothing") << args({}) << DesktopAction::OpenWindow << QStringList();
        QTest::newRow("relative file") << args({"data/a.csv"}) << DesktopAction::OpenWindow
                                       << QStringList{abs("data/a.csv")};
        QTest::newRow("absolute file") << args({"/srv/tests/b.txt"}) << DesktopAction::OpenWindow
                                       << QStringList{QStringLiteral("/srv/tests/b.txt")};
        QTest::newRow("several files") << args({"a.csv", "b.csv"}) << DesktopAction::OpenWindow
                                       << QStringList{abs("a.csv"), abs("b.csv")};
        QTest::newRow("--help") << args({"--help"}) << DesktopAction::ShowHelp << QStringList();
        QTest::newRow("-h beats a file") << args({"a.csv", "-h"}) << DesktopAction::ShowHelp << QStringList();
        QTest::newRow("--version") << args({"--version"}) << DesktopAction::ShowVersion << QStringList();
        QTest::newRow("-v") << args({"-v"}) << DesktopAction::ShowVersion << QStringList();
        QTest::newRow("toolkit options are left to Qt")
            << args({"-platform", "offscreen", "-style", "Fusion", "-reverse", "a.csv"}) << DesktopAction::OpenWindow
            << QStringList{abs("a.csv")};
        QTest::newRow("a file named like an option")
            << args({"--", "--help"}) << DesktopAction::OpenWindow << QStringList{abs("--help")};
        QTest::newRow("unknown option") << args({"--bogus"}) << DesktopAction::UsageError << QStringList();
        QTest::newRow("toolkit option without its value")
            << args({"-platform"}) << DesktopAction::UsageError << QStringList();
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(DesktopAction, action);
        QFETCH(QStringList, files);
        const DesktopCommandLine line = parseDesktopCommandLine(arguments);
        QCOMPARE(line.action, action);
        QCOMPARE(line.files, files);
        QCOMPARE(line.error.isEmpty(), action != DesktopAction::UsageError);
    }

    void answers()
    {
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        QCOMPARE(
            answerDesktopCommandLine(
                parseDesktopCommandLine({QStringLiteral("/opt/x/bin/rorevadi"), QStringLiteral("--help")}), out, err),
            kDesktopExitOk);
        QVERIFY2(outText.startsWith(QStringLiteral("Usage: rorevadi [options] [FILE...]\n")), qPrintable(outText));
        for (const char* shown : {"-h, --help", "-v, --version", "FILE", "Import Load-Displacement Data"})
            QVERIFY2(outText.contains(QLatin1String(shown)), shown);
        // The toolkit's options are accepted but not advertised.
        QVERIFY(!outText.contains(QLatin1String("platform")));
        QVERIFY(errText.isEmpty());

        outText.clear();
        QCOMPARE(answerDesktopCommandLine(parseDesktopCommandLine({QStringLiteral("rorevadi"), QStringLiteral("-v")}),
                                          out, err),
                 kDesktopExitOk);
        QCOMPARE(outText, QStringLiteral("rorevadi " RZ_PROJECT_VERSION "\n"));

        outText.clear();
        QCOMPARE(answerDesktopCommandLine(
                     parseDesktopCommandLine({QStringLiteral("rorevadi"), QStringLiteral("--bogus")}), out, err),
                 kDesktopExitUsage);
        QVERIFY(outText.isEmpty());
        QCOMPARE(errText, QStringLiteral("rorevadi: Unknown option 'bogus'.\n"
                                         "Try 'rorevadi --help' for more information.\n"));
    }

    // The real program, started with no display at all: --help and --version answer, and
    // (the control) without them the program cannot start.
    void helpAndVersionWithoutADisplay()
    {
        QTemporaryDir home;
        auto run = [&](const QStringList& arguments) {
            QProcess program;
            program.setProcessEnvironment(withoutDisplay(home.path()));
            program.start(QStringLiteral(RZ_DESKTOP_PROGRAM), arguments);
            if (!program.waitForFinished(30000))
                program.kill();
            return std::make_tuple(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
                                   QString::fromLocal8Bit(program.readAllStandardOutput()),
                                   QString::fromLocal8Bit(program.readAllStandardError()));
        };
        const auto [helpCode, helpOut, helpErr] = run({QStringLiteral("--help")});
        QCOMPARE(helpCode, 0);
        QVERIFY2(helpOut.startsWith(QStringLiteral("Usage: rorevadi [options] [FILE...]")), qPrintable(helpErr));
        const auto [versionCode, versionOut, versionErr] = run({QStringLiteral("--version")});
        QCOMPARE(versionCode, 0);
        QCOMPARE(versionOut, QStringLiteral("rorevadi " RZ_PROJECT_VERSION "\n"));
        const auto [usageCode, usageOut, usageErr] = run({QStringLiteral("--bogus")});
        QCOMPARE(usageCode, 2);
        QVERIFY(usageErr.contains(QStringLiteral("Unknown option 'bogus'")));
        const auto [windowCode, windowOut, windowErr] = run({});
        QVERIFY2(windowCode != 0, "the window started without a display: the checks above prove nothing");
    }

    void dialogsStartFolder_data()
    {
        QTest::addColumn<QString>("layout");  // folders to create under the temporary root
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        QTest::newRow("installed") << "usr/bin,usr/share/rorevadi/samples"
                                   << "usr/bin/"
                                   << "usr/share/rorevadi/samples/";
        QTest::newRow("installed under /usr/local") << "usr/local/bin,usr/local/share/rorevadi/samples"
                                                    << "usr/local/bin/"
                                                    << "usr/local/share/rorevadi/samples/";
        QTest::newRow("build tree: samples beside the program") << "build/src/gui"
                                                                << "build/src/gui/"
                                                                << "build/src/gui/";
        QTest::newRow("a file where the folder would be") << "opt/bin,opt/share/rorevadi"
                                                          << "opt/bin/"
                                                          << "opt/bin/";
    }
    void dialogsStartFolder()
    {
        QFETCH(QString, layout);
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QTemporaryDir root;
        for (const QString& folder : layout.split(QLatin1Char(',')))
            QVERIFY(QDir(root.path()).mkpath(folder));
        if (QTest::currentDataTag() == QByteArray("a file where the folder would be"))
            writeFile(root, QStringLiteral("opt/share/rorevadi/samples"), "not a folder");
        QCOMPARE(rz::startFolder(root.filePath(program)), root.filePath(expected));
    }

    void fileOnTheCommandLineIsImportedAtStart()
    {
        const QString curve = writeFile(dir, QStringLiteral("specimen.csv"));
        const auto store = settings();
        const auto form = startMainWindow({dir.filePath(QStringLiteral("bin")), {curve}, store.get(), &dialogs});
        QVERIFY(form->isVisible());
        // The window is drawn first; the import and its message follow from the event loop.
        QCOMPARE(curvePoints(*form), 0);
        QVERIFY(dialogs.messages.isEmpty());
        QTRY_COMPARE(curvePoints(*form), 8);
        QCOMPARE(dialogs.texts(), QStringList{QStringLiteral("9 Lines of date have been imported!")});
        QCOMPARE(form->field(Field::edt18)->text(), QStringLiteral("100"));
        QCOMPARE(form->workbench().state().SourceDataPath, curve);
        QCOMPARE(form->recentFilesMenu()->files(), QStringList{curve});
        // As after the menu's import, the dialogs now open in the data file's folder.
        form->ImportLoadDisplacementFile1->trigger();
        QCOMPARE(dialogs.openFolders, QStringList{dir.path() + QLatin1Char('/')});
    }

    void severalFilesOpenBatchAnalysisWithThem()
    {
        const QString first = writeFile(dir, QStringLiteral("first.csv"));
        const QString second = writeFile(dir, QStringLiteral("second.csv"), "d,l\n0,0\n1,1\n");
        const auto store = settings();
        const auto form =
            startMainWindow({dir.filePath(QStringLiteral("bin")), {first, second}, store.get(), &dialogs});
        QTRY_VERIFY(form->batchAnalysisDialog() && form->batchAnalysisDialog()->isVisible());
        QCOMPARE(form->batchAnalysisDialog()->files(), (QStringList{first, second}));
        QCOMPARE(curvePoints(*form), 0);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void firstRunIsCentredLaterRunsRestoreTheLayout()
    {
        const auto store = settings(QStringLiteral("layout.conf"));
        const QString program = dir.filePath(QStringLiteral("bin"));
        QRect available;
        QList<int> sizes;
        {
            const auto form = startMainWindow({program, {}, store.get(), &dialogs});
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
            available = form->screen()->availableGeometry();
            QVERIFY(isCentred(*form));

            form->resize(780, 900);
            form->move(available.topLeft() + QPoint(10, 20));
            QTRY_COMPARE(form->size(), QSize(780, 900));
            QCoreApplication::processEvents();
            const QList<int> natural = form->splitter()->sizes();
            const int total = natural.value(0) + natural.value(1);
            // The user gives the results more room than the layout did.
            form->splitter()->setSizes({total - natural.value(1) - 60, natural.value(1) + 60});
            sizes = form->splitter()->sizes();
            QCOMPARE(sizes.value(1), natural.value(1) + 60);
            // Not remembered: the analysis and the factors start from their defaults.
            form->field(Field::edt12)->setText(QStringLiteral("0.2"));
            form->rb2->click();
            QVERIFY(form->close());
        }
        const auto again = startMainWindow({program, {}, store.get(), &dialogs});
        QVERIFY(QTest::qWaitForWindowExposed(again.get()));
        QCOMPARE(again->size(), QSize(780, 900));
        QCOMPARE(again->pos(), available.topLeft() + QPoint(10, 20));
        QCOMPARE(again->splitter()->sizes(), sizes);
        QCOMPARE(again->field(Field::edt12)->text(), QStringLiteral("0.15"));
        QVERIFY(again->rb4->isChecked());
        QCOMPARE(again->workbench().state().DisplayMethod, 0);
    }

    void unusableSavedLayoutFallsBackToCentring()
    {
        const auto store = settings(QStringLiteral("broken.conf"));
        store->setValue(QStringLiteral("window/geometry"), QByteArray("not a geometry"));
        const auto form = startMainWindow({dir.filePath(QStringLiteral("bin")), {}, store.get(), &dialogs});
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(isCentred(*form));
    }
};

QTEST_MAIN(DesktopStartTest)
#include "test_desktop_start.moc"
