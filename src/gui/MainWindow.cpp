#include "gui/MainWindow.h"

#include "chartview/ChartView.h"
#include "gui/AboutBox.h"
#include "gui/CyclicDirectionBar.h"
#include "gui/DonationBox.h"
#include "gui/ExportOptionForm.h"
#include "gui/ExportProgress.h"
#include "excel/DesktopWorkbooks.h"
#include "excel/ExcelExport.h"
#include "excel/WorkbookExport.h"
#include "gui/Diagnostics.h"
#include "gui/FileDrop.h"
#include "gui/Links.h"
#include "gui/RecentFiles.h"
#include "gui/MenuShortcuts.h"
#include "gui/OtherDefinitionsPanel.h"
#include "gui/StatusBar.h"
#include "gui/UserGuideWindow.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

namespace rz {

const char* const kApplicationTitle = "RorevadiZadizovoRudevadiz";

// ---------------------------------------------------------------------------------------
// Real dialogs

void DialogProvider::showMessage(QWidget* parent, MessageLevel level, const QString& text)
{
    QMessageBox box(parent);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Yes);
    switch (level) {
    case MessageLevel::Information:
        box.setWindowTitle(QStringLiteral("Information"));
        box.setIcon(QMessageBox::Information);
        break;
    case MessageLevel::Warning:
        box.setWindowTitle(QStringLiteral("Warning"));
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageLevel::Error:
        box.setWindowTitle(QString::fromLatin1(kApplicationTitle));
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    box.exec();
}

QString DialogProvider::getOpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                        const QStringList& filters)
{
    QFileDialog dlg(parent, title, folder);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(filters);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return dlg.selectedFiles().constFirst();
}

