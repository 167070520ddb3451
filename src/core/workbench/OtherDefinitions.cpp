#include "core/workbench/OtherDefinitions.h"

#include "core/methods/CurveSearch.h"
#include "core/text/NumberText.h"

#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <exception>
#include <span>
#include <utility>
#include <vector>

namespace rz {

namespace {

// Points from which the definitions are computed side by side.
constexpr int kSideBySideFrom = 50000;

// The order the threads take the definitions in: the longest first, so that the last to
// finish is a short one. On a million points EEEP takes longest (it sums the shared areas
// for the others), then the farthest point and EN 12512 (a pass each up to the peak); the
// bilinear idealisation and the equal energy mostly use what those left. Any definition
// not named here comes after, in table order. The results keep the table's order.
std::vector<std::size_t> longestFirst()
{
    static constexpr std::array<const char*, 5> kLongestFirst{
        "EEEP_ASTM_E2126", "FarthestPoint", "EN_12512", "Bilinear_ASCE_41", "EqualEnergy_EN_1998"};
    const std::span<const YieldMethod> table = otherYieldMethods();
    std::vector<std::size_t> order;
    for (const char* key : kLongestFirst) {
        const auto at = std::find_if(table.begin(), table.end(),
                                     [key](const YieldMethod& m) { return std::strcmp(m.key, key) == 0; });
        if (at != table.end())
            order.push_back(static_cast<std::size_t>(at - table.begin()));
    }
    for (std::size_t m = 0; m < table.size(); ++m)
        if (std::find(order.begin(), order.end(), m) == order.end())
            order.push_back(m);
    return order;
}

constexpr double kLineWidth = 2.0;
constexpr double kMarkerSize = 11.0;

OtherDefinitionLook look(std::uint32_t color, DashPattern dash, MarkerShape marker)
{
    OtherDefinitionLook l;
    l.construction = {color, kLineWidth, dash, MarkerShape::None, 0.0, false};
    l.yieldPoint = {color, 0.0, DashPattern::Solid, marker, kMarkerSize, false};
    return l;
}

// In the order of otherYieldMethods(). Colours apart from the nine series' green, blue
// and pink, and each with a dash pattern and a marker shape of its own for grey print.
const std::array<OtherDefinitionLook, 5>& looks()
{
    static const std::array<OtherDefinitionLook, 5> kLooks{{
        look(0xD55E00, DashPattern::Dash, MarkerShape::Square),           // EEEP, vermilion
        look(0x6A3D9A, DashPattern::DashDot, MarkerShape::TriangleDown),  // EN 12512, purple
        look(0x8C510A, DashPattern::Dot, MarkerShape::Cross),             // farthest point, brown
        look(0x00796B, DashPattern::LongDash, MarkerShape::Star),         // ASCE 41, teal
        look(0xE69F00, DashPattern::LongDashDot, MarkerShape::Plus),      // EN 1998, orange
    }};
    return kLooks;
}

// The overlays' keys and titles, made once: every curve looks its overlays up by key
// several times, and a batch of small files would otherwise build these strings thousands
// of times.
struct OverlayNames {
    QString constructionKey;
    QString yieldPointKey;
    QString constructionTitle;
    QString yieldPointTitle;
};

const std::vector<OverlayNames>& overlayNames()
{
    static const std::vector<OverlayNames> kNames = [] {
        std::vector<OverlayNames> names;
        for (const YieldMethod& m : otherYieldMethods()) {
            const QString key = QString::fromLatin1(m.key);
            const QString title = QString::fromUtf8(m.title);
            names.push_back({key + QStringLiteral(".construction"), key + QStringLiteral(".yield"),
                             title + QStringLiteral(" construction"), title + QStringLiteral(" yield point")});
        }
        return names;
    }();
    return kNames;
}

int methodCount()
{
    return static_cast<int>(otherYieldMethods().size());
}

}  // namespace

const OtherDefinitionLook& otherDefinitionLook(int method)
{
    return looks()[static_cast<std::size_t>(method) % looks().size()];
}

const QString& constructionOverlayKey(int method)
{
    return overlayNames()[static_cast<std::size_t>(method)].constructionKey;
}

const QString& yieldPointOverlayKey(int method)
{
    return overlayNames()[static_cast<std::size_t>(method)].yieldPointKey;
}

OtherDefinitionTexts otherDefinitionTexts(const YieldDefinitionResult& r, QChar sep)
{
    const OtherDefinitionNumbers n = otherDefinitionNumbers(r, sep);
    return {n.yieldLoad.view().toString(), n.yieldDisp.view().toString(), n.ductility.view().toString(),
            n.stiffness.view().toString(), r.note};
}

OtherDefinitionNumbers otherDefinitionNumbers(const YieldDefinitionResult& r, QChar sep)
{
    if (!r.found) {
        const NumberChars dash(u"--");
        return {dash, dash, dash, dash};
    }
    return {pattern5Chars(r.yieldLoad, sep), pattern5Chars(r.yieldDisp, sep), pattern4Chars(r.ductility, sep),
            pattern5Chars(r.stiffness, sep)};
}

void OtherDefinitions::addOverlays(ChartModel& chart)
{
    for (int m = 0; m < methodCount(); ++m)
        chart.addOverlay(constructionOverlayKey(m), overlayNames()[static_cast<std::size_t>(m)].constructionTitle,
                         otherDefinitionLook(m).construction);
    for (int m = 0; m < methodCount(); ++m)
        chart.addOverlay(yieldPointOverlayKey(m), overlayNames()[static_cast<std::size_t>(m)].yieldPointTitle,
                         otherDefinitionLook(m).yieldPoint);
}

void OtherDefinitions::clear(ChartModel& chart)
{
    results_.clear();
    for (int m = 0; m < methodCount(); ++m) {
        for (const QString& key : {constructionOverlayKey(m), yieldPointOverlayKey(m)}) {
            const int index = chart.overlayIndex(key);
            if (index >= 0 && !chart.overlay(index).points.empty())
                chart.setOverlayPoints(index, {});
        }
    }
}

void OtherDefinitions::finish(Pending& pending, ChartModel& chart)
{
    clear(chart);
    try {
        std::vector<YieldDefinitionResult> results = pending.take();
        for (int m = 0; m < methodCount(); ++m) {
            const YieldDefinitionResult& r = results[static_cast<std::size_t>(m)];
            if (!r.found)
                continue;
            if (const int line = chart.overlayIndex(constructionOverlayKey(m)); line >= 0)
                chart.setOverlayPoints(line, r.polyline);
            if (const int point = chart.overlayIndex(yieldPointOverlayKey(m)); point >= 0)
                chart.setOverlayPoints(point, {r.yieldPoint});
        }
        results_ = std::move(results);
    } catch (const std::exception&) {
        // The definitions promise not to throw; should memory run out, the window's own
        // results stand and these are simply not shown.
        clear(chart);
    }
}

// What the definitions of one curve share: the curve, the failure displacement and the
// areas three of them need (one search and one pass instead of three, the pass summed by
// the first that asks) and their results.
struct OtherDefinitions::Pending::Work {
    Work(const Series& c, const CurveFacts& facts)
        : curve(c), failure(failureForDefinitions(c, facts)), shared(sharing(facts, failure)),
          areas(areasForDefinitions(c, shared))
    {
        shared.areas = &areas;
    }
    static CurveFacts sharing(CurveFacts facts, const FailureSearch& failure)
    {
        facts.failure = &failure;
        return facts;
    }
    // Computes, longest first, the definitions that no thread has begun, until none is
    // left. Each only reads the curve, so any thread may compute any of them.
    void computeRest()
    {
        static const std::vector<std::size_t> kOrder = longestFirst();
        for (std::size_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < kOrder.size();)
            results[kOrder[k]] = otherYieldMethods()[kOrder[k]].compute(curve, shared);
    }

