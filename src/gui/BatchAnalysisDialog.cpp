#include "gui/BatchAnalysisDialog.h"

#include "chartview/ChartView.h"
#include "core/batch/SummaryCsv.h"
#include "core/compare/Comparison.h"
#include "core/import/FileHead.h"
#include "core/import/XlsxReader.h"
#include "core/io/Files.h"
#include "excel/SummaryWorkbook.h"
#include "gui/MainWindow.h"
#include "gui/SummaryTableModel.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

const QStringList kDataFilters = {u"Data files (*.csv *.txt *.dat *.xlsx)"_s, u"All files (*)"_s};
const QString kGroup = u"batchAnalysis/"_s;
constexpr int kProgressPollMs = 50;

}  // namespace

BatchAnalysisDialog::BatchAnalysisDialog(QWidget* parent, DialogProvider& dialogs, QChar decimalSeparator)
    : QDialog(parent), dialogs_(dialogs), sep_(decimalSeparator), importOptions_(ImportOptions::detectEverything())
{
    setObjectName(u"batchAnalysis"_s);
    setWindowTitle(u"Batch Analysis"_s);
    // Beside the main window, not over it: a row opened there is looked at while this stays.
    setModal(false);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    auto* top = new QWidget(this);
    buildFiles(top);
    buildTabs();
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(top);
    splitter_->addWidget(tabs_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    // The results get the room; the file list shows a few lines and scrolls.
    splitter_->setSizes({250, 470});

    export_ = new QPushButton(u"E&xport Summary\u2026"_s, this);
    sheets_ = new QPushButton(u"Export &Test Sheet\u2026"_s, this);
    sheets_->setObjectName(u"exportTestSheet"_s);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(sheets_, QDialogButtonBox::ActionRole);
    buttons->addButton(export_, QDialogButtonBox::ActionRole);
    connect(sheets_, &QPushButton::clicked, this, &BatchAnalysisDialog::exportTestSheets);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(export_, &QPushButton::clicked, this, &BatchAnalysisDialog::exportSummary);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter_, 1);
    layout->addWidget(buttons);

    watcher_ = new QFutureWatcher<std::shared_ptr<BatchResult>>(this);
    connect(watcher_, &QFutureWatcherBase::finished, this, &BatchAnalysisDialog::analysisDone);
    auto* poll = new QTimer(this);
    poll->setInterval(kProgressPollMs);
    connect(poll, &QTimer::timeout, this, [this] {
        if (running_) {
            progress_->setMaximum(std::max(1, running_->total.load()));
            progress_->setValue(running_->done.load());
        }
    });
    poll->start();

    resize(980, 720);
    updateButtons();
}

BatchAnalysisDialog::~BatchAnalysisDialog()
{
    // A run still going is told to stop and waited for: its results would have nowhere to go.
    if (running_)
        running_->cancel = true;
    watcher_->waitForFinished();
}

