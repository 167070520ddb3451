#include "excel/Automation.h"

#include "core/text/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace rz::excel {

AutomationError::AutomationError(const QString& description)
    : std::runtime_error(description.toStdString())
{
}

namespace {

[[noreturn]] void typeMismatch(const Variant& value, const char* wanted)
{
    throw AutomationError(QStringLiteral("Type mismatch: %1 where %2 was expected")
                              .arg(value.describe(), QLatin1StringView(wanted)));
}

QString memberText(std::string_view member)
{
    return QString::fromLatin1(member.data(), static_cast<qsizetype>(member.size()));
}

}  // namespace

// --- AutomationObject -------------------------------------------------------------------

Variant AutomationObject::invoke(CallKind kind, std::string_view member, std::span<const Variant> args) const
{
    if (!target_) {
        throw AutomationError(QStringLiteral("Cannot %1 '%2': the automation object is empty "
                                             "(Excel was not started)")
                                  .arg(callKindName(kind), memberText(member)));
    }
    return target_->invoke(kind, member, args);
}

Variant AutomationObject::get(std::string_view member, std::initializer_list<Variant> args) const
{
    return invoke(CallKind::Get, member, std::span<const Variant>(args.begin(), args.size()));
}

void AutomationObject::put(std::string_view member, const Variant& value) const
{
    invoke(CallKind::Put, member, std::span<const Variant>(&value, 1));
}

Variant AutomationObject::call(std::string_view member, std::initializer_list<Variant> args) const
{
    return invoke(CallKind::Call, member, std::span<const Variant>(args.begin(), args.size()));
}

AutomationObject AutomationObject::getObject(std::string_view member, std::initializer_list<Variant> args) const
{
    return get(member, args).asObject();
}

AutomationObject AutomationObject::callObject(std::string_view member, std::initializer_list<Variant> args) const
{
    return call(member, args).asObject();
}

// --- Variant ----------------------------------------------------------------------------

Variant Variant::text(QString value)
{
    Variant v;
    v.kind_ = VariantKind::Text;
    v.text_ = std::move(value);
    return v;
}

Variant Variant::int16(std::int16_t value)
{
    Variant v;
    v.kind_ = VariantKind::Int16;
    v.number_ = value;
    return v;
}

Variant Variant::int32(std::int32_t value)
{
    Variant v;
    v.kind_ = VariantKind::Int32;
    v.number_ = value;
    return v;
}

Variant Variant::uint32(std::uint32_t value)
{
    Variant v;
    v.kind_ = VariantKind::UInt32;
    v.number_ = value;
    return v;
}

Variant Variant::float32(float value)
{
    Variant v;
    v.kind_ = VariantKind::Float32;
    v.number_ = value;
    return v;
}

Variant Variant::real(double value)
{
    Variant v;
    v.kind_ = VariantKind::Double;
    v.number_ = value;
    return v;
}

Variant Variant::boolean(bool value)
{
    Variant v;
    v.kind_ = VariantKind::Bool;
    v.bool_ = value;
    return v;
}

Variant Variant::object(AutomationObject value)
{
    Variant v;
    v.kind_ = VariantKind::Object;
    v.object_ = std::move(value);
    return v;
}

bool Variant::isNumber() const
{
    switch (kind_) {
    case VariantKind::Int16:
    case VariantKind::Int32:
    case VariantKind::UInt32:
    case VariantKind::Float32:
    case VariantKind::Double:
        return true;
    default:
        return false;
    }
}

const QString& Variant::asText() const
{
    if (kind_ != VariantKind::Text)
        typeMismatch(*this, "a text");
    return text_;
}

double Variant::asNumber() const
{
    if (!isNumber())
        typeMismatch(*this, "a number");
    return number_;
}

bool Variant::asBool() const
{
    if (kind_ == VariantKind::Bool)
        return bool_;
    if (isNumber())
        return number_ != 0.0;
    typeMismatch(*this, "a boolean");
}

std::int32_t Variant::toInt32() const
{
    if (kind_ == VariantKind::Bool)
        return bool_ ? -1 : 0;  // an automation boolean's true is all bits set
    const double rounded = std::nearbyint(asNumber());
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max()))
        throw AutomationError(QStringLiteral("Overflow: %1 does not fit a 32-bit integer").arg(describe()));
    return static_cast<std::int32_t>(rounded);
}

const AutomationObject& Variant::asObject() const
{
    if (kind_ != VariantKind::Object)
        typeMismatch(*this, "an object");
    return object_;
}

QString Variant::describe() const
{
    const QString kind = variantKindName(kind_);
    switch (kind_) {
    case VariantKind::Empty:
        return kind;
    case VariantKind::Text:
        return kind + QStringLiteral(" \"") + text_ + u'"';
    case VariantKind::Bool:
        return kind + (bool_ ? QStringLiteral(" true") : QStringLiteral(" false"));
    case VariantKind::Object:
        return object_.isEmpty() ? kind + QStringLiteral(" (nothing)") : kind;
    case VariantKind::Float32: {
        // The float's own shortest text (0.3), not that of the double it widens to.
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof(buffer), static_cast<float>(number_));
        return kind + u' ' + QString::fromLatin1(buffer, result.ptr - buffer);
    }
    default:
        return kind + u' ' + formatRoundTrip(number_);
    }
}

bool operator==(const Variant& a, const Variant& b)
{
    if (a.kind_ != b.kind_)
        return false;
    switch (a.kind_) {
    case VariantKind::Empty:
        return true;
    case VariantKind::Text:
        return a.text_ == b.text_;
    case VariantKind::Bool:
        return a.bool_ == b.bool_;
    case VariantKind::Object:
        return a.object_ == b.object_;
    default:
        return a.number_ == b.number_;
    }
}

QString variantKindName(VariantKind kind)
{
    switch (kind) {
    case VariantKind::Empty: return QStringLiteral("empty");
    case VariantKind::Text: return QStringLiteral("text");
    case VariantKind::Int16: return QStringLiteral("i16");
    case VariantKind::Int32: return QStringLiteral("i32");
    case VariantKind::UInt32: return QStringLiteral("u32");
    case VariantKind::Float32: return QStringLiteral("f32");
    case VariantKind::Double: return QStringLiteral("r8");
    case VariantKind::Bool: return QStringLiteral("bool");
    case VariantKind::Object: return QStringLiteral("object");
    }
    return {};
}

QString callKindName(CallKind kind)
{
    switch (kind) {
    case CallKind::Get: return QStringLiteral("get");
    case CallKind::Put: return QStringLiteral("put");
    case CallKind::Call: return QStringLiteral("call");
    }
    return {};
}

}  // namespace rz::excel
