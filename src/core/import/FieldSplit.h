#pragma once

#include "core/import/ImportOptions.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// Splitting one line of a data file into fields under a chosen separator. A template
// over the character type: the reader walks UTF-8 and Latin-1 files as bytes (every
// separator, digit and sign is ASCII there) and UTF-16 text as char16_t, with the same
// rules, and detection and preview use the same code on decoded text.
namespace rz {

// A separator that is resolved (never Auto).
struct SplitRule {
    FieldSeparator separator = FieldSeparator::Plain;
    char16_t character = u',';  // the character for Comma, Semicolon, Tab and Character

    static SplitRule of(FieldSeparator separator, QChar character);
    friend bool operator==(const SplitRule&, const SplitRule&) = default;
};

template <typename Char>
struct FieldSpan {
    const Char* begin = nullptr;  // text without the quotes and the blanks around it
    const Char* end = nullptr;
    bool quoted = false;
    bool escaped = false;  // a doubled quote inside: still doubled in [begin, end)
};

// Rules, whatever the separator: a line's leading and trailing characters with codes 1 to
// 32 (other than the separator) are skipped; a field that starts with a double quote runs
// to the next single one ("" inside stands for one), so separators inside quotes belong to
// the field. Plain: as the plain import (commas and blanks both separate, a comma at the
// end adds an empty field). Blanks: runs of codes 1 to 32 separate. A character: each one
// separates, so two in a row give an empty field; blanks around a field are trimmed.
template <typename Char>
class FieldCursor {
public:
    FieldCursor(const Char* begin, const Char* end, SplitRule rule)
        : p_(begin), end_(end), sep_(rule.character), rule_(rule.separator)
    {
        if (rule_ == FieldSeparator::Plain || rule_ == FieldSeparator::Blanks) {
            skipControls();
            return;
        }
        while (p_ != end_ && isBlank(*p_))
            ++p_;
        while (end_ != p_ && isBlank(end_[-1]))
            --end_;
        done_ = p_ == end_;
    }

    bool next(FieldSpan<Char>& field)
    {
        switch (rule_) {
            case FieldSeparator::Plain:
                return nextPlain(field);
            case FieldSeparator::Blanks:
                return nextBlanks(field);
            default:
                return nextSeparated(field);
        }
    }

private:
    static bool isControl(Char c) { return c >= 1 && c <= 32; }
    bool isBlank(Char c) const { return isControl(c) && c != static_cast<Char>(sep_); }
    void skipControls()
    {
        while (p_ != end_ && isControl(*p_))
            ++p_;
    }

    // p_ is on the opening quote: the field runs to the closing one (or the line's end).
    void readQuoted(FieldSpan<Char>& field)
    {
        ++p_;
        field.begin = p_;
        field.quoted = true;
        while (p_ != end_) {
            if (*p_ == '"') {
                if (p_ + 1 != end_ && p_[1] == '"') {
                    field.escaped = true;
                    p_ += 2;
                    continue;
                }
                break;
            }
            ++p_;
        }
        field.end = p_;
        if (p_ != end_)
            ++p_;
    }

    bool nextPlain(FieldSpan<Char>& field)
    {
        field = {};
        if (trailingEmpty_) {
            trailingEmpty_ = false;
            field.begin = field.end = p_;
            return true;
        }
        if (p_ == end_)
            return false;
        if (*p_ == '"') {
            readQuoted(field);
        } else {
            field.begin = p_;
            while (p_ != end_ && !isControl(*p_) && *p_ != ',')
                ++p_;
            field.end = p_;
        }
        skipControls();
        if (p_ != end_ && *p_ == ',') {
            ++p_;
            if (p_ == end_)
                trailingEmpty_ = true;
            skipControls();
        }
        return true;
    }

    bool nextBlanks(FieldSpan<Char>& field)
    {
        field = {};
        if (p_ == end_)
            return false;
        if (*p_ == '"') {
            readQuoted(field);
            // Text glued to a closing quote belongs to no field.
            while (p_ != end_ && !isControl(*p_))
                ++p_;
        } else {
            field.begin = p_;
            while (p_ != end_ && !isControl(*p_))
                ++p_;
            field.end = p_;
        }
        skipControls();
        return true;
    }

    bool nextSeparated(FieldSpan<Char>& field)
    {
        field = {};
        if (trailingEmpty_) {
            trailingEmpty_ = false;
            field.begin = field.end = p_;
            return true;
        }
        if (done_)
            return false;
        const Char sep = static_cast<Char>(sep_);
        while (p_ != end_ && isBlank(*p_))
            ++p_;
        if (p_ != end_ && *p_ == '"') {
            readQuoted(field);
            while (p_ != end_ && *p_ != sep)
                ++p_;
        } else {
            field.begin = p_;
            while (p_ != end_ && *p_ != sep)
                ++p_;
            field.end = p_;
            while (field.end != field.begin && isBlank(field.end[-1]))
                --field.end;
        }
        if (p_ == end_) {
            done_ = true;
        } else {
            ++p_;  // the separator
            if (p_ == end_)
                trailingEmpty_ = true;
        }
        return true;
    }

    const Char* p_;
    const Char* end_;
    char16_t sep_;
    FieldSeparator rule_;
    bool trailingEmpty_ = false;
    bool done_ = false;
};

// The field's text, a doubled quote inside quotes turned into one.
QString fieldText(const FieldSpan<char16_t>& field);

// Every field of one line, as text.
QStringList splitLine(QStringView line, SplitRule rule);

// True when the line holds nothing but characters with codes 1 to 32.
template <typename Char>
bool isBlankLine(const Char* begin, const Char* end)
{
    for (; begin != end; ++begin)
        if (*begin < 1 || *begin > 32)
            return false;
    return true;
}

}  // namespace rz
