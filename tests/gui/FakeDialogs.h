#pragma once

// The main window's dialogs answered by the test, and small fixtures the window tests share.
#include "gui/MainWindow.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

namespace rz::test {

struct RecordedMessage {
    MessageLevel level;
    QString text;
};

class FakeDialogs : public DialogProvider {
public:
    void showMessage(QWidget*, MessageLevel level, const QString& text) override { messages.push_back({level, text}); }
    QString getOpenFileName(QWidget*, const QString& title, const QString& folder, const QStringList& filters) override
    {
        lastTitle = title;
        lastFolder = folder;
        lastFilters = filters;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString getSaveFileName(QWidget*, const QString& title, const QString& folder, const QString& proposedName,
                            const QStringList& filters, QString* selectedFilter) override
    {
        lastTitle = title;
        lastFolder = folder;
        lastProposed = proposedName;
        lastFilters = filters;
        if (selectedFilter)
            *selectedFilter = filterAnswer.isEmpty() ? filters.value(0) : filterAnswer;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }

    void showStartFailure(QWidget*, const QString& text, const QString&) override
    {
        messages.push_back({MessageLevel::Information, text});
    }
    void openWorkbook(QWidget*, const QString& path) override { openedWorkbooks << path; }
    bool showsProgress() const override { return progress; }
    bool confirmReplace(QWidget*, const QString&, const QString& text) override
    {
        replaceQuestions << text;
        return replaceAnswer;
    }

    bool progress = false;  // the real progress window, with its Cancel
    QStringList answers;
    QStringList openedWorkbooks;
    QString filterAnswer;
    QString lastTitle, lastFolder, lastProposed;
    QStringList lastFilters;
    QList<RecordedMessage> messages;
    bool replaceAnswer = false;
    QStringList replaceQuestions;
};

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write fixture");
    f.write(bytes);
    return path;
}

inline const QByteArray kWorkedExample = "d,l\r\n0,0\r\n1,50\r\n1.5,75\r\n2,80\r\n3,95\r\n4,100\r\n5,90\r\n6,80\r\n";

}  // namespace rz::test