void BatchAnalysisDialog::buildFiles(QWidget* parent)
{
    auto* filesBox = new QGroupBox(u"Files"_s, parent);
    fileList_ = new QListWidget(filesBox);
    fileList_->setObjectName(u"batchFiles"_s);
    fileList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* addFiles = new QPushButton(u"&Add Files\u2026"_s, filesBox);
    auto* addFolder = new QPushButton(u"Add &Folder\u2026"_s, filesBox);
    auto* remove = new QPushButton(u"&Remove"_s, filesBox);
    connect(addFiles, &QPushButton::clicked, this, &BatchAnalysisDialog::addFilesClicked);
    connect(addFolder, &QPushButton::clicked, this, &BatchAnalysisDialog::addFolderClicked);
    connect(remove, &QPushButton::clicked, this, &BatchAnalysisDialog::removeSelectedFiles);
    auto* del = new QShortcut(QKeySequence::Delete, fileList_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, &BatchAnalysisDialog::removeSelectedFiles);
    auto* fileButtons = new QVBoxLayout;
    fileButtons->addWidget(addFiles);
    fileButtons->addWidget(addFolder);
    fileButtons->addWidget(remove);
    fileButtons->addStretch(1);
    auto* filesLayout = new QHBoxLayout(filesBox);
    filesLayout->addWidget(fileList_, 1);
    filesLayout->addLayout(fileButtons);

    auto* importBox = new QGroupBox(u"Import"_s, parent);
    plainImport_ = new QRadioButton(u"&Plain (as \u201cImport Load-Displacement Data\u201d)"_s, importBox);
    optionsImport_ = new QRadioButton(u"&With options"_s, importBox);
    chooseOptions_ = new QPushButton(u"&Options\u2026"_s, importBox);
    chooseOptions_->setObjectName(u"importOptions"_s);
    optionsSummary_ = new QLabel(importBox);
    optionsSummary_->setWordWrap(true);
    plainImport_->setChecked(true);
    connect(chooseOptions_, &QPushButton::clicked, this, &BatchAnalysisDialog::chooseImportOptions);
    connect(optionsImport_, &QRadioButton::toggled, this, &BatchAnalysisDialog::updateButtons);
    auto* importLayout = new QGridLayout(importBox);
    importLayout->addWidget(plainImport_, 0, 0, 1, 2);
    importLayout->addWidget(optionsImport_, 1, 0);
    importLayout->addWidget(chooseOptions_, 1, 1);
    importLayout->addWidget(optionsSummary_, 2, 0, 1, 2);

    auto* factorsBox = new QGroupBox(u"Factors"_s, parent);
    auto* form = new QFormLayout(factorsBox);
    loadReduction_ = new QLineEdit(factorsBox);
    secant_ = new QLineEdit(factorsBox);
    park_ = new QLineEdit(factorsBox);
    form->addRow(u"Load &reduction factor (ultimate):"_s, loadReduction_);
    form->addRow(u"Load factor for &secant (stiffness):"_s, secant_);
    form->addRow(u"Load factor (R.&Park):"_s, park_);

    run_ = new QPushButton(u"R&un"_s, parent);
    run_->setDefault(true);
    cancel_ = new QPushButton(u"&Cancel"_s, parent);
    progress_ = new QProgressBar(parent);
    progress_->setTextVisible(true);
    progress_->setFormat(u"%v of %m"_s);
    progress_->setValue(0);
    status_ = new QLabel(parent);
    connect(run_, &QPushButton::clicked, this, &BatchAnalysisDialog::runAnalysis);
    connect(cancel_, &QPushButton::clicked, this, &BatchAnalysisDialog::cancelAnalysis);

    auto* side = new QVBoxLayout;
    side->addWidget(importBox);
    side->addWidget(factorsBox);
    side->addStretch(1);
    auto* upper = new QHBoxLayout;
    upper->addWidget(filesBox, 3);
    upper->addLayout(side, 2);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(run_);
    runRow->addWidget(progress_, 1);
    runRow->addWidget(cancel_);
    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(upper, 1);
    layout->addLayout(runRow);
    layout->addWidget(status_);
}

