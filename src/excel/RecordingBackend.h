#pragma once

#include "excel/Automation.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

// A back end that records every call made through the handles it gives out and answers
// with new handles and plausible values, for tests that check what is sent to Excel.
namespace rz::excel {

struct RecordedCall {
    QString object;  // path of the called object: "app1.Workbooks.Add().Sheets(text \"Sheet1\")"
    CallKind kind;
    std::string member;
    std::vector<Variant> args;

    // "get app1.Workbooks", "call app1.Workbooks.Add()", "put <path>.Value = text \"X\"".
    QString toString() const;
};

class RecordingBackend {
public:
    RecordingBackend();

    // A new application object, "app1", "app2"...
    AutomationObject createApplication();

    const std::vector<RecordedCall>& calls() const;
    QStringList lines() const;  // calls() as text
    void clearCalls();

    // What a read of member answers when nothing was written to it on the same object
    // (a written property reads back as written). Defaults: Left 96, Top 60 (cell C5
    // in points), HasTitle true. Members without an answer give a new object.
    void setAnswer(const std::string& member, const Variant& value);
    // The n-th call (from 1) of member fails with description; 0 makes every call fail.
    void rejectMember(const std::string& member, const QString& description, int occurrence = 0);

private:
    struct State;
    class Target;
    std::shared_ptr<State> state_;
};

}  // namespace rz::excel
