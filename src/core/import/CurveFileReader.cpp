#include "core/import/CurveFileReader.h"

#include "core/import/FieldSplit.h"
#include "core/import/LineBreaks.h"
#include "core/io/Files.h"
#include "core/text/NumberText.h"
#include "core/text/PlainDecimal.h"

#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace rz {

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool hasUtf8Mark(QByteArrayView bytes, qsizetype at)
{
    return bytes.size() >= at + 3 && std::memcmp(bytes.data() + at, kUtf8Mark, 3) == 0;
}

// Qt's UTF-8 decoder drops a byte-order mark at the start of what it decodes, so decodeText
// drops a second mark after the first. Asked of the decoder itself, in case a later Qt
// keeps it.
bool decoderDropsLeadingMark()
{
    static const bool drops = QString::fromUtf8(QByteArrayView(kUtf8Mark, 3)).isEmpty();
    return drops;
}

// Where the text starts in a file that reads as bytes.
qint64 textBegin(QByteArrayView head)
{
    if (!hasUtf8Mark(head, 0))
        return 0;
    return hasUtf8Mark(head, 3) && decoderDropsLeadingMark() ? 6 : 3;
}

// Where the bytes come from: memory, or a file read at offsets.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The bytes [offset, offset + size); fewer only at the end. The view lives until the
    // next read into the same buffer.
    virtual QByteArrayView read(qint64 offset, qint64 size, QByteArray& buffer) const = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(QByteArrayView bytes) : bytes_(bytes) {}
    QByteArrayView read(qint64 offset, qint64 size, QByteArray&) const override
    {
        if (offset >= bytes_.size())
            return {};
        return bytes_.sliced(offset, std::min<qint64>(size, bytes_.size() - offset));
    }

private:
    QByteArrayView bytes_;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(const InputFile& file) : file_(file) {}
    QByteArrayView read(qint64 offset, qint64 size, QByteArray& buffer) const override
    {
        if (buffer.size() < size)
            buffer.resize(size);
        return {buffer.constData(), file_.readAt(offset, buffer.data(), size)};
    }

private:
    const InputFile& file_;
};

// Line breaks in [p, end): every LF and CR, a CR LF once. afterCr carries a CR at the end
// of one piece over to the next.
std::int64_t countBreaks(const char* p, const char* end, bool& afterCr)
{
    std::int64_t count = 0;
#if defined(__SSE2__)
    unsigned carry = afterCr ? 1u : 0u;
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)));
        const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
        count += std::popcount(lfs) + std::popcount(crs) - std::popcount(lfs & ((crs << 1) | carry));
        carry = crs >> 15;
        p += 16;
    }
    afterCr = carry != 0;
#endif
    for (; p != end; ++p) {
        if (*p == '\r' || (*p == '\n' && !afterCr))
            ++count;
        afterCr = *p == '\r';
    }
    return count;
}

bool isBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The first line start in [from, end), or end: just after an LF, or after a CR that no LF
// follows.
qint64 nextLineStart(const ByteSource& source, qint64 from, qint64 end, qint64 pieceBytes)
{
    QByteArray buffer;
    const QByteArrayView before = source.read(from - 1, 1, buffer);
    char previous = before.isEmpty() ? '\0' : before.front();
    for (qint64 at = from; at < end;) {
        // Small reads: the next line start is usually a few bytes away.
        const QByteArrayView piece = source.read(at, std::min({pieceBytes, end - at, qint64(4096)}), buffer);
        if (piece.isEmpty())
            break;
        for (qsizetype i = 0; i < piece.size(); ++i) {
            if (previous == '\n' || (previous == '\r' && piece[i] != '\n'))
                return at + i;
            previous = piece[i];
        }
        at += piece.size();
    }
    return end;
}

constexpr SplitRule kPlainSplit{FieldSeparator::Plain, u','};