QString DialogProvider::getSaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                        const QString& proposedName, const QStringList& filters,
                                        QString* selectedFilter)
{
    QFileDialog dlg(parent, title, folder);
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    // Replacing a file needs no question, and the name is used as typed.
    dlg.setOption(QFileDialog::DontConfirmOverwrite);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(filters);
    dlg.selectFile(proposedName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dlg.selectedNameFilter();
    return dlg.selectedFiles().constFirst();
}

void DialogProvider::showStartFailure(QWidget* parent, const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void DialogProvider::openWorkbook(QWidget* parent, const QString& path)
{
    excel::SpreadsheetOpener opener = excel::findSpreadsheetOpener();
    if (opener == excel::SpreadsheetOpener::Ready) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            return;
        opener = excel::SpreadsheetOpener::OpenFailed;
    }
    showMessage(parent, MessageLevel::Information, excel::workbookNotOpenedMessage(path, opener));
}

// ---------------------------------------------------------------------------------------
// Window

namespace {
// Runs show() with the normal pointer: a message is read, not waited for.
template <typename F>
void withoutWaitCursor(F&& show)
{
    int waitCursors = 0;
    while (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
        ++waitCursors;
    }
    show();
    while (waitCursors-- > 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

// Shown as the filter texts read; matching ignores case, so *.CSV files are listed too.
const QStringList kOpenFilters = {QStringLiteral("CSV files (*.csv)"), QStringLiteral(" Text files (*.txt)")};
const QStringList kReportFilters = {QStringLiteral("CSV files(*.csv)")};

QLineEdit* makeEdit(QWidget* parent, Field f, bool readOnly, int width)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(fieldName(f)));
    e->setReadOnly(readOnly);
    if (width > 0)
        e->setMinimumWidth(width);
    return e;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}
}  // namespace

const QStringList& TForm1::pictureFilters()
{
    static const QStringList filters = {QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("PNG images (*.png)"),
                                        QStringLiteral("PDF documents (*.pdf)"),
                                        QStringLiteral("SVG drawings (*.svg)")};
    return filters;
}

TForm1::TForm1(const QString& programFolder, QChar decimalSeparator, DialogProvider* dialogs, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    workbench_ = std::make_unique<Workbench>(static_cast<UserInterface&>(*this), decimalSeparator, programFolder);
    setDialogProvider(dialogs);

    setWindowTitle(QStringLiteral("Rorevadi Zadiz ovo Rudevadiz (by Dr. Quillon) (20190308)"));
    buildMenus();
    buildClientArea();
    buildImportWithOptions();
    buildOtherDefinitions();
    buildCyclic();
    auto* drop = new FileDrop(this);
    connect(drop, &FileDrop::filesDropped, this, &TForm1::openFiles);
    (new MenuShortcutsFirst(this))->watchControls();
    // The table of further definitions comes in under the results: the graph keeps its size.
    resize(607, 652 + menuBar()->sizeHint().height() + otherDefinitions_->sizeHint().height());
    btn1->setFocus(Qt::OtherFocusReason);
    refresh();
}

TForm1::~TForm1() = default;

void TForm1::setDialogProvider(DialogProvider* dialogs)
{
    if (dialogs) {
        dialogs_ = dialogs;
        return;
    }
    if (!ownDialogs_)
        ownDialogs_ = std::make_unique<DialogProvider>();
    dialogs_ = ownDialogs_.get();
}

void TForm1::buildMenus()
{
    QMenuBar* mm1 = menuBar();
    mm1->setObjectName(QStringLiteral("mm1"));

    auto addItem = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };

    QMenu* file1 = mm1->addMenu(QStringLiteral("&File"));
    file1->setObjectName(QStringLiteral("File1"));
    ImportLoadDisplacementFile1 = addItem(file1, "ImportLoadDisplacementFile1", QStringLiteral("Import Load-Displacement Data"));
    ImportWithOptions1 = addItem(file1, "ImportWithOptions1", QStringLiteral("Import with Options\u2026"));
    importCyclicAction = addItem(file1, "importCyclicTest", QStringLiteral("Import Cyclic Test\u2026"));
    buildBatchAnalysis(file1);
    recentFiles_ = new RecentFilesMenu(file1);
    file1->addMenu(recentFiles_);
    file1->addSeparator();
    ExportYieldingPointTextFiles1 = addItem(file1, "ExportYieldingPointTextFiles1", QStringLiteral("Export Results"));
    ExportExcel1 = addItem(file1, "ExportExcel1", QStringLiteral("Export Excel"));
    SavePicture1 = addItem(file1, "SavePicture1", QStringLiteral("Save Picture"));
    buildTestSheet(file1);
    ImportLoadDisplacementFile1->setShortcut(QKeySequence::Open);
    ExportYieldingPointTextFiles1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    ExportExcel1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    SavePicture1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

    QMenu* options1 = mm1->addMenu(QStringLiteral("&Options"));
    options1->setObjectName(QStringLiteral("Options1"));
    ExcelOptions1 = addItem(options1, "ExcelOptions1", QStringLiteral("Excel Options"));

    QMenu* about1 = mm1->addMenu(QStringLiteral("&About"));
    about1->setObjectName(QStringLiteral("About1"));
    AboutKelvo1 = addItem(about1, "AboutKelvo1", QStringLiteral("About Kelvo"));
    Donation1 = addItem(about1, "Donation1", QStringLiteral("Donation (捐助)"));
    Howtouse1 = addItem(about1, "Howtouse1", QStringLiteral("How to use?"));
    VisitWebSite1 = addItem(about1, "VisitWebSite1", visitWebSiteCaption());

    QMenu* help = mm1->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    userGuide_ = help->addAction(QStringLiteral("User Guide"));
    userGuide_->setObjectName(QStringLiteral("userGuide"));
    userGuide_->setShortcut(QKeySequence::HelpContents);

    connect(ImportLoadDisplacementFile1, &QAction::triggered, this, &TForm1::ImportLoadDisplacementFile1Click);
    connect(ExportYieldingPointTextFiles1, &QAction::triggered, this, &TForm1::ExportYieldingPointTextFiles1Click);
    connect(SavePicture1, &QAction::triggered, this, &TForm1::SavePicture1Click);

    connect(AboutKelvo1, &QAction::triggered, this, &TForm1::AboutKelvo1Click);
    connect(Donation1, &QAction::triggered, this, &TForm1::Donation1Click);
    connect(Howtouse1, &QAction::triggered, this, &TForm1::Howtouse1Click);
    connect(VisitWebSite1, &QAction::triggered, this, &TForm1::VisitWebSite1Click);
    connect(userGuide_, &QAction::triggered, this, &TForm1::userGuideClick);
    connect(recentFiles_, &RecentFilesMenu::fileChosen, this, &TForm1::openRecentFile);
    connect(recentFiles_, &RecentFilesMenu::missingFileChosen, this, &TForm1::missingRecentFileChosen);

    connect(ExportExcel1, &QAction::triggered, this, &TForm1::ExportExcel1Click);
    connect(ExcelOptions1, &QAction::triggered, this, &TForm1::ExcelOptions1Click);
}

