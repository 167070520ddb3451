#include "core/import/FieldSplit.h"

namespace rz {

SplitRule SplitRule::of(FieldSeparator separator, QChar character)
{
    switch (separator) {
        case FieldSeparator::Comma:
            return {separator, u','};
        case FieldSeparator::Semicolon:
            return {separator, u';'};
        case FieldSeparator::Tab:
            return {separator, u'\t'};
        case FieldSeparator::Character:
            return {separator, character.unicode()};
        case FieldSeparator::Plain:
        case FieldSeparator::Blanks:
        case FieldSeparator::Auto:
            break;
    }
    return {separator == FieldSeparator::Auto ? FieldSeparator::Plain : separator, u','};
}

QString fieldText(const FieldSpan<char16_t>& field)
{
    QString text = QStringView(field.begin, field.end).toString();
    if (field.escaped)
        text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    return text;
}

QStringList splitLine(QStringView line, SplitRule rule)
{
    QStringList fields;
    FieldCursor<char16_t> cursor(line.utf16(), line.utf16() + line.size(), rule);
    FieldSpan<char16_t> field;
    while (cursor.next(field))
        fields.append(fieldText(field));
    return fields;
}

}  // namespace rz