void BatchAnalysisDialog::buildTabs()
{
    tabs_ = new QTabWidget(this);

    model_ = new SummaryTableModel(this);
    proxy_ = new SummarySortProxy(this);
    proxy_->setSourceModel(model_);
    table_ = new QTableView(tabs_);
    table_->setObjectName(u"batchResults"_s);
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->horizontalHeader()->setSectionsMovable(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    connect(table_, &QTableView::doubleClicked, this, &BatchAnalysisDialog::openRow);
    // Enter opens the current row, as a double click does.
    auto* enter = new QShortcut(QKeySequence(Qt::Key_Return), table_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(enter, &QShortcut::activated, this, [this] { openRow(table_->currentIndex()); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BatchAnalysisDialog::updateComparison);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BatchAnalysisDialog::updateButtons);
    // The rows' own actions, on a right click.
    auto* sheetAction = new QAction(u"Export Test Sheet\u2026"_s, table_);
    sheetAction->setObjectName(u"exportTestSheetRows"_s);
    connect(sheetAction, &QAction::triggered, this, &BatchAnalysisDialog::exportTestSheets);
    table_->addAction(sheetAction);
    table_->setContextMenuPolicy(Qt::ActionsContextMenu);
    tabs_->addTab(table_, u"&Results"_s);

    auto* comparePage = new QWidget(tabs_);
    method_ = new QComboBox(comparePage);
    method_->setObjectName(u"compareMethod"_s);
    for (const ComparisonMethod& m : comparisonMethods())
        method_->addItem(m.title, m.key);
    method_->setCurrentIndex(3);  // the mean of the three methods
    auto* methodLabel = new QLabel(u"&Yield points by:"_s, comparePage);
    methodLabel->setBuddy(method_);
    savePicture_ = new QPushButton(u"&Save Picture\u2026"_s, comparePage);
    connect(method_, &QComboBox::currentIndexChanged, this, &BatchAnalysisDialog::updateComparison);
    connect(savePicture_, &QPushButton::clicked, this, &BatchAnalysisDialog::saveComparisonPicture);
    chart_ = new ChartView(comparePage);
    chart_->setObjectName(u"compareChart"_s);
    chart_->setDecimalSeparator(sep_);
    // Hundreds of curves of thousands of points each are drawn in seconds only when thinned.
    chart_->setThinAbove(kThinComparedAbove);
    chart_->setInteraction(QCP::iRangeZoom, true);  // the wheel zooms; a drag zooms to its rectangle
    chart_->legend->setVisible(true);
    chart_->legend->setFont(QFont(font().family(), 8));
    chart_->legend->setRowSpacing(0);
    chart_->legend->setIconSize(24, 9);
    // Fifteen names a column: a series of thirty takes two columns and no name is squeezed.
    chart_->legend->setFillOrder(QCPLayoutGrid::foRowsFirst);
    chart_->legend->setWrap(15);
    // The legend beside the plot: thirty names would cover the curves.
    auto* legendColumn = new QCPLayoutGrid;
    chart_->plotLayout()->addElement(0, 1, legendColumn);
    legendColumn->addElement(0, 0, chart_->legend);
    legendColumn->addElement(1, 0, new QCPLayoutElement(chart_));
    legendColumn->setRowStretchFactor(0, 0.01);
    // Room for the legend's frame: at the chart's very edge its right side is not drawn.
    legendColumn->setMargins(QMargins(0, 0, 2, 0));
    chart_->plotLayout()->setColumnStretchFactor(1, 0.01);
    auto* hint = new QLabel(
        u"The rows chosen on Results, or every row. Drag a rectangle or turn the wheel to zoom; "
        u"double-click to see everything."_s,
        comparePage);
    hint->setWordWrap(true);
    unnamed_ = new QLabel(comparePage);
    unnamed_->setObjectName(u"compareUnnamed"_s);
    unnamed_->setWordWrap(true);
    unnamed_->hide();
    auto* controls = new QHBoxLayout;
    controls->addWidget(methodLabel);
    controls->addWidget(method_);
    controls->addStretch(1);
    controls->addWidget(savePicture_);
    auto* compareLayout = new QVBoxLayout(comparePage);
    compareLayout->addLayout(controls);
    compareLayout->addWidget(chart_, 1);
    compareLayout->addWidget(unnamed_);
    compareLayout->addWidget(hint);
    tabs_->addTab(comparePage, u"C&ompare"_s);
    // A chart in a hidden tab has no size to scale its axes to: drawn anew when shown.
    connect(tabs_, &QTabWidget::currentChanged, this, [this, comparePage](int index) {
        if (tabs_->widget(index) == comparePage)
            updateComparison();
    });
}

void BatchAnalysisDialog::setSettings(QSettings* settings)
{
    settings_ = settings;
    restoreLayout();
}

void BatchAnalysisDialog::restoreLayout()
{
    if (!settings_)
        return;
    restoreGeometry(settings_->value(kGroup + u"geometry"_s).toByteArray());
    splitter_->restoreState(settings_->value(kGroup + u"splitter"_s).toByteArray());
    if (settings_->value(kGroup + u"withOptions"_s, false).toBool())
        optionsImport_->setChecked(true);
    if (const auto m = comparisonMethodIndex(settings_->value(kGroup + u"compareMethod"_s).toString()))
        method_->setCurrentIndex(*m);
    tabs_->setCurrentIndex(settings_->value(kGroup + u"tab"_s, 0).toInt());
}

void BatchAnalysisDialog::saveLayout()
{
    if (!settings_)
        return;
    settings_->setValue(kGroup + u"geometry"_s, saveGeometry());
    settings_->setValue(kGroup + u"splitter"_s, splitter_->saveState());
    settings_->setValue(kGroup + u"withOptions"_s, optionsImport_->isChecked());
    settings_->setValue(kGroup + u"compareMethod"_s, method_->currentData().toString());
    settings_->setValue(kGroup + u"tab"_s, tabs_->currentIndex());
}

void BatchAnalysisDialog::closeEvent(QCloseEvent* event)
{
    saveLayout();
    QDialog::closeEvent(event);
}

QString BatchAnalysisDialog::startFolder() const
{
    if (settings_)
        return settings_->value(kGroup + u"folder"_s).toString();
    return {};
}

void BatchAnalysisDialog::rememberFolder(const QString& path)
{
    if (settings_)
        settings_->setValue(kGroup + u"folder"_s, path);
}

// --- files ------------------------------------------------------------------------------

void BatchAnalysisDialog::setFiles(const QStringList& paths)
{
    fileList_->clear();
    addFiles(paths);
}

void BatchAnalysisDialog::addFiles(const QStringList& paths)
{
    // A set, so that adding a folder of thousands of files stays quick.
    const QStringList listed = files();
    QSet<QString> present(listed.cbegin(), listed.cend());
    for (const QString& path : paths) {
        const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (!present.contains(clean)) {
            present.insert(clean);
            fileList_->addItem(QDir::toNativeSeparators(clean));
        }
    }
    updateButtons();
}

QStringList BatchAnalysisDialog::files() const
{
    QStringList paths;
    for (int i = 0; i < fileList_->count(); ++i)
        paths << QDir::fromNativeSeparators(fileList_->item(i)->text());
    return paths;
}

void BatchAnalysisDialog::addFilesClicked()
{
    const QStringList chosen = dialogs_.getOpenFileNames(this, u"Add Files"_s, startFolder(), kDataFilters);
    if (chosen.isEmpty())
        return;
    rememberFolder(QFileInfo(chosen.constFirst()).absolutePath());
    addFiles(chosen);
}

void BatchAnalysisDialog::addFolderClicked()
{
    const QString folder = dialogs_.getExistingDirectory(this, u"Add Folder"_s, startFolder());
    if (folder.isEmpty())
        return;
    rememberFolder(folder);
    try {
        const QStringList found = expandBatchArguments({folder}, false, nullptr);
        if (found.isEmpty())
            dialogs_.showMessage(this, MessageLevel::Information, noDataFilesText(folder, false) + u'.');
        addFiles(found);
    } catch (const std::exception& e) {
        dialogs_.showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
    }
}

void BatchAnalysisDialog::removeSelectedFiles()
{
    const QList<QListWidgetItem*> selected = fileList_->selectedItems();
    for (QListWidgetItem* item : selected)
        delete item;
    updateButtons();
}

// --- settings ---------------------------------------------------------------------------

void BatchAnalysisDialog::setFactorTexts(const QString& loadReduction, const QString& secant, const QString& park)
{
    loadReduction_->setText(loadReduction);
    secant_->setText(secant);
    park_->setText(park);
}

void BatchAnalysisDialog::setImportOptions(const ImportOptions& options)
{
    importOptions_ = options;
    optionsSummary_->setText(options == ImportOptions::detectEverything()
                                 ? u"Everything detected in each file."_s
                                 : u"As chosen in Options\u2026 (Auto parts detected in each file)."_s);
}

void BatchAnalysisDialog::chooseImportOptions()
{
    const QStringList paths = files();
    if (paths.isEmpty()) {
        dialogs_.showMessage(this, MessageLevel::Information,
                             u"Add the files first: the options are shown on the first one."_s);
        return;
    }
    try {
        if (const auto chosen = dialogs_.getImportOptions(this, paths.constFirst(), importOptions_, sep_)) {
            setImportOptions(*chosen);
            optionsImport_->setChecked(true);
        }
    } catch (const std::exception& e) {
        dialogs_.showMessage(this, MessageLevel::Warning, QString::fromUtf8(e.what()));
    }
}

BatchSettings BatchAnalysisDialog::batchSettings() const
{
    BatchSettings s = defaultBatchSettings(sep_);
    if (optionsImport_->isChecked())
        s.import = importOptions_;
    s.loadReduction = loadReduction_->text();
    s.secant = secant_->text();
    s.park = park_->text();
    return s;
}

// --- running ----------------------------------------------------------------------------

bool BatchAnalysisDialog::isRunning() const
{
    // From Run until its results are shown: the worker may be done a moment before.
    return running_ != nullptr;
}

void BatchAnalysisDialog::updateButtons()
{
    const bool running = isRunning();
    run_->setEnabled(!running && fileList_->count() > 0);
    cancel_->setEnabled(running);
    chooseOptions_->setEnabled(!running);
    export_->setEnabled(!running && !specimens_.empty());
    if (sheets_)
        sheets_->setEnabled(!running && !selectedSpecimenRows().empty());
    savePicture_->setEnabled(!specimens_.empty());
    // Before the first run the bar counts the files waiting, not a default of 100.
    if (!running && specimens_.empty()) {
        const int count = fileList_->count();
        progress_->setMaximum(std::max(1, count));
        progress_->setValue(0);
        progress_->setFormat(count > 0 ? u"%v of %m"_s : u"No files added"_s);
    }
}

void BatchAnalysisDialog::runAnalysis()
{
    if (isRunning() || fileList_->count() == 0)
        return;
    const QStringList paths = files();
    ranWith_ = batchSettings();
    if (ranWith_.import)
        emit importOptionsUsed(*ranWith_.import);
    running_ = std::make_shared<Progress>();
    running_->total = static_cast<int>(paths.size());
    progress_->setMaximum(static_cast<int>(paths.size()));
    progress_->setValue(0);
    progress_->setFormat(u"%v of %m"_s);
    status_->setText(u"Analysing %1 files\u2026"_s.arg(paths.size()));
    const std::shared_ptr<Progress> progress = running_;
    const BatchSettings settings = ranWith_;
    watcher_->setFuture(QtConcurrent::run([paths, settings, progress] {
        return std::make_shared<BatchResult>(analyseAll(paths, settings, 0, [progress](int done, int total) {
            progress->done = done;
            progress->total = total;
            return !progress->cancel.load();
        }));
    }));
    updateButtons();
}

void BatchAnalysisDialog::cancelAnalysis()
{
    if (running_)
        running_->cancel = true;
    status_->setText(u"Cancelling\u2026"_s);
}

void BatchAnalysisDialog::analysisDone()
{
    std::shared_ptr<BatchResult> result = watcher_->future().result();
    running_.reset();
    specimens_ = std::move(result->specimens);
    cancelled_ = result->cancelled;
    progress_->setValue(static_cast<int>(specimens_.size()));
    int failed = 0;
    for (const SpecimenAnalysis& s : specimens_)
        failed += s.failure.isEmpty() ? 0 : 1;
    QString text = u"%1 files analysed"_s.arg(specimens_.size());
    if (failed > 0)
        text += u", %1 without results (their notes say why)"_s.arg(failed);
    if (cancelled_)
        text += u"; cancelled: the files not started were left out"_s;
    status_->setText(text + u'.');
    showResults();
    updateButtons();
    emit analysisFinished();
}

void BatchAnalysisDialog::showResults()
{
    // A cyclic record has a row per direction: each row knows its specimen.
    std::vector<QStringList> messages;
    SummaryTable table(summaryColumns());
    rowSpecimen_.clear();
    rowDirection_.clear();
    for (std::size_t i = 0; i < specimens_.size(); ++i) {
        QStringList texts;
        for (const BatchMessage& m : specimens_[i].messages)
            texts << m.text;
        const std::vector<std::optional<Direction>> directions = summaryRowDirections(specimens_[i]);
        std::vector<std::vector<SummaryCell>> rows = summaryRowsOf(specimens_[i]);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            table.addRow(std::move(rows[r]));
            messages.push_back(texts);
            rowSpecimen_.push_back(static_cast<int>(i));
            rowDirection_.push_back(r < directions.size() ? directions[r] : std::nullopt);
        }
    }
    model_->setTable(table, sep_, messages);
    table_->resizeColumnsToContents();
    updateComparison();
}

void BatchAnalysisDialog::openRow(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const int row = proxy_->mapToSource(index).row();
    if (row < 0 || row >= static_cast<int>(rowSpecimen_.size()) ||
        rowSpecimen_[static_cast<std::size_t>(row)] >= static_cast<int>(specimens_.size()))
        return;  // a statistics row
    emit specimenOpened(specimens_[static_cast<std::size_t>(rowSpecimen_[static_cast<std::size_t>(row)])].path,
                        ranWith_);
}

}  // namespace rz
