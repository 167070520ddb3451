// Help that works offline: Help > User Guide (F1) shows the compiled-in guide with its
// pictures and a find field, and follows its links; the About box names the build.
#include "RecordingDialogs.h"
#include "gui/AboutBox.h"
#include "gui/Links.h"
#include "gui/MainWindow.h"
#include "gui/UserGuideWindow.h"

#include <qcustomplot.h>
#include <xlsxwriter.h>
#include <QDate>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QtTest>

using namespace rz;
using namespace rz::test;

namespace {
// Chapters that other work adds to docs/; the guide already links to them.
const QStringList kChaptersToCome = {QStringLiteral("import.md"), QStringLiteral("cyclic.md"),
                                     QStringLiteral("methods.md")};

QString guideSource()
{
    QFile file(QStringLiteral(":/docs/user-guide.md"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
}  // namespace

class UserGuideTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    RecordingDialogs dialogs;
    std::unique_ptr<TForm1> form;

    UserGuideWindow* openGuide()
    {
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            return nullptr;
        QTest::keyClick(form.get(), Qt::Key_F1);
        UserGuideWindow* guide = form->userGuideWindow();
        if (guide && !QTest::qWaitForWindowExposed(guide))
            return nullptr;
        return guide;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        form = std::make_unique<TForm1>(dir.path() + QLatin1Char('/'), QLatin1Char('.'), &dialogs);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() { form.reset(); }

    void f1OpensTheGuideBesideTheWindow()
    {
        QVERIFY(!form->userGuideWindow());
        UserGuideWindow* guide = openGuide();
        QVERIFY(guide);
        QVERIFY(guide->isVisible());
        QVERIFY(guide->isWindow());
        QVERIFY(!guide->isModal());
        QCOMPARE(guide->browser()->source(), UserGuideWindow::homePage());
        const QString text = guide->browser()->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("Rorevadi Zadiz ovo Rudevadiz: User Guide")));
        for (const char* section : {"1. The window", "2. Importing a curve", "3. Calculate, and what each result means",
                                    "4. Outputs", "5. What the program remembers"})
            QVERIFY2(text.contains(QLatin1String(section)), section);
        // Markdown is rendered, not shown as source.
        QVERIFY(!text.contains(QStringLiteral("## ")));
        // A second F1 raises the same window.
        guide->close();
        QCOMPARE(openGuide(), guide);
        QVERIFY(guide->isVisible());
        const QByteArray out = qgetenv("RZ_SCREENSHOT_DIR");
        if (!out.isEmpty())
            guide->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/user-guide.png"));
        // Closing the main window closes the guide with it.
        form->close();
        QVERIFY(!guide->isVisible());
    }

    void everyPictureOfTheGuideIsShown()
    {
        UserGuideWindow* guide = openGuide();
        QVERIFY(guide);
        QStringList pictures;
        for (QTextBlock block = guide->browser()->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (format.isImageFormat())
                    pictures << format.toImageFormat().name();
            }
        }
        QVERIFY(!pictures.isEmpty());
        for (const QString& name : pictures) {
            const QVariant resource = guide->browser()->document()->resource(QTextDocument::ImageResource, QUrl(name));
            QVERIFY2(resource.isValid(), qPrintable(name));
            const QImage image = qvariant_cast<QImage>(resource);
            const QPixmap pixmap = qvariant_cast<QPixmap>(resource);
            QVERIFY2(!image.isNull() || !pixmap.isNull(), qPrintable(name));
        }
    }

