#include "core/import/ColumnVocabulary.h"

#include <array>

namespace rz {

namespace {

using namespace Qt::StringLiterals;

// Lower-case, with and without accents where people type both.
constexpr std::array<const char16_t*, 46> kDisplacementWords{
    // English
    u"displacement", u"deflection", u"extension", u"elongation", u"stroke", u"position", u"travel", u"slip",
    u"deformation", u"disp", u"defl",
    // German
    u"weg", u"verschiebung", u"durchbiegung", u"verformung", u"verlängerung", u"verlaengerung", u"längenänderung",
    // French
    u"déplacement", u"deplacement", u"flèche", u"fleche", u"allongement", u"course", u"glissement",
    // Spanish
    u"desplazamiento", u"deflexión", u"deflexion", u"flecha", u"alargamiento", u"carrera", u"deslizamiento",
    // Italian
    u"spostamento", u"freccia", u"allungamento", u"corsa", u"scorrimento", u"abbassamento",
    // Chinese
    u"位移", u"变形", u"挠度", u"行程", u"滑移", u"伸长", u"形变", u"变位"};

constexpr std::array<const char16_t*, 18> kLoadWords{u"load",   u"force",                 // English
                                                     u"kraft",  u"last",   u"belastung",  // German
                                                     u"charge", u"effort",                // French
                                                     u"carga",  u"fuerza",                // Spanish
                                                     u"carico", u"forza",                 // Italian
                                                     u"荷载",   u"载荷",   u"负荷",      u"荷重",
                                                     u"拉力",   u"压力",   u"力"};  // Chinese

// A column that holds what the machine was told to do rather than what it measured.
constexpr std::array<const char16_t*, 12> kSetPointWords{u"soll",     u"sollwert", u"setpoint", u"set",
                                                         u"command",  u"demand",   u"target",   u"consigne",
                                                         u"consigna", u"comando",  u"设定",     u"指令"};

constexpr std::array<const char16_t*, 11> kLengthUnits{u"mm", u"m",    u"cm",     u"µm", u"μm",  u"um",
                                                       u"in", u"inch", u"inches", u"ft", u"mils"};
constexpr std::array<const char16_t*, 11> kForceUnits{u"n",   u"kn",  u"mn",   u"dan", u"lbf", u"lb",
                                                      u"lbs", u"kip", u"kips", u"kgf", u"tf"};
constexpr std::array<const char16_t*, 30> kOtherUnits{
    u"s",  u"ms",    u"min",    u"h",    u"d",    u"%",   u"‰",     u"°c",    u"°f",  u"k",
    u"v",  u"mv",    u"nm",     u"knm",  u"pa",   u"kpa", u"mpa",   u"gpa",   u"psi", u"ksi",
    u"hz", u"mm/mm", u"mm/min", u"mm/s", u"kn/s", u"n/s", u"n/mm²", u"n/mm2", u"-",   u"°"};

template <std::size_t N>
bool contains(const std::array<const char16_t*, N>& list, QStringView word)
{
    for (const char16_t* entry : list)
        if (word == QStringView(entry))
            return true;
    return false;
}

bool isHan(QChar c)
{
    return c.script() == QChar::Script_Han;
}

// Lower-case words: runs of letters; every Han character run is one word too.
QStringList wordsOf(QStringView text)
{
    QStringList words;
    QString current;
    const auto flush = [&] {
        if (!current.isEmpty())
            words.append(current.toLower());
        current.clear();
    };
    for (const QChar c : text) {
        if (c.isLetter()) {
            if (!current.isEmpty() && isHan(c) != isHan(current.back()))
                flush();
            current.append(c);
        } else {
            flush();
        }
    }
    flush();
    return words;
}

template <std::size_t N>
int bestWordScore(const QStringList& words, const std::array<const char16_t*, N>& list)
{
    int best = 0;
    for (const QString& word : words) {
        for (const char16_t* entryText : list) {
            const QStringView entry(entryText);
            if (word == entry) {
                best = std::max(best, entry.size() == 1 ? 2 : 3);
            } else if (isHan(entry.front())) {
                if (word.contains(entry))
                    best = std::max(best, entry.size() == 1 ? 1 : 3);
            } else if (entry.size() >= 3 && (word.startsWith(entry) || word.endsWith(entry))) {
                // German compounds: Standardweg, Kraftmessdose.
                best = std::max(best, 2);
            }
        }
    }
    return best;
}

int unitBonus(UnitKind kind, Quantity quantity)
{
    if (kind == UnitKind::Length)
        return quantity == Quantity::Displacement ? 1 : -100;
    if (kind == UnitKind::Force)
        return quantity == Quantity::Load ? 1 : -100;
    if (kind == UnitKind::Other)
        return -100;
    return 0;
}

}  // namespace

namespace {
// Where the unit part of a name starts (the bracket or slash), or -1.
qsizetype unitStart(QStringView trimmed)
{
    if (trimmed.size() < 3)
        return -1;
    const QChar close = trimmed.back();
    QChar open;
    if (close == u']')
        open = u'[';
    else if (close == u')')
        open = u'(';
    else if (close == u'\uFF09')  // full-width parentheses, as Chinese headers write them
        open = u'\uFF08';
    if (!open.isNull()) {
        const qsizetype at = trimmed.lastIndexOf(open);
        return at > 0 || (at == 0 && trimmed.size() > 2) ? at : -1;
    }
    // "Weg/mm", "位移/mm": only with a unit of length or force after the slash.
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    if (slash > 0) {
        const UnitKind kind = unitKind(trimmed.sliced(slash + 1));
        if (kind == UnitKind::Length || kind == UnitKind::Force)
            return slash;
    }
    return -1;
}
}  // namespace

QString unitInName(QStringView name)
{
    const QStringView trimmed = name.trimmed();
    const qsizetype at = unitStart(trimmed);
    if (at < 0)
        return {};
    const bool bracketed = trimmed[at] != u'/';
    return trimmed.sliced(at + 1, trimmed.size() - at - (bracketed ? 2 : 1)).trimmed().toString();
}

QString nameWithoutUnit(QStringView name)
{
    const QStringView trimmed = name.trimmed();
    const qsizetype at = unitStart(trimmed);
    if (at < 0)
        return trimmed.toString();
    return trimmed.first(at).trimmed().toString();
}

UnitKind unitKind(QStringView unit)
{
    QString u = unit.trimmed().toString();
    // Units lines sometimes bracket their units too.
    if (u.size() >= 2 && ((u.front() == u'[' && u.back() == u']') || (u.front() == u'(' && u.back() == u')')))
        u = u.sliced(1, u.size() - 2).trimmed();
    u = u.toLower();
    if (u.isEmpty())
        return UnitKind::Unknown;
    if (contains(kLengthUnits, u))
        return UnitKind::Length;
    if (contains(kForceUnits, u))
        return UnitKind::Force;
    if (contains(kOtherUnits, u))
        return UnitKind::Other;
    return UnitKind::Unknown;
}

int nameScore(QStringView name, Quantity quantity)
{
    const QStringList words = wordsOf(nameWithoutUnit(name));
    const int score = quantity == Quantity::Displacement ? bestWordScore(words, kDisplacementWords)
                                                         : bestWordScore(words, kLoadWords);
    if (score == 0)
        return 0;
    bool setPoint = false;
    for (const QString& word : words)
        setPoint |= contains(kSetPointWords, QStringView(word));
    return setPoint ? std::max(score - 2, 0) : score;
}

ColumnGuess guessColumns(const QStringList& names, const QStringList& units, const std::vector<bool>& numeric)
{
    const auto score = [&](int column, Quantity quantity) {
        if (column >= static_cast<int>(numeric.size()) || !numeric[static_cast<std::size_t>(column)])
            return 0;
        const QString name = column < names.size() ? names[column] : QString();
        QString unit = column < units.size() ? units[column] : QString();
        if (unit.isEmpty())
            unit = unitInName(name);
        return std::max(nameScore(name, quantity) + unitBonus(unitKind(unit), quantity), 0);
    };
    const int count = static_cast<int>(numeric.size());
    const auto best = [&](Quantity quantity, int except) {
        int found = -1;
        int top = 0;
        for (int c = 0; c < count; ++c) {
            const int s = c == except ? 0 : score(c, quantity);
            if (s > top) {
                top = s;
                found = c;
            }
        }
        return found;
    };
    ColumnGuess guess;
    guess.displacement = best(Quantity::Displacement, -1);
    guess.load = best(Quantity::Load, -1);
    if (guess.displacement >= 0 && guess.displacement == guess.load) {
        // One column cannot be both: it goes to the quantity it says more clearly.
        const int column = guess.displacement;
        if (score(column, Quantity::Displacement) >= score(column, Quantity::Load))
            guess.load = best(Quantity::Load, column);
        else
            guess.displacement = best(Quantity::Displacement, column);
    }
    return guess;
}

}  // namespace rz