void TForm1::buildClientArea()
{
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(7, 2, 9, 6);
    outer->setSpacing(4);

    auto* grp2 = new QGroupBox(QStringLiteral("Graph"), central);
    grp2->setObjectName(QStringLiteral("grp2"));
    auto* graphLayout = new QVBoxLayout(grp2);
    graphLayout->setContentsMargins(2, 2, 2, 2);
    cht1 = new ChartView(grp2);
    cht1->setObjectName(QStringLiteral("cht1"));
    cht1->setDecimalSeparator(workbench_->decimalSeparator());
    cht1->setMinimumSize(300, 200);
    graphLayout->addWidget(cht1);

    auto* GroupBox1 = new QGroupBox(QStringLiteral("Characteristic Points and Ductility"), central);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* charLayout = new QVBoxLayout(GroupBox1);

    // The user may give the graph more room; the results never shrink below their layout.
    splitter_ = new QSplitter(Qt::Vertical, central);
    splitter_->setObjectName(QStringLiteral("splitter"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(grp2);
    splitter_->addWidget(GroupBox1);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    outer->addWidget(splitter_, 1);

    for (int i = 0; i < kFieldCount; ++i)
        edits_[static_cast<std::size_t>(i)] = nullptr;

    // Top line: peak values and Calculate.
    auto* top = new QHBoxLayout;
    top->addWidget(makeLabel(GroupBox1, "Label1", QStringLiteral("Max. Load")));
    edits_[static_cast<std::size_t>(Field::edt18)] = makeEdit(GroupBox1, Field::edt18, true, 84);
    top->addWidget(field(Field::edt18));
    top->addWidget(makeLabel(GroupBox1, "Label7", QStringLiteral("Max. Disp.")));
    edits_[static_cast<std::size_t>(Field::edt19)] = makeEdit(GroupBox1, Field::edt19, true, 84);
    top->addWidget(field(Field::edt19));
    top->addStretch(1);
    btn1 = new QPushButton(QStringLiteral("Calculate"), GroupBox1);
    btn1->setObjectName(QStringLiteral("btn1"));
    btn1->setMinimumSize(280, 25);
    btn1->setShortcut(QKeySequence(Qt::Key_F9));
    btn1->setToolTip(QStringLiteral("Calculate (F9)"));
    top->addWidget(btn1);
    charLayout->addLayout(top);
    // A row of its own, shown for a cyclic record only: the window keeps its width.
    cyclicBar_ = new CyclicDirectionBar(GroupBox1);
    charLayout->addWidget(cyclicBar_);

    // Ultimate displacement and initial stiffness.
    auto* middle = new QHBoxLayout;
    auto makeFactorBox = [&](const char* boxName, const QString& caption, const char* l1, const QString& t1, Field editable,
                             const char* l2, const QString& t2, Field result) {
        auto* box = new QGroupBox(caption, GroupBox1);
        box->setObjectName(QString::fromLatin1(boxName));
        auto* g = new QGridLayout(box);
        g->addWidget(makeLabel(box, l1, t1), 0, 0);
        QLineEdit* e = makeEdit(box, editable, false, 0);
        e->setAcceptDrops(false);  // a file dropped here is imported, not typed in
        e->setText(workbench_->fieldText(editable));
        edits_[static_cast<std::size_t>(editable)] = e;
        g->addWidget(e, 0, 1);
        g->addWidget(makeLabel(box, l2, t2), 1, 0);
        QLineEdit* r = makeEdit(box, result, true, 0);
        edits_[static_cast<std::size_t>(result)] = r;
        g->addWidget(r, 1, 1);
        middle->addWidget(box, 1);
    };
    makeFactorBox("grp1", QStringLiteral("Ultimate Disp."), "lbl3", QStringLiteral("Load Reduction Factor"), Field::edt12,
                  "lbl4", QStringLiteral("Ultimate Displacement"), Field::edt15);
    makeFactorBox("GroupBox2", QStringLiteral("Initial Stiffness"), "lbl5", QStringLiteral("Load Factor for Secant"),
                  Field::edt17, "lbl6", QStringLiteral("Initial Secant Stiffness"), Field::edt16);
    charLayout->addLayout(middle);

    // The methods' grid.
    auto* grp3 = new QGroupBox(QStringLiteral("Rorevadi Zadiz ovo Rudevadiz"), GroupBox1);
    grp3->setObjectName(QStringLiteral("grp3"));
    auto* grid = new QGridLayout(grp3);
    grid->addWidget(makeLabel(grp3, "lbl7", QStringLiteral("Visible in Graph")), 0, 0);
    grid->addWidget(makeLabel(grp3, "lbl13", QStringLiteral("Load at Yield")), 0, 3);
    grid->addWidget(makeLabel(grp3, "lbl14", QStringLiteral("Disp. at Yield")), 0, 4);
    grid->addWidget(makeLabel(grp3, "lbl2", QStringLiteral("Ductility")), 0, 5);

    auto addRow = [&](int row, QRadioButton*& rb, const char* rbName, const QString& caption, Field a, Field b, Field c) {
        rb = new QRadioButton(caption, grp3);
        rb->setObjectName(QString::fromLatin1(rbName));
        grid->addWidget(rb, row, 0);
        int col = 3;
        for (Field f : {a, b, c}) {
            QLineEdit* e = makeEdit(grp3, f, true, 96);
            edits_[static_cast<std::size_t>(f)] = e;
            grid->addWidget(e, row, col++);
        }
    };
    addRow(1, rb1, "rb1", QStringLiteral("Geometric Graphic Method"), Field::edt2, Field::edt3, Field::edt8);
    addRow(2, rb3, "rb3", QStringLiteral("Equivalent Elasto-Plastic Energy Method"), Field::edt4, Field::edt5, Field::edt9);
    addRow(3, rb2, "rb2", QStringLiteral("R.Park Method"), Field::edt6, Field::edt7, Field::edt13);
    addRow(4, rb4, "rb4", QStringLiteral("All Three Method"), Field::edt10, Field::edt11, Field::edt14);
    grid->addWidget(makeLabel(grp3, "lbl1", QStringLiteral("Load Factor")), 3, 1);
    QLineEdit* edt1 = makeEdit(grp3, Field::edt1, false, 0);
    edt1->setFixedWidth(45);
    edt1->setAcceptDrops(false);
    edt1->setText(workbench_->fieldText(Field::edt1));
    edits_[static_cast<std::size_t>(Field::edt1)] = edt1;
    grid->addWidget(edt1, 3, 2);
    grid->addWidget(makeLabel(grp3, "lbl11", QStringLiteral("Mean Value")), 4, 1, 1, 2);
    grid->setColumnStretch(0, 1);
    rb4->setChecked(true);
    charLayout->addWidget(grp3);

    setCentralWidget(central);
    rzstsbr2 = new StatusBar(this);
    setStatusBar(rzstsbr2);

    connect(btn1, &QPushButton::clicked, this, &TForm1::btn1Click);
    // A handler runs when its button becomes selected, not when the selected one is clicked again.
    connect(rb1, &QRadioButton::toggled, this, [this](bool on) { if (on) rb1Click(); });
    connect(rb2, &QRadioButton::toggled, this, [this](bool on) { if (on) rb2Click(); });
    connect(rb3, &QRadioButton::toggled, this, [this](bool on) { if (on) rb3Click(); });
    connect(rb4, &QRadioButton::toggled, this, [this](bool on) { if (on) rb4Click(); });
    for (Field f : {Field::edt12, Field::edt17, Field::edt1}) {
        connect(field(f), &QLineEdit::textChanged, this,
                [this, f](const QString& text) { workbench_->setFieldText(f, text); });
    }
}

void TForm1::showMessage(MessageLevel level, const QString& text)
{
    // The chart and fields show the state reached so far while the box is up, and the
    // pointer is a pointer again while the user reads it.
    refresh();
    if (recordingCalculate_)
        calculateMessages_ << text;
    qCInfo(lcWindow).noquote() << "message:" << text;
    withoutWaitCursor([&] { dialogs_->showMessage(this, level, text); });
}

void TForm1::focusField(Field f)
{
    if (QLineEdit* e = field(f))
        e->setFocus(Qt::OtherFocusReason);
}

void TForm1::refresh()
{
    for (int i = 0; i < kFieldCount; ++i) {
        QLineEdit* e = edits_[static_cast<std::size_t>(i)];
        const QString text = workbench_->fieldText(static_cast<Field>(i));
        if (e && e->text() != text)
            e->setText(text);
    }
    cht1->setAxisTitles(workbench_->axisTitles());
    cht1->sync(workbench_->chart());
    otherDefinitions_->showResults(workbench_->otherDefinitions(), workbench_->decimalSeparator());
    refreshCyclic();
    const Series& curve = workbench_->chart()[SeriesId::lnsrsSeries4].data;
    if (curve.revision() != loggedCurveRevision_ && curve.count() > 0) {
        loggedCurveRevision_ = curve.revision();
        qCInfo(lcWindow).noquote() << "chart: curve of" << curve.count() << "points from"
                                   << workbench_->state().SourceDataPath;
    }
}

void TForm1::guarded(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        dialogs_->showMessage(this, MessageLevel::Error, QString::fromUtf8(e.what()));
    } catch (...) {
        dialogs_->showMessage(this, MessageLevel::Error, QString());
    }
    refresh();
}

// ---------------------------------------------------------------------------------------
// Handlers

void TForm1::ImportLoadDisplacementFile1Click()
{
    guarded([this] {
        const QString path = dialogs_->getOpenFileName(this, QStringLiteral("Import Load-Displacement Data"),
                                                       workbench_->openDialogFolder(), kOpenFilters);
        if (!path.isEmpty())
            openFile(path);
    });
}

void TForm1::ExportYieldingPointTextFiles1Click()
{
    guarded([this] {
        const QString proposed = workbench_->state().ResultBaseName + QStringLiteral("_YieldingPoint.csv");
        const QString path = dialogs_->getSaveFileName(this, QStringLiteral("Export Results"),
                                                       workbench_->reportDialogFolder(), proposed, kReportFilters,
                                                       nullptr);
        if (path.isEmpty())
            return;
        workbench_->exportReportTo(path, QDateTime::currentDateTime());
    });
}

void TForm1::SavePicture1Click()
{
    guarded([this] {
        const QString proposed = workbench_->state().ResultBaseName + QStringLiteral("_YieldingPoint.bmp");
        QString filter;
        const QString path = dialogs_->getSaveFileName(this, QStringLiteral("Save Picture"),
                                                       workbench_->pictureDialogFolder(), proposed,
                                                       pictureFilters(), &filter);
        if (path.isEmpty())
            return;
        workbench_->picturePathChosen(path);
        // A typed extension chooses the format; otherwise the chosen filter does.
        const PictureFormat format = pictureFormatChosen(path, filter);
        cht1->savePicture(path, format);
    });
}

void TForm1::btn1Click()
{
    guarded([this] {
        for (Field f : {Field::edt12, Field::edt17, Field::edt1})
            workbench_->setFieldText(f, field(f)->text());
        calculateMessages_.clear();
        calculateTime_ = QDateTime::currentDateTime();
        calculatedCurve_ = workbench_->chart()[SeriesId::lnsrsSeries4].data.revision();
        recordingCalculate_ = true;
        const auto stopRecording = qScopeGuard([this] { recordingCalculate_ = false; });
        workbench_->btn1Click();
    });
}

namespace {
// What a workbook export shows while it runs: the window's dialogs and the progress window.
class WindowFeedback : public ExportProgress {
public:
    WindowFeedback(QWidget* parent, DialogProvider& dialogs)
        : ExportProgress(parent, dialogs.showsProgress()), parent_(parent), dialogs_(dialogs)
    {
    }
    void showStartFailure(const QString& text, const QString& caption) override
    {
        withoutWaitCursor([&] { dialogs_.showStartFailure(parent_, text, caption); });
    }
    void showNotice(const QString& text) override
    {
        withoutWaitCursor([&] { dialogs_.showMessage(parent_, MessageLevel::Information, text); });
    }

private:
    QWidget* parent_;
    DialogProvider& dialogs_;
};
}  // namespace

void TForm1::ExportExcel1Click()
{
    guarded([this] {
        excel::WorkbookExport run(workbench_->decimalSeparator());
        QString error;
        {
            WindowFeedback feedback(this, *dialogs_);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            try {
                const QString folder = workbookFolder_.isEmpty() ? excel::WorkbookExport::WorkbookFolder() : workbookFolder_;
                run.toFolder(ExcelOp, workbench_->chart().asDrawn(), feedback, folder);
            } catch (const excel::ExportCancelled&) {
            } catch (const std::exception& e) {
                error = QString::fromUtf8(e.what());
            }
            QApplication::restoreOverrideCursor();
        }
        // The workbook holds what was done before an error; it is still shown.
        if (!error.isEmpty())
            dialogs_->showMessage(this, MessageLevel::Error, error);
        if (!run.savedPath().isEmpty())
            dialogs_->openWorkbook(this, run.savedPath());
    });
}

void TForm1::ExcelOptions1Click()
{
    guarded([this] {
        ShowExcelOptions(this, ExcelOp, workbench_->decimalSeparator(), [this](const QString& text) {
            dialogs_->showMessage(this, MessageLevel::Error, text);
        });
    });
}

void TForm1::AboutKelvo1Click() { guarded([this] { showAboutBox(this); }); }
void TForm1::Donation1Click() { guarded([this] { showDonationBox(this); }); }
void TForm1::Howtouse1Click() { guarded([this] { openHowToUse(this); }); }
void TForm1::VisitWebSite1Click() { guarded([this] { openWebSite(this); }); }

void TForm1::rb1Click() { guarded([this] { workbench_->displayMethodSelected(1); }); }
void TForm1::rb2Click() { guarded([this] { workbench_->displayMethodSelected(2); }); }
void TForm1::rb3Click() { guarded([this] { workbench_->displayMethodSelected(3); }); }
void TForm1::rb4Click() { guarded([this] { workbench_->displayMethodSelected(4); }); }

}  // namespace rz
