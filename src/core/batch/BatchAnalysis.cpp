#include "core/batch/BatchAnalysis.h"

#include <QFileInfo>
#include <QLocale>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>

namespace rz {

namespace {

// What the window would show, kept in order.
class RecordingInterface : public UserInterface {
public:
    void showMessage(MessageLevel level, const QString& text) override { messages.push_back({level, text}); }
    void focusField(Field) override {}
    std::vector<BatchMessage> messages;
};

// The model talks to its interface for its whole life (a later export may still show a
// notice), so the interface lives inside the model. A base, so that it is built first.
struct InterfaceHolder {
    RecordingInterface recording;
};

class SpecimenModel : private InterfaceHolder, public Workbench {
public:
    explicit SpecimenModel(const BatchSettings& settings)
        : InterfaceHolder{}, Workbench(recording, settings.decimalSeparator, settings.programFolder)
    {
    }
    const std::vector<BatchMessage>& messages() const { return recording.messages; }
    void record(MessageLevel level, const QString& text) { recording.showMessage(level, text); }
};

// Why a file gave no results: the import's own error when it gave one (Calculate only adds
// "Import Data first!" to it), else the last thing the window said.
QString failureText(const std::vector<BatchMessage>& messages, std::size_t importMessages, const QString& fallback)
{
    for (std::size_t i = std::min(importMessages, messages.size()); i-- > 0;) {
        if (messages[i].level != MessageLevel::Information)
            return messages[i].text;
    }
    return messages.empty() ? fallback : messages.back().text;
}

}  // namespace

BatchSettings defaultBatchSettings(QChar decimalSeparator)
{
    BatchSettings settings;
    settings.decimalSeparator = decimalSeparator;
    // Read off a fresh model, so the batch starts where a new window starts.
    RecordingInterface ui;
    const Workbench fresh(ui, decimalSeparator, QString());
    settings.loadReduction = fresh.fieldText(Field::edt12);
    settings.secant = fresh.fieldText(Field::edt17);
    settings.park = fresh.fieldText(Field::edt1);
    return settings;
}

SpecimenAnalysis analyseSpecimen(const QString& path, const BatchSettings& settings)
{
    SpecimenAnalysis result;
    result.path = path;
    result.name = QFileInfo(path).fileName();
    auto model = std::make_unique<SpecimenModel>(settings);
    std::size_t importMessages = 0;
    model->setFieldText(Field::edt12, settings.loadReduction);
    model->setFieldText(Field::edt17, settings.secant);
    model->setFieldText(Field::edt1, settings.park);
    try {
        if (settings.import) {
            ImportResult read = model->importWithOptionsConfirmed(path, *settings.import);
            result.importResult = std::move(read);
        } else {
            model->importConfirmed(path);
        }
        // The plain import stores whatever lines it could read, possibly none.
        result.imported = model->state().PeakIndex >= 0 && (!result.importResult || result.importResult->ok());
        importMessages = model->messages().size();
        model->btn1Click();
        // In UTC: the local clock makes glibc look at /etc/localtime under a process-wide
        // lock, once per file and on every worker at once.
        result.analysedAt = QDateTime::currentDateTimeUtc();
        result.calculated = model->lastCalculationCompleted();
    } catch (const std::exception& e) {
        // The handlers catch their own errors; this is what one of them let through.
        model->record(MessageLevel::Error, QString::fromUtf8(e.what()));
        result.calculated = false;
    }
    result.messages = model->messages();
    if (!result.imported)
        result.failure = failureText(result.messages, importMessages, QStringLiteral("No curve was imported."));
    else if (!result.calculated)
        result.failure = failureText(result.messages, 0, QStringLiteral("The calculation did not run to its end."));
    result.workbench = std::move(model);
    return result;
}

namespace {

// Results finished on the workers, waiting for their turn.
class Finished {
public:
    void put(int index, SpecimenAnalysis&& specimen)
    {
        bool awaited = false;
        {
            std::lock_guard lock(mutex_);
            done_.emplace(index, std::move(specimen));
            awaited = awaitedFrom_ <= index && index <= awaitedTo_ && allDone(awaitedFrom_, awaitedTo_);
        }
        // Only the result that completes what the consumer waits for wakes it.
        if (awaited)
            ready_.notify_one();
    }
    // The result of index. When it has not finished, waits until all of index to through
    // have (all of them given to the pool already), so that the consumer sleeps and wakes
    // once for a few files, not for each: beside a small file, a wake-up is not cheap (it
    // also takes a processor from a worker). Called by one consumer thread only.
    SpecimenAnalysis take(int index, int through)
    {
        std::unique_lock lock(mutex_);
        if (done_.count(index) == 0) {
            awaitedFrom_ = index;
            awaitedTo_ = std::max(index, through);
            ready_.wait(lock, [&] { return allDone(awaitedFrom_, awaitedTo_); });
            awaitedFrom_ = awaitedTo_ = -1;
        }
        auto node = done_.extract(index);
        return std::move(node.mapped());
    }
    // Whatever finished, in index order (after the pool is done).
    std::vector<std::pair<int, SpecimenAnalysis>> drain()
    {
        std::lock_guard lock(mutex_);
        std::vector<std::pair<int, SpecimenAnalysis>> all;
        for (auto& [index, specimen] : done_)
            all.emplace_back(index, std::move(specimen));
        done_.clear();
        return all;
    }

private:
    bool allDone(int from, int to) const
    {
        for (int k = from; k <= to; ++k)
            if (done_.count(k) == 0)
                return false;
        return true;
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::map<int, SpecimenAnalysis> done_;
    int awaitedFrom_ = -1;  // the indexes take() waits for
    int awaitedTo_ = -1;
};

int threadsFor(int jobs)
{
    return jobs > 0 ? jobs : std::max(1, QThread::idealThreadCount());
}

// Runs the batch; after a cancel, when drain is given, hands it what finished anyway.
// grouped: the consumer is woken for a few files at a time (Finished::take), for throughput;
// otherwise for each, for progress that moves file by file.
bool runInOrder(const QStringList& paths, const BatchSettings& settings, int jobs, const BatchConsumer& consume,
                const BatchProgress& progress, const BatchConsumer& drain, bool grouped)
{
    const int total = static_cast<int>(paths.size());
    if (total == 0)
        return true;
    // The user's locale is looked up once, lazily, by the first model: do it here, before
    // any worker can race for it.
    (void)QLocale::system();

    const QStringList names = specimenNames(paths);
    const int threads = std::min(threadsFor(jobs), total);
    // Enough ahead that no worker waits for a slow file to be consumed, few enough that a
    // huge batch never holds many curves.
    const int ahead = 4 * threads;
    // Half of those: the workers keep the other half to go on with while the consumer writes.
    const int together = grouped ? ahead / 2 : 1;
    Finished finished;  // outlives the pool, whose tasks put into it
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    int submitted = 0;
    auto submitUpTo = [&](int limit) {
        for (; submitted < std::min(limit, total); ++submitted) {
            const int index = submitted;
            const QString path = paths[index];
            const QString name = names[index];
            pool.start([&finished, &settings, index, path, name] {
                SpecimenAnalysis specimen;
                try {
                    specimen = analyseSpecimen(path, settings);
                } catch (const std::exception& e) {
                    // Out of memory, at worst: the file fails, the batch goes on.
                    specimen = SpecimenAnalysis{};
                    specimen.path = path;
                    specimen.failure = QString::fromUtf8(e.what());
                    specimen.messages.push_back({MessageLevel::Error, specimen.failure});
                }
                specimen.name = name;
                finished.put(index, std::move(specimen));
            });
        }
    };

    bool complete = true;
    try {
        for (int next = 0; next < total; ++next) {
            submitUpTo(next + ahead);
            SpecimenAnalysis specimen = finished.take(next, std::min(next + together, submitted) - 1);
            const bool go = (!progress || progress(next + 1, total));
            if (!consume(std::move(specimen), next) || !go) {
                complete = next + 1 == total;
                break;
            }
        }
    } catch (...) {
        // What the caller threw ends the batch: nothing more is started.
        pool.clear();
        pool.waitForDone();
        throw;
    }
    // Files not started stay so; those running are let finish.
    pool.clear();
    pool.waitForDone();
    if (!complete && drain) {
        for (auto& [index, specimen] : finished.drain())
            drain(std::move(specimen), index);
    }
    return complete;
}

}  // namespace

bool analyseInOrder(const QStringList& paths, const BatchSettings& settings, int jobs, const BatchConsumer& consume,
                    const BatchProgress& progress)
{
    return runInOrder(paths, settings, jobs, consume, progress, {}, true);
}

BatchResult analyseAll(const QStringList& paths, const BatchSettings& settings, int jobs, const BatchProgress& progress)
{
    BatchResult result;
    auto keep = [&result](SpecimenAnalysis&& specimen, int) {
        result.specimens.push_back(std::move(specimen));
        return true;
    };
    result.cancelled = !runInOrder(paths, settings, jobs, keep, progress, keep, false);
    return result;
}

}  // namespace rz
