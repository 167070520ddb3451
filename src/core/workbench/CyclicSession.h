#pragma once

#include "core/cyclic/Envelope.h"
#include "core/workbench/Workbench.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// A cyclic record in the window: the samples in file order, both envelopes, and one hidden
// Workbench per loading direction whose curve store is that direction's envelope. Each
// direction's Calculate is the monotonic one, untouched, so every rule, message and
// partial state is the monotonic one; the window's own Workbench mirrors the direction
// the user looks at (Workbench::setCyclicView), or the mean of both.
namespace rz {

enum class CyclicView { Positive, Negative, Average };

inline constexpr std::array<ChoiceName<CyclicView>, 3> kCyclicViewNames{{
    {CyclicView::Positive, "positive", "Positive"},
    {CyclicView::Negative, "negative", "Negative"},
    {CyclicView::Average, "average", "Average"},
}};

// One result of the analysis as the cyclic table lists it: a label, the field that says
// whether it exists (empty or "--": it does not) and where the state keeps it.
struct CyclicResultRow {
    const char* label;
    Field field;
    double& (*value)(AnalysisState&);
    bool ductility;  // written "0.0000" in the window, as the ductility fields are
};
// Peak load and displacement, largest displacement, ultimate displacement, stiffness, the
// three methods' yield load, displacement and ductility, and their mean.
const std::array<CyclicResultRow, 17>& cyclicResultRows();
// The row's value in wb, nullopt when its field shows none.
std::optional<double> cyclicResult(const Workbench& wb, const CyclicResultRow& row);
// (a + b) / 2, checked; nullopt when either is missing or the sum overflows.
std::optional<double> meanOfBoth(std::optional<double> a, std::optional<double> b);

// What a hidden Workbench said, kept so that the session decides how it reaches the user.
class RecordedUi : public UserInterface {
public:
    struct Said {
        MessageLevel level;
        QString text;
        friend bool operator==(const Said&, const Said&) = default;
    };
    void showMessage(MessageLevel level, const QString& text) override { said.push_back({level, text}); }
    void focusField(Field field) override { focus = field; }
    std::vector<Said> said;
    std::optional<Field> focus;
};

class CyclicSession {
public:
    // samples in file order; imported: how the file was read, with its line count.
    CyclicSession(QChar decimalSeparator, const QString& path, std::vector<Point> samples, const CyclicOptions& options,
                  const ImportedCurve& imported, std::int64_t lineCount);
    CyclicSession(const CyclicSession&) = delete;
    CyclicSession& operator=(const CyclicSession&) = delete;

    const std::vector<Point>& samples() const { return samples_; }
    const CyclicOptions& options() const { return options_; }
    const CyclicEnvelopes& envelopes() const { return envelopes_; }
    bool hasEnvelope(Direction d) const { return !envelopes_.of(d).points.empty(); }
    // The direction's analysis: the curve store holds its envelope (mirrored for the
    // negative direction), sorted as every curve is.
    const Workbench& analysis(Direction d) const { return d == Direction::Positive ? positive_ : negative_; }

    // Calculate on each direction that has an envelope, with the same three factor texts.
    // Messages both directions gave alike (same place, level and text) come back once as
    // they are; the others prefixed "Positive direction: " or "Negative direction: ",
    // the positive one first.
    std::vector<RecordedUi::Said> calculate(const QString& loadReduction, const QString& secant, const QString& park);
    // The field a refused factor asked to be focused, after calculate().
    std::optional<Field> focus() const { return focus_; }
    // Whether every direction with an envelope ran Calculate to its end (false with none).
    bool calculationCompleted() const;

    void displayMethodSelected(int method);
    void setOtherDefinitionShown(int method, bool shown);

    // "Samples: 29493  Reversals: 140  Phases: positive 14, negative 14"
    QString summary() const;
    // Why the envelopes say little, one sentence each, for the import's message: a record
    // that never turns back (a monotonic curve read as a cyclic test), or a direction with
    // a single phase. Empty for a usual record.
    QStringList caveats() const;
    // Whether the direction's envelope is the origin and one point only (a single phase).
    bool envelopeOfOnePoint(Direction d) const { return envelopes_.of(d).phases.size() == 1; }

private:
    Workbench& mutableAnalysis(Direction d) { return d == Direction::Positive ? positive_ : negative_; }

    std::vector<Point> samples_;
    CyclicOptions options_;
    CyclicEnvelopes envelopes_;
    RecordedUi positiveUi_;
    RecordedUi negativeUi_;
    Workbench positive_;
    Workbench negative_;
    std::optional<Field> focus_;
};

}  // namespace rz