// One point from one line, as readCurve takes it: the first two fields of the plain split.
std::optional<Point> splitLinePoint(const char* begin, const char* end, char decimalSeparator)
{
    FieldCursor<char> cursor(begin, end, kPlainSplit);
    FieldSpan<char> x;
    FieldSpan<char> y;
    Point point;
    // A doubled quote leaves a quote in the field, and no number holds one.
    if (!cursor.next(x) || x.escaped || !parseDecimalAscii(x.begin, x.end, decimalSeparator, point.x) ||
        !cursor.next(y) || y.escaped || !parseDecimalAscii(y.begin, y.end, decimalSeparator, point.y))
        return std::nullopt;
    return point;
}

bool isControl(char c)
{
    return c >= 1 && c <= 32;
}

const char* skipControls(const char* p, const char* end)
{
    while (p != end && isControl(*p))
        ++p;
    return p;
}

// The number at p: the usual plain one inline, anything else by the full reader.
const char* numberAt(const char* p, const char* end, char decimalSeparator, double& value)
{
    if (const char* stop = readPlainDecimal(p, end, decimalSeparator, value))
        return stop;
    return parseDecimalAsciiPrefix(p, end, decimalSeparator, value);
}

// The same in one pass for two unquoted fields, the usual line: a number read as far as it
// goes is its field when a blank, a comma or the line's end follows it, and otherwise that
// field is no number. Needs a decimal separator that does not end a field (not a comma).
std::optional<Point> linePoint(const char* begin, const char* end, char decimalSeparator, bool onePass)
{
    if (!onePass)
        return splitLinePoint(begin, end, decimalSeparator);
    const auto fieldEnds = [end](const char* p) { return p == end || *p == ',' || isControl(*p); };
    Point point;
    const char* p = skipControls(begin, end);
    if (p != end && *p == '"')
        return splitLinePoint(begin, end, decimalSeparator);
    p = numberAt(p, end, decimalSeparator, point.x);
    if (p == nullptr || !fieldEnds(p))
        return std::nullopt;
    p = skipControls(p, end);
    // After a comma at the end of the line comes an empty field: no number either.
    if (p != end && *p == ',')
        p = skipControls(p + 1, end);
    if (p != end && *p == '"')
        return splitLinePoint(begin, end, decimalSeparator);
    p = numberAt(p, end, decimalSeparator, point.y);
    if (p == nullptr || !fieldEnds(p))
        return std::nullopt;
    return point;
}

// The most points `bytes` of text can give: a point's line holds at least two digits and
// a separator, and all lines but the last a break. A bound to reserve, not a count.
std::size_t mostPoints(qint64 bytes)
{
    return static_cast<std::size_t>(std::max<qint64>(bytes, 0) + 1) / 4 + 1;
}

// Reserving takes address space only; where even that is short, the vector grows instead.
void reserveAtMost(std::vector<Point>& points, std::size_t count)
{
    try {
        points.reserve(count);
    } catch (const std::bad_alloc&) {
    }
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(points.data()) + kHuge - 1) / kHuge * kHuge;
    const auto end = reinterpret_cast<std::uintptr_t>(points.data() + points.capacity()) / kHuge * kHuge;
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

struct PartPlan {
    qint64 begin = 0;
    qint64 end = 0;  // a line start; the last part reads on to the end of the file
    bool last = false;
};

struct PartResult {
    std::vector<Point> points;
    PointScan scan;  // of points
    std::int64_t lineCount = 0;
    std::int64_t badLine = -1;  // counted from the part's first line
    bool endsText = false;      // a NUL or the end of the file came before the planned end
};

// The first part that found a bad line: later parts stop taking points and only count.
class FirstBadPart {
public:
    bool before(int part) const { return first_.load(std::memory_order_relaxed) < part; }
    void report(int part)
    {
        int seen = first_.load(std::memory_order_relaxed);
        while (part < seen && !first_.compare_exchange_weak(seen, part, std::memory_order_relaxed)) {
        }
    }

private:
    std::atomic<int> first_{INT_MAX};
};

// The lines handler of one part (see handleLines): points until the first bad line.
class PointTaker {
public:
    PointTaker(PartResult& result, int part, char decimalSeparator, FirstBadPart& firstBad)
        : result_(result),
          part_(part),
          separator_(decimalSeparator),
          onePass_(decimalSeparator != ',' && !isControl(decimalSeparator) && decimalSeparator != '"'),
          firstBad_(firstBad)
    {
    }