    const Series& curve;
    const FailureSearch failure;
    CurveFacts shared;
    const CurveAreas areas;
    std::vector<YieldDefinitionResult> results = std::vector<YieldDefinitionResult>(otherYieldMethods().size());
    std::atomic<std::size_t> next{0};
};

OtherDefinitions::Pending::Pending(const Series& curve, const CurveFacts& facts)
{
    try {
        work_ = std::make_unique<Work>(curve, facts);
        // On Qt's global pool (a batch's workers, on a pool of their own, then share the
        // cores with them), joined by the thread that takes them once its own work is done.
        if (curve.count() < kSideBySideFrom)
            return;
        const auto helpers = std::clamp<qsizetype>(QThread::idealThreadCount(), 1, qsizetype(work_->results.size()));
        for (qsizetype k = 0; k < helpers; ++k)
            running_.push_back(QtConcurrent::run([work = work_.get()] { work->computeRest(); }));
    } catch (const std::exception&) {
        // Memory ran out: take() says so, where the caller expects it.
        failure_ = std::current_exception();
    }
}

OtherDefinitions::Pending::~Pending()
{
    // They read the curve, which may go once this returns; what they failed with no
    // longer matters.
    for (QFuture<void>& helper : running_) {
        try {
            helper.waitForFinished();
        } catch (...) {
        }
    }
}

std::vector<YieldDefinitionResult> OtherDefinitions::Pending::take()
{
    if (failure_)
        std::rethrow_exception(failure_);
    work_->computeRest();
    // A failure in a helper comes back as QUnhandledException, a std::exception too; the
    // destructor then waits for the others.
    for (QFuture<void>& helper : running_)
        helper.waitForFinished();
    running_.clear();
    return std::move(work_->results);
}

void OtherDefinitions::setShown(int method, bool shown, ChartModel& chart)
{
    for (const QString& key : {constructionOverlayKey(method), yieldPointOverlayKey(method)}) {
        if (const int index = chart.overlayIndex(key); index >= 0)
            chart.setOverlayVisible(index, shown);
    }
}

bool OtherDefinitions::isShown(int method, const ChartModel& chart)
{
    const int index = chart.overlayIndex(constructionOverlayKey(method));
    return index >= 0 && chart.overlay(index).visible;
}

}  // namespace rz
