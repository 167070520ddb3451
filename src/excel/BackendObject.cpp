#include "excel/BackendObject.h"

#include <cmath>

namespace rz::excel::backend {

// --- property helpers ------------------------------------------------------------------

Variant boolProperty(const Request& r, bool& field)
{
    if (r.isPut()) {
        field = r.written().asBool();
        return {};
    }
    r.read();
    return Variant::boolean(field);
}

Variant boolProperty(const Request& r, std::optional<bool>& field, bool unset)
{
    if (r.isPut()) {
        field = r.written().asBool();
        return {};
    }
    r.read();
    return Variant::boolean(field.value_or(unset));
}

Variant textProperty(const Request& r, QString& field)
{
    if (r.isPut()) {
        field = r.written().asText();
        return {};
    }
    r.read();
    return Variant::text(field);
}

double finiteNumber(const Request& r, const Variant& v)
{
    const double d = v.asNumber();
    if (!std::isfinite(d))
        r.fail(QStringLiteral("%1 is not a valid value").arg(v.describe()));
    return d;
}

// A number property that accepts values from lo to hi.
Variant numberProperty(const Request& r, std::optional<double>& field, double lo, double hi, double unset)
{
    if (r.isPut()) {
        const double d = finiteNumber(r, r.written());
        if (d < lo || d > hi)
            r.fail(QStringLiteral("the value %1 lies outside %2 to %3").arg(d).arg(lo).arg(hi));
        field = d;
        return {};
    }
    r.read();
    return Variant::real(field.value_or(unset));
}

}  // namespace rz::excel::backend
