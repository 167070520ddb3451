#pragma once

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Lines of a text held in pieces: both readers that walk a file piece by piece (the plain
// import and the import with options) find the line ends with these, so they agree on
// what a line is: it ends at CR LF, LF or CR; a break at the very end adds no line; a NUL
// ends the text.
namespace rz {

// The first LF, CR or NUL: sixteen bytes at a time where SSE2 is there (every x86-64),
// since most bytes of a data file lie between two line breaks.
inline const char* findBreak(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i nul = _mm_setzero_si128();
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, nul));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask != 0)
            return p + std::countr_zero(mask);
        p += 16;
    }
#endif
    while (p != end && *p != '\n' && *p != '\r' && *p != '\0')
        ++p;
    return p;
}

inline const char16_t* findBreak(const char16_t* p, const char16_t* end)
{
    while (p != end && *p != u'\n' && *p != u'\r' && *p != u'\0')
        ++p;
    return p;
}

// Hands the complete lines of [p, end) to handler.line(begin, end), which returns false to
// stop. Returns where the unfinished part starts (a line without its break, or a CR that
// may be half of a CR LF), and sets done when the handler stopped or the text ended.
// A handler may offer handler.plainLines(p, end): it takes the complete lines from p on that
// it can take without their ends being looked for first, and returns where the first line
// it left starts.
template <typename Char, typename Handler>
const Char* handleLines(const Char* p, const Char* end, bool atEndOfFile, Handler& handler, bool& done)
{
    for (;;) {
        if constexpr (requires { handler.plainLines(p, end); })
            p = handler.plainLines(p, end);
        const Char* q = findBreak(p, end);
        if (q == end) {
            // A line break at the very end adds no line.
            if (atEndOfFile) {
                if (p != end)
                    handler.line(p, end);
                done = true;
                return end;
            }
            return p;
        }
        if (*q == 0) {
            // A NUL ends the text.
            if (p != q)
                handler.line(p, q);
            done = true;
            return q;
        }
        const Char* next = q + 1;
        if (*q == '\r') {
            if (next == end && !atEndOfFile)
                return p;
            if (next != end && *next == '\n')
                ++next;
        }
        if (!handler.line(p, q)) {
            done = true;
            return next;
        }
        p = next;
    }
}

}  // namespace rz
