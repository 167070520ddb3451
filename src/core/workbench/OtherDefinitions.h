#pragma once

#include "core/chart/ChartModel.h"
#include "core/methods/YieldMethods.h"
#include "core/text/NumberText.h"

#include <QChar>
#include <QFuture>
#include <QString>
#include <exception>
#include <memory>
#include <vector>

// The yield definitions of the standards as the window keeps them beside the three
// methods: the results of the last Calculate that ran to its end, and in the chart each
// definition's construction and yield point as two overlays, drawn only while the user
// asks for them.
namespace rz {

// The look of a definition on the chart: its own colour, dash pattern and marker, so
// that the constructions stay apart in black-and-white print too.
struct OtherDefinitionLook {
    OverlayStyle construction;
    OverlayStyle yieldPoint;
};
// Of otherYieldMethods()[method].
const OtherDefinitionLook& otherDefinitionLook(int method);

// The overlay keys of otherYieldMethods()[method]: "<key>.construction", "<key>.yield".
const QString& constructionOverlayKey(int method);
const QString& yieldPointOverlayKey(int method);

// A result as the window's table and the batch tool's table show it: "0.#####" for the
// loads, displacements and stiffness, "0.0000" for the ductility. Not found: "--" for
// every number and the note saying why; found: the note, or "" when there is none.
struct OtherDefinitionTexts {
    QString yieldLoad;
    QString yieldDisp;
    QString ductility;
    QString stiffness;
    QString note;
};
OtherDefinitionTexts otherDefinitionTexts(const YieldDefinitionResult& result, QChar decimalSeparator);

// The same four numbers held in place, for the batch tool's table of every file.
struct OtherDefinitionNumbers {
    NumberChars yieldLoad;
    NumberChars yieldDisp;
    NumberChars ductility;
    NumberChars stiffness;
};
OtherDefinitionNumbers otherDefinitionNumbers(const YieldDefinitionResult& result, QChar decimalSeparator);

class OtherDefinitions {
public:
    // Adds the two overlays of every definition to chart, empty and hidden: constructions
    // first, then the yield points, so that every point is drawn over every line.
    static void addOverlays(ChartModel& chart);

    // Forgets the results and empties the overlays; which ones are shown stays chosen.
    void clear(ChartModel& chart);

    // The definitions of one curve, begun before the caller's own work on it and taken
    // after: on a long curve they start at once on Qt's pool and run beside that work; on
    // a short one, where a thread would cost more than it saves, they run when taken. The
    // curve must stay as it is until then; the destructor waits for what was begun.
    class Pending {
    public:
        Pending(const Series& curve, const CurveFacts& facts);
        ~Pending();
        Pending(const Pending&) = delete;
        Pending& operator=(const Pending&) = delete;
        // Every definition, in table order; throws only when memory ran out. Once.
        std::vector<YieldDefinitionResult> take();

    private:
        struct Work;
        std::unique_ptr<Work> work_;
        std::vector<QFuture<void>> running_;  // none on a short curve
        std::exception_ptr failure_;          // of the start
    };

    // Keeps the results of pending, every definition in table order, and gives the overlays
    // their points. Never throws: a definition that fails is a result that is not found.
    void finish(Pending& pending, ChartModel& chart);
    // One per definition after finish(), in otherYieldMethods() order; empty after clear().
    const std::vector<YieldDefinitionResult>& results() const { return results_; }
    // Results computed elsewhere (a cyclic record's direction, or their mean); the
    // overlays are the caller's to fill.
    void setResults(std::vector<YieldDefinitionResult> results) { results_ = std::move(results); }

    // Shows or hides both overlays of a definition.
    static void setShown(int method, bool shown, ChartModel& chart);
    static bool isShown(int method, const ChartModel& chart);

private:
    std::vector<YieldDefinitionResult> results_;
};

}  // namespace rz