    bool line(const char* begin, const char* end)
    {
        const std::int64_t index = result_.lineCount++;
        // Line 0 of the file is never data.
        if (part_ == 0 && index == 0)
            return true;
        if (index % 4096 == 0 && firstBad_.before(part_))
            return false;
        const std::optional<Point> point = linePoint(begin, end, separator_, onePass_);
        if (!point) {
            result_.badLine = index;
            firstBad_.report(part_);
            return false;
        }
        result_.points.push_back(*point);
        result_.scan.add(*point);
        return true;
    }

    // The usual line, "number,number" and its break, read in one pass from its first byte to
    // its break: the point line() would take from it, without the break being looked for
    // first. Stops at the first line of any other shape, whose break is not in [p, end), or
    // that line() must see itself (the first of the file, or one that checks the other parts).
    // A file of other lines (blanks around the fields, breaks of CR alone) soon stops trying.
    const char* plainLines(const char* p, const char* end)
    {
        if (!onePass_ || (otherShapes_ > 16 && otherShapes_ > plainCount_ / 8))
            return p;
        // Up to the last LF, when it is near the end (as it is but for long lines), the
        // numbers are read without looking for the end at every digit: that LF stops them.
        const char* afterLastLf = end;
        for (int k = 0; k < 256 && afterLastLf != p && afterLastLf[-1] != '\n'; ++k)
            --afterLastLf;
        if (afterLastLf != p && afterLastLf[-1] == '\n')
            return takePlainLines<false>(p, afterLastLf);
        return takePlainLines<true>(p, end);
    }

private:
    // plainLines over [p, end); kBounded false: a LF ends [p, end).
    template <bool kBounded>
    const char* takePlainLines(const char* p, const char* end)
    {
        // The line's two numbers: where they end (end when the piece ends first), or nullptr.
        const auto numbers = [this, end](const char* at, Point& point) -> const char* {
            if constexpr (kBounded) {
                const char* q = readPlainDecimal(at, end, separator_, point.x);
                if (q == nullptr || q == end || *q != ',')
                    return q == end ? end : nullptr;
                return readPlainDecimal(q + 1, end, separator_, point.y);
            } else {
                return (void)end, readPlainPairBeforeBreak(at, separator_, point.x, point.y);
            }
        };
        while (kBounded || p != end) {
            const std::int64_t index = result_.lineCount;
            if ((part_ == 0 && index == 0) || index % 4096 == 0)
                return p;
            Point point;
            const char* q = numbers(p, point);
            if (q == end || (q != nullptr && *q == '\r' && q + 1 == end))
                return p;  // the line goes on in the next piece
            if (q != nullptr && *q == '\n') {
                ++q;
            } else if (q != nullptr && *q == '\r' && q[1] == '\n') {
                q += 2;
            } else {
                ++otherShapes_;
                return p;
            }
            result_.lineCount = index + 1;
            result_.points.push_back(point);
            result_.scan.add(point);
            ++plainCount_;
            p = q;
        }
        return p;
    }

    PartResult& result_;
    int part_;
    char separator_;
    bool onePass_;
    FirstBadPart& firstBad_;
    std::int64_t plainCount_ = 0;  // lines plainLines took
    std::int64_t otherShapes_ = 0;  // and lines it stopped at for their shape
};

