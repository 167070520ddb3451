#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

// The late-bound call layer: a handle to one object of a spreadsheet object model,
// driven by member name with typed arguments, the way an automation client talks to
// Excel. What stands behind a handle (a recorder, the in-process workbook model, COM)
// is a back end's business; the operations above this layer never know.
namespace rz::excel {

// A call that the object model refused, or a call on an empty handle. Carries the
// object model's own description of the failure.
class AutomationError : public std::runtime_error {
public:
    explicit AutomationError(const QString& description);
    QString description() const { return QString::fromUtf8(what()); }
};

enum class CallKind : std::uint8_t { Get, Put, Call };

enum class VariantKind : std::uint8_t {
    Empty,
    Text,
    Int16,
    Int32,
    UInt32,
    Float32,
    Double,  // results only: what the object model answers for numbers
    Bool,
    Object,  // results only
};

class AutomationObject;
class Variant;

// One object of the object model, as a back end implements it.
class AutomationTarget {
public:
    virtual ~AutomationTarget() = default;
    // Throws AutomationError when the call is refused.
    virtual Variant invoke(CallKind kind, std::string_view member, std::span<const Variant> args) = 0;
};

// Copies share the object; the last copy to go releases it.
class AutomationObject {
public:
    AutomationObject() = default;
    explicit AutomationObject(std::shared_ptr<AutomationTarget> target) : target_(std::move(target)) {}

    bool isEmpty() const { return !target_; }
    AutomationTarget* target() const { return target_.get(); }
    void clear() { target_.reset(); }

    // Property read, property write, method call. Each is one call into the object
    // model; a call on an empty handle fails with AutomationError.
    Variant get(std::string_view member, std::initializer_list<Variant> args = {}) const;
    void put(std::string_view member, const Variant& value) const;
    Variant call(std::string_view member, std::initializer_list<Variant> args = {}) const;

    // The same, requiring an object result.
    AutomationObject getObject(std::string_view member, std::initializer_list<Variant> args = {}) const;
    AutomationObject callObject(std::string_view member, std::initializer_list<Variant> args = {}) const;

    friend bool operator==(const AutomationObject& a, const AutomationObject& b)
    {
        return a.target_ == b.target_;
    }

private:
    Variant invoke(CallKind kind, std::string_view member, std::span<const Variant> args) const;

    std::shared_ptr<AutomationTarget> target_;
};

// An argument or a result of a call.
class Variant {
public:
    Variant() = default;

    static Variant text(QString value);
    static Variant int16(std::int16_t value);
    static Variant int32(std::int32_t value);
    static Variant uint32(std::uint32_t value);
    static Variant float32(float value);
    static Variant real(double value);
    static Variant boolean(bool value);
    static Variant object(AutomationObject value);

    VariantKind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == VariantKind::Empty; }
    bool isNumber() const;

    // Typed reads; each fails with AutomationError ("type mismatch") on a value of
    // another kind.
    const QString& asText() const;
    double asNumber() const;   // any numeric kind
    bool asBool() const;       // a boolean, or a number (non-zero is true)
    // To the nearest integer (halves to even, as automation converts numbers).
    std::int32_t toInt32() const;
    const AutomationObject& asObject() const;

    // "text \"X\"", "i16 5", "i32 240", "u32 4276545", "f32 0.5", "r8 96", "bool true".
    QString describe() const;

    friend bool operator==(const Variant& a, const Variant& b);

private:
    VariantKind kind_ = VariantKind::Empty;
    bool bool_ = false;
    double number_ = 0.0;  // every numeric kind, exactly representable
    QString text_;
    AutomationObject object_;
};

QString variantKindName(VariantKind kind);
QString callKindName(CallKind kind);

}  // namespace rz::excel
