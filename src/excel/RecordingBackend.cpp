#include "excel/RecordingBackend.h"

#include <map>
#include <utility>

namespace rz::excel {

namespace {

QString memberText(const std::string& member)
{
    return QString::fromLatin1(member.data(), static_cast<qsizetype>(member.size()));
}

QString argumentList(const std::vector<Variant>& args)
{
    QStringList parts;
    for (const Variant& a : args)
        parts << a.describe();
    return parts.join(QStringLiteral(", "));
}

// Members whose every call makes a new object; repeated reads of anything else address
// the same object again, so they keep one path.
bool createsObject(std::string_view member)
{
    return member == "Add" || member == "AddChart2" || member == "NewSeries";
}

}  // namespace

QString RecordedCall::toString() const
{
    const QString target = object + u'.' + memberText(member);
    switch (kind) {
    case CallKind::Put:
        return QStringLiteral("put ") + target + QStringLiteral(" = ") + (args.empty() ? QString() : args[0].describe());
    case CallKind::Call:
        return QStringLiteral("call ") + target + u'(' + argumentList(args) + u')';
    case CallKind::Get:
        break;
    }
    if (args.empty())
        return QStringLiteral("get ") + target;
    return QStringLiteral("get ") + target + u'(' + argumentList(args) + u')';
}

struct RecordingBackend::State {
    std::vector<RecordedCall> calls;
    std::map<std::string, Variant> answers;
    struct Rejection {
        QString description;
        int occurrence;
    };
    std::map<std::string, Rejection> rejections;
    std::map<std::string, int> callCounts;
    std::map<QString, int> pathCounts;
    std::map<std::pair<QString, std::string>, Variant> written;
    int applications = 0;
};

class RecordingBackend::Target : public AutomationTarget {
public:
    Target(std::shared_ptr<State> state, QString path) : state_(std::move(state)), path_(std::move(path)) {}

    Variant invoke(CallKind kind, std::string_view member, std::span<const Variant> args) override
    {
        State& s = *state_;
        RecordedCall record{path_, kind, std::string(member), std::vector<Variant>(args.begin(), args.end())};
        s.calls.push_back(record);

        const int count = ++s.callCounts[record.member];
        if (const auto r = s.rejections.find(record.member); r != s.rejections.end()) {
            if (r->second.occurrence == 0 || r->second.occurrence == count)
                throw AutomationError(r->second.description);
        }

        const auto key = std::make_pair(path_, record.member);
        if (kind == CallKind::Put) {
            s.written[key] = args.empty() ? Variant() : args[0];
            return {};
        }
        if (kind == CallKind::Get) {
            if (const auto w = s.written.find(key); w != s.written.end())
                return w->second;
            if (const auto a = s.answers.find(record.member); a != s.answers.end())
                return a->second;
        }

        QString childPath = path_ + u'.' + memberText(record.member);
        if (kind == CallKind::Call || !args.empty())
            childPath += u'(' + argumentList(record.args) + u')';
        if (createsObject(member)) {
            const int seen = ++s.pathCounts[childPath];
            if (seen > 1)
                childPath += u'#' + QString::number(seen);
        }
        return Variant::object(AutomationObject(std::make_shared<Target>(state_, childPath)));
    }

private:
    std::shared_ptr<State> state_;
    QString path_;
};

RecordingBackend::RecordingBackend() : state_(std::make_shared<State>())
{
    setAnswer("Left", Variant::real(96.0));
    setAnswer("Top", Variant::real(60.0));
    setAnswer("HasTitle", Variant::boolean(true));
}

AutomationObject RecordingBackend::createApplication()
{
    const QString name = QStringLiteral("app") + QString::number(++state_->applications);
    return AutomationObject(std::make_shared<Target>(state_, name));
}

const std::vector<RecordedCall>& RecordingBackend::calls() const
{
    return state_->calls;
}

QStringList RecordingBackend::lines() const
{
    QStringList out;
    out.reserve(static_cast<qsizetype>(state_->calls.size()));
    for (const RecordedCall& c : state_->calls)
        out << c.toString();
    return out;
}

void RecordingBackend::clearCalls()
{
    state_->calls.clear();
}

void RecordingBackend::setAnswer(const std::string& member, const Variant& value)
{
    state_->answers[member] = value;
}

void RecordingBackend::rejectMember(const std::string& member, const QString& description, int occurrence)
{
    state_->rejections[member] = State::Rejection{description, occurrence};
}

}  // namespace rz::excel