// Reads one part: its points while they last, then only its line count.
PartResult readPart(const ByteSource& source, const PartPlan& plan, int part, char decimalSeparator, qint64 pieceBytes,
                    std::size_t reserve, FirstBadPart& firstBad)
{
    PartResult result;
    reserveAtMost(result.points, reserve);
    PointTaker taker(result, part, decimalSeparator, firstBad);
    QByteArray buffer;
    qint64 piece = pieceBytes;
    qint64 at = plan.begin;
    bool taking = true;
    bool afterCr = false;     // while counting only: the last byte counted was a CR
    char lastCounted = '\n';  // while counting only: the last byte counted
    for (;;) {
        const qint64 wanted = plan.last ? piece : std::min(piece, plan.end - at);
        if (wanted <= 0)
            break;
        const QByteArrayView bytes = source.read(at, wanted, buffer);
        const char* data = bytes.data();
        const char* const end = data + bytes.size();
        // The end of the file (early, if it shrank) ends the text, and so does a NUL.
        bool textEnds = bytes.size() < wanted;
        bool partEnds = textEnds || (!plan.last && at + bytes.size() == plan.end);
        const char* usable = end;
        const char* rest = data;
        if (taking) {
            // handleLines stops at a NUL itself, and where it stops for no NUL, there is
            // none before: the piece is looked through for one only from there.
            bool done = false;
            rest = handleLines(data, end, partEnds, taker, done);
            if (rest == data && !done) {
                // A line longer than the piece: read it again, whole.
                piece *= 2;
                continue;
            }
            taking = !done;
        }
        if (!taking && rest != end) {
            if (const void* nul = std::memchr(rest, 0, static_cast<std::size_t>(end - rest))) {
                usable = static_cast<const char*>(nul);
                textEnds = partEnds = true;
            }
        }
        if (!taking && rest != usable) {
            result.lineCount += countBreaks(rest, usable, afterCr);
            lastCounted = usable[-1];
            rest = usable;
        }
        at += rest - data;
        if (partEnds) {
            // A last line without its break is still a line.
            if (!taking && !isBreak(lastCounted))
                ++result.lineCount;
            result.endsText = textEnds;
            break;
        }
    }
    return result;
}

// Where the parts start: near equal shares of the text, each moved on to a line start.
std::vector<PartPlan> planParts(const ByteSource& source, qint64 begin, qint64 size, const CurveReading& how)
{
    const qint64 bytes = std::max<qint64>(size - begin, 0);
    const int wanted = how.parts > 0 ? how.parts : QThread::idealThreadCount();
    const qint64 bySize = bytes / std::max<qint64>(how.minPartBytes, 1);
    const int count = static_cast<int>(std::clamp<qint64>(std::min<qint64>(wanted, bySize), 1, 256));
    std::vector<qint64> starts{begin};
    for (int k = 1; k < count; ++k) {
        const qint64 from = std::max(begin + bytes * k / count, starts.back() + 1);
        const qint64 start = from < size ? nextLineStart(source, from, size, how.pieceBytes) : size;
        if (start >= size)
            break;
        starts.push_back(start);
    }
    std::vector<PartPlan> plans;
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const bool last = k + 1 == starts.size();
        plans.push_back({starts[k], last ? size : starts[k + 1], last});
    }
    return plans;
}

// Runs work(k) for every part, the first on this thread and the others on Qt's pool (which
// runs a part on the waiting thread itself when its threads are all busy); rethrows the
// first part's error in file order.
template <typename Work>
void runParts(std::size_t count, const Work& work)
{
    std::vector<std::exception_ptr> errors(count);
    const auto guarded = [&](std::size_t k) {
        try {
            work(k);
        } catch (...) {
            errors[k] = std::current_exception();
        }
    };
    std::vector<QFuture<void>> others;
    for (std::size_t k = 1; k < count; ++k)
        others.push_back(QtConcurrent::run([&guarded, k] { guarded(k); }));
    guarded(0);
    for (QFuture<void>& other : others)
        other.waitForFinished();
    for (const std::exception_ptr& error : errors)
        if (error)
            std::rethrow_exception(error);
}

// How many parts, from the first, give their points to the curve: a part after one that
// found a bad line or ended the text gives none.
std::size_t joinedParts(const std::vector<PartResult>& parts)
{
    std::size_t k = 1;
    while (k < parts.size() && parts[k - 1].badLine < 0 && !parts[k - 1].endsText)
        ++k;
    return k;
}

