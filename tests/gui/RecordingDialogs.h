#pragma once
// The window's dialogs answered by a test: the open dialog returns queued answers, and
// every message is recorded instead of shown.
#include "gui/MainWindow.h"

#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

namespace rz::test {

struct RecordedMessage {
    MessageLevel level;
    QString text;
};

class RecordingDialogs : public DialogProvider {
public:
    void showMessage(QWidget*, MessageLevel level, const QString& text) override { messages.push_back({level, text}); }
    QString getOpenFileName(QWidget*, const QString&, const QString& folder, const QStringList&) override
    {
        openFolders << folder;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString getSaveFileName(QWidget*, const QString&, const QString&, const QString&, const QStringList&,
                            QString*) override
    {
        return {};
    }
    void showStartFailure(QWidget*, const QString& text, const QString&) override
    {
        messages.push_back({MessageLevel::Information, text});
    }
    void openWorkbook(QWidget*, const QString&) override {}
    bool showsProgress() const override { return false; }

    QStringList texts() const
    {
        QStringList all;
        for (const RecordedMessage& m : messages)
            all << m.text;
        return all;
    }

    QStringList answers;
    QStringList openFolders;
    QList<RecordedMessage> messages;
};

// The curve of the worked example: 9 lines, 8 points, peak 100 at 4.
inline const QByteArray kWorkedExample = "d,l\r\n0,0\r\n1,50\r\n1.5,75\r\n2,80\r\n3,95\r\n4,100\r\n5,90\r\n6,80\r\n";

inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes = kWorkedExample)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write the fixture %s", qPrintable(path));
    return path;
}

}  // namespace rz::test