    void widePicturesAreShrunkToThePage()
    {
        UserGuideWindow* guide = openGuide();
        QVERIFY(guide);
        QTemporaryDir pictures;
        const auto load = [&](int width, int height) {
            QImage picture(width, height, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            const QString path = pictures.filePath(QStringLiteral("p%1.png").arg(width));
            if (!picture.save(path))
                qFatal("cannot write a picture");
            return qvariant_cast<QImage>(
                guide->browser()->loadResource(QTextDocument::ImageResource, QUrl::fromLocalFile(path)));
        };
        QCOMPARE(load(1440, 900).size(), QSize(720, 450));
        QCOMPARE(load(300, 200).size(), QSize(300, 200));
    }

    void findSelectsEveryPlaceAndWrapsAround()
    {
        UserGuideWindow* guide = openGuide();
        QTextDocument* document = guide->browser()->document();
        // Where the text is, counted independently of the find field.
        QList<int> places;
        for (QTextCursor c = document->find(QStringLiteral("ductility")); !c.isNull();
             c = document->find(QStringLiteral("ductility"), c))
            places << c.selectionStart();
        QVERIFY(places.size() >= 3);

        QTest::keyClick(guide, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), guide->findField());
        QTest::keyClicks(guide->findField(), QStringLiteral("Ductility"));
        for (int round = 0; round <= places.size(); ++round) {
            QTest::keyClick(guide->findField(), Qt::Key_Return);
            const QTextCursor selected = guide->browser()->textCursor();
            QCOMPARE(selected.selectedText().toLower(), QStringLiteral("ductility"));
            QCOMPARE(selected.selectionStart(), places[round % places.size()]);
        }
        QVERIFY(guide->notice().isEmpty());
        // Backwards from the first place wraps to the last.
        QTextCursor start(document);
        guide->browser()->setTextCursor(start);
        QVERIFY(guide->find(QStringLiteral("ductility"), true));
        QCOMPARE(guide->browser()->textCursor().selectionStart(), places.last());

        QVERIFY(!guide->find(QStringLiteral("no such words in the guide")));
        QCOMPARE(guide->notice(), QStringLiteral("Not found"));
        QTest::keyClick(guide->findField(), Qt::Key_Backspace);
        QVERIFY(guide->notice().isEmpty());
    }

    void theGuidesLinksLeadSomewhere()
    {
        const QString source = guideSource();
        QVERIFY(!source.isEmpty());
        const QRegularExpression link(QStringLiteral("(!?)\\[[^\\]]*\\]\\(([^)]+)\\)"));
        int links = 0;
        for (const QRegularExpressionMatch& m : link.globalMatch(source)) {
            const QString target = m.captured(2);
            if (target.startsWith(QStringLiteral("http")))
                continue;
            ++links;
            const bool compiledIn = QFile::exists(QStringLiteral(":/docs/") + target);
            QVERIFY2(compiledIn || (m.captured(1).isEmpty() && kChaptersToCome.contains(target)), qPrintable(target));
        }
        QVERIFY(links >= 4);
    }

    void linksOpenWhereTheyBelong()
    {
        UserGuideWindow* guide = openGuide();
        QList<QUrl> opened;
        const UrlOpener previous = setUrlOpener([&opened](const QUrl& url, QWidget*) { opened << url; });
        guide->followLink(QUrl(QStringLiteral("https://www.rorevadi.example/help")));
        setUrlOpener(previous);
        QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("https://www.rorevadi.example/help"))});
        QCOMPARE(guide->browser()->source(), UserGuideWindow::homePage());

        // A chapter this version lacks is named instead of opening an empty page.
        guide->followLink(QUrl(QStringLiteral("no-such-chapter.md")));
        QCOMPARE(guide->notice(), QStringLiteral("no-such-chapter.md is not part of this version."));
        QCOMPARE(guide->browser()->source(), UserGuideWindow::homePage());
        QVERIFY(!guide->browser()->toPlainText().isEmpty());
    }

    void aboutBoxNamesVersionBuildAndLibraries()
    {
        TAboutBox box(form.get());
        QCOMPARE(box.lbl12->text(), QStringLiteral("Version: " RZ_PROJECT_VERSION));
        const QString built = box.buildLine->text();
        QVERIFY2(built.startsWith(QStringLiteral("Built on ")), qPrintable(built));
        const QDate date = QDate::fromString(built.mid(9), Qt::ISODate);
        QVERIFY2(date.isValid() && date.year() >= 2024, qPrintable(built));
        const QString libraries = box.librariesLine->text();
        QCOMPARE(libraries, QStringLiteral("Libraries: Qt %1, QCustomPlot %2, libxlsxwriter %3")
                                .arg(QString::fromLatin1(qVersion()), QStringLiteral(QCUSTOMPLOT_VERSION_STR),
                                     QStringLiteral(LXW_VERSION)));
        // The new lines sit inside the panel without covering anything of the design.
        for (QLabel* added : {box.buildLine, box.librariesLine}) {
            QVERIFY(box.pnlContent->rect().contains(added->geometry()));
            for (QLabel* other : box.pnlContent->findChildren<QLabel*>()) {
                if (other != added && other != box.buildLine && other != box.librariesLine)
                    QVERIFY2(!added->geometry().intersects(other->geometry()),
                             qPrintable(added->objectName() + QStringLiteral(" covers ") + other->objectName()));
            }
        }
    }
};

QTEST_MAIN(UserGuideTest)
#include "test_user_guide.moc"