// Has the kernel map the memory that the later parts' points are about to be copied to,
// a half on each of two threads: on a virtual machine a page fault costs microseconds, and
// the copy of half a million points would otherwise take a fault every 256 of them, one
// after another. Only where the first part's vector already holds the room (it reserved
// for the whole file); the copy that follows is exactly the one it replaces.
void prefaultJoin(const std::vector<Point>& first, const std::vector<PartResult>& parts, std::size_t joined)
{
#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
    std::size_t later = 0;
    for (std::size_t k = 1; k < joined; ++k)
        later += parts[k].points.size();
    if (later == 0 || first.capacity() - first.size() < later)
        return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(first.data() + first.size()) + page - 1) / page * page;
    const auto end = reinterpret_cast<std::uintptr_t>(first.data() + first.size() + later) / page * page;
    if (end <= begin || end - begin < 64 * page)
        return;
    const std::uintptr_t middle = begin + (end - begin) / 2 / page * page;
    // A kernel without it says EINVAL; the copy then takes the faults itself.
    runParts(2, [&](std::size_t k) {
        const std::uintptr_t from = k == 0 ? begin : middle;
        const std::uintptr_t to = k == 0 ? middle : end;
        madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    });
#else
    (void)first;
    (void)parts;
    (void)joined;
#endif
}

CurveReadResult readParts(const ByteSource& source, qint64 begin, qint64 size, QChar decimalSeparator,
                          const CurveReading& how)
{
    const qint64 pieceBytes = std::max<qint64>(how.pieceBytes, 1);
    const std::vector<PartPlan> plans = planParts(source, begin, size, how);
    std::vector<PartResult> parts(plans.size());
    FirstBadPart firstBad;
    const char separator = static_cast<char>(decimalSeparator.unicode());
    runParts(plans.size(), [&](std::size_t k) {
        const PartPlan& plan = plans[k];
        // The first part's vector receives the others' points.
        const std::size_t reserve = mostPoints(k == 0 ? size - begin : plan.end - plan.begin);
        parts[k] = readPart(source, plan, static_cast<int>(k), separator, pieceBytes, reserve, firstBad);
    });

    CurveReadResult result;
    result.points = std::move(parts.front().points);
    result.scan = parts.front().scan;
    const std::size_t joined = joinedParts(parts);
    prefaultJoin(result.points, parts, joined);
    std::vector<std::vector<Point>> copied;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        PartResult& part = parts[k];
        if (k > 0 && k < joined) {
            result.points.insert(result.points.end(), part.points.begin(), part.points.end());
            result.scan->append(part.scan);
            copied.push_back(std::move(part.points));
        }
        if (part.badLine >= 0 && result.badLine < 0)
            result.badLine = result.lineCount + part.badLine;
        result.lineCount += part.lineCount;
        if (part.endsText)
            break;
    }
    // Giving their pages back takes about a millisecond per half million points: the pool
    // does it while the caller goes on with the curve.
    if (!copied.empty())
        QThreadPool::globalInstance()->start([spent = std::move(copied)] {});
    return result;
}

}  // namespace

bool readsAsBytes(QByteArrayView head, QChar decimalSeparator)
{
    if (decimalSeparator.unicode() >= 0x80)
        return false;
    if (hasUtf8Mark(head, 0))
        return true;
#ifdef Q_OS_WIN
    return false;
#else
    return !head.startsWith("\xFF\xFE") && !head.startsWith("\xFE\xFF");
#endif
}

CurveReadResult readCurveBytes(QByteArrayView bytes, QChar decimalSeparator, const CurveReading& how)
{
    if (!readsAsBytes(bytes.first(std::min<qsizetype>(bytes.size(), 6)), decimalSeparator))
        return readCurve(decodeText(bytes.toByteArray()), decimalSeparator);
    return readParts(MemorySource(bytes), textBegin(bytes), bytes.size(), decimalSeparator, how);
}

CurveReadResult readCurveFile(const QString& path, QChar decimalSeparator, const CurveReading& how)
{
    InputFile file(path);
    // Pipes tell no size and cannot be read at offsets; files under /proc tell 0.
    if (!file.isRegular() || file.size() == 0)
        return readCurveBytes(file.readAll(), decimalSeparator, how);
    char head[6];
    const qint64 headSize = file.readAt(0, head, sizeof(head));
    const QByteArrayView headBytes(head, headSize);
    if (!readsAsBytes(headBytes, decimalSeparator))
        return readCurve(decodeText(file.readAll()), decimalSeparator);
    return readParts(FileSource(file), textBegin(headBytes), file.size(), decimalSeparator, how);
}

}  // namespace rz
