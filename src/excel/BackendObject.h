#pragma once

#include "excel/Automation.h"
#include "excel/WorkbookBackend.h"
#include "excel/WorkbookModel.h"

#include <QString>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// What every object of the workbook back end shares: the application's state, the call
// as an object receives it, the base class that names the object in every error, and the
// helpers of its common property kinds. The chart's objects live in ChartObjects.cpp, the
// rest in WorkbookBackend.cpp.
namespace rz::excel::backend {

struct AppState {
    std::shared_ptr<WorkbookBackend::Session> session;
    bool visible = false;
    std::vector<std::shared_ptr<model::Workbook>> workbooks;
    model::Chart* activeChart = nullptr;
};
using AppPtr = std::shared_ptr<AppState>;

inline QString member(std::string_view m)
{
    return QString::fromLatin1(m.data(), static_cast<qsizetype>(m.size()));
}

// One call as an object receives it, with the checks every member needs.
class Request {
public:
    Request(const char* cls, CallKind kind, std::string_view name, std::span<const Variant> args)
        : cls_(cls), kind_(kind), name_(name), args_(args)
    {
    }

    bool is(std::string_view name) const { return name_ == name; }
    bool isPut() const { return kind_ == CallKind::Put; }

    // A read or method call with from min to max arguments.
    void read(std::size_t min = 0, std::size_t max = 0) const
    {
        if (isPut())
            fail(QStringLiteral("'%1' cannot be written").arg(member(name_)));
        if (args_.size() < min || args_.size() > max)
            fail(QStringLiteral("wrong number of arguments (%1)").arg(args_.size()));
    }
    const Variant& written() const
    {
        if (!isPut())
            fail(QStringLiteral("'%1' is a property; it is read without arguments or written").arg(member(name_)));
        return args_[0];
    }
    bool has(std::size_t i) const { return i < args_.size() && !args_[i].isEmpty(); }
    const Variant& arg(std::size_t i) const { return args_[i]; }
    std::int32_t intArg(std::size_t i) const { return args_[i].toInt32(); }

    [[noreturn]] void fail(const QString& reason) const { throw AutomationError(reason); }
    [[noreturn]] void unknown() const
    {
        fail(QStringLiteral("the %1 object has no property or method '%2'")
                 .arg(QLatin1StringView(cls_), member(name_)));
    }
    [[noreturn]] void readOnly() const
    {
        fail(QStringLiteral("the property '%1' of the %2 object is read-only")
                 .arg(member(name_), QLatin1StringView(cls_)));
    }

private:
    const char* cls_;
    CallKind kind_;
    std::string_view name_;
    std::span<const Variant> args_;
};

class Object : public AutomationTarget {
public:
    explicit Object(AppPtr app) : app_(std::move(app)) {}

    Variant invoke(CallKind kind, std::string_view name, std::span<const Variant> args) override
    {
        const Request r(className(), kind, name, args);
        try {
            return dispatch(r);
        } catch (const AutomationError& e) {
            // Name the object and member the description belongs to.
            throw AutomationError(QStringLiteral("%1.%2: %3")
                                      .arg(QLatin1StringView(className()), member(name), e.description()));
        }
    }

protected:
    virtual const char* className() const = 0;
    virtual Variant dispatch(const Request& r) = 0;

    template <class T, class... A>
    Variant make(A&&... a) const
    {
        return Variant::object(AutomationObject(std::make_shared<T>(app_, std::forward<A>(a)...)));
    }

    const WorkbookBackend::Session& session() const { return *app_->session; }

    AppPtr app_;
};

// --- property helpers ------------------------------------------------------------------

Variant boolProperty(const Request& r, bool& field);
Variant boolProperty(const Request& r, std::optional<bool>& field, bool unset);
Variant textProperty(const Request& r, QString& field);
// v as a finite number; anything else fails the request.
double finiteNumber(const Request& r, const Variant& v);
// A number property that accepts values from lo to hi.
Variant numberProperty(const Request& r, std::optional<double>& field, double lo, double hi, double unset);

// The Chart object of chart, in book (ChartObjects.cpp).
Variant chartObject(const AppPtr& app, model::Workbook* book, model::Chart* chart);

}  // namespace rz::excel::backend
