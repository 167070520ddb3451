#include "excel/XmlPartCheck.h"

#include <cstring>

namespace rz::excel {

namespace {

bool isBlank(QByteArrayView text)
{
    return text.trimmed().isEmpty();
}

// One past the end of token in text from `from`, or -1.
qsizetype pastToken(QByteArrayView text, qsizetype from, QByteArrayView token)
{
    const qsizetype at = text.indexOf(token, from);
    return at < 0 ? -1 : at + token.size();
}

}  // namespace

qsizetype XmlPartCheck::scan(QByteArrayView text)
{
    qsizetype p = 0;
    const qsizetype n = text.size();
    for (;;) {
        const char* found =
            static_cast<const char*>(std::memchr(text.data() + p, '<', static_cast<std::size_t>(n - p)));
        const qsizetype lt = found ? found - text.data() : n;
        if (rootClosed_ && !isBlank(text.sliced(p, lt - p)))
            return -1;
        if (!found)
            return n;
        const QByteArrayView rest = text.sliced(lt);
        qsizetype next = -1;
        if ((rest.size() < 9 && QByteArrayView("<![CDATA[").startsWith(rest)) ||
            (rest.size() < 4 && QByteArrayView("<!--").startsWith(rest))) {
            return lt;  // too short to tell what it opens
        } else if (rest.startsWith("<?")) {
            next = pastToken(text, lt + 2, "?>");
        } else if (rest.startsWith("<!--")) {
            next = pastToken(text, lt + 4, "-->");
        } else if (rest.startsWith("<![CDATA[")) {
            next = pastToken(text, lt + 9, "]]>");
        } else if (rest.startsWith("</")) {
            const qsizetype gt = text.indexOf('>', lt);
            if (gt >= 0) {
                const QByteArrayView name = text.sliced(lt + 2, gt - lt - 2).trimmed();
                if (open_.empty() || name != QByteArrayView(open_.back()))
                    return -1;
                open_.pop_back();
                rootClosed_ = open_.empty();
                next = gt + 1;
            }
        } else {
            if (rootClosed_)
                return -1;  // a second root
            qsizetype q = lt + 1;
            while (q < n && !std::strchr(">/ \t\r\n", text[q]))
                ++q;
            const QByteArrayView name = text.sliced(lt + 1, q - lt - 1);
            // To the end of the tag; a ">" may stand inside an attribute's quotes.
            char quote = 0;
            while (q < n && (quote || text[q] != '>')) {
                if (quote ? text[q] == quote : (text[q] == '"' || text[q] == '\''))
                    quote = quote ? 0 : text[q];
                ++q;
            }
            if (q < n) {
                if (name.isEmpty())
                    return -1;
                if (text[q - 1] == '/')
                    rootClosed_ = open_.empty();
                else
                    open_.emplace_back(name.data(), static_cast<std::size_t>(name.size()));
                next = q + 1;
            }
        }
        if (next < 0)
            return lt;  // the tag goes on in the next piece
        p = next;
    }
}

void XmlPartCheck::feed(QByteArrayView piece)
{
    if (broken_)
        return;
    if (carry_.isEmpty()) {
        const qsizetype taken = scan(piece);
        if (taken < 0)
            broken_ = true;
        else
            carry_ = piece.sliced(taken).toByteArray();
        return;
    }
    carry_.append(piece);
    const qsizetype taken = scan(carry_);
    if (taken < 0)
        broken_ = true;
    else
        carry_.remove(0, taken);
}

bool XmlPartCheck::whole() const
{
    return !broken_ && rootClosed_ && carry_.isEmpty();
}

bool xmlPartIsWhole(QByteArrayView xml)
{
    XmlPartCheck check;
    check.feed(xml);
    return check.whole();
}

}  // namespace rz::excel
