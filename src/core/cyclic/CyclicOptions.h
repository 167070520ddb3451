#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string_view>

// The settings of a cyclic-test analysis, and the names under which the batch tool and the
// import dialog offer them: one table per choice, so both spell them alike.
namespace rz {

// Which cycle of each phase gives the envelope point.
enum class EnvelopeChoice {
    First,  // the first cycle, as ASTM E2126, EN 12512 and JGJ/T 101 take it
    Last,   // the last cycle: the stabilised envelope
    Max,    // the cycle whose peak carries the largest load of the direction
};

// Which sample of an excursion is its peak.
enum class PeakChoice {
    Load,          // the largest load on the direction's side of zero displacement
    Displacement,  // the excursion's end point (its reversal point)
};

enum class Direction { Positive, Negative };

struct CyclicOptions {
    // Dead band as a fraction of the record's displacement range: 0 <= tolerance < 0.5.
    double tolerance = 0.01;
    EnvelopeChoice envelope = EnvelopeChoice::First;
    PeakChoice peak = PeakChoice::Load;
    friend bool operator==(const CyclicOptions&, const CyclicOptions&) = default;
};

// key: what the batch tool and the JSON output write; title: what the dialog shows.
template <typename Enum>
struct ChoiceName {
    Enum value;
    const char* key;
    const char* title;
};

inline constexpr std::array<ChoiceName<EnvelopeChoice>, 3> kEnvelopeChoiceNames{{
    {EnvelopeChoice::First, "first", "First cycle of each phase"},
    {EnvelopeChoice::Last, "last", "Last cycle of each phase"},
    {EnvelopeChoice::Max, "max", "Cycle with the largest load"},
}};

inline constexpr std::array<ChoiceName<PeakChoice>, 2> kPeakChoiceNames{{
    {PeakChoice::Load, "load", "Largest load"},
    {PeakChoice::Displacement, "displacement", "Largest displacement"},
}};

inline constexpr std::array<ChoiceName<Direction>, 2> kDirectionNames{{
    {Direction::Positive, "positive", "Positive"},
    {Direction::Negative, "negative", "Negative"},
}};

template <typename Enum, std::size_t N>
constexpr const ChoiceName<Enum>& choiceName(const std::array<ChoiceName<Enum>, N>& table, Enum value)
{
    for (const ChoiceName<Enum>& entry : table) {
        if (entry.value == value)
            return entry;
    }
    return table.front();  // unreachable while every enumerator has its row
}

// The value whose key is key (exact, lower case); empty for an unknown key.
template <typename Enum, std::size_t N>
constexpr std::optional<Enum> choiceFromKey(const std::array<ChoiceName<Enum>, N>& table, std::string_view key)
{
    for (const ChoiceName<Enum>& entry : table) {
        if (key == entry.key)
            return entry.value;
    }
    return std::nullopt;
}

inline const char* keyOf(EnvelopeChoice v)
{
    return choiceName(kEnvelopeChoiceNames, v).key;
}
inline const char* keyOf(PeakChoice v)
{
    return choiceName(kPeakChoiceNames, v).key;
}
inline const char* keyOf(Direction v)
{
    return choiceName(kDirectionNames, v).key;
}

// 0 <= tolerance < 0.5; NaN fails.
bool toleranceIsValid(double tolerance);
// The refusal shown for a tolerance outside its range.
QString toleranceRangeMessage();

}  // namespace rz
