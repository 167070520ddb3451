#pragma once

#include "core/methods/YieldDefinitions.h"

#include <QChar>
#include <QDockWidget>
#include <vector>

class QSettings;
class QTableWidget;

namespace rz {

// The table "Other definitions": one row per yield definition of the standards with its
// yield load, yield displacement, ductility, the stiffness it used and a note, and a
// check box that draws the definition's construction and yield point on the chart. It
// shows, it never computes: the window fills it from its Workbench and forwards the
// check boxes to it. A dock under the results by default, shown or hidden from the View
// menu; what is shown and ticked is remembered in the settings given.
class OtherDefinitionsDock : public QDockWidget {
    Q_OBJECT
public:
    explicit OtherDefinitionsDock(QWidget* parent = nullptr);

    // The rows from the results in otherYieldMethods() order, numbers with the decimal
    // separator; empty results leave the numbers and notes empty.
    void showResults(const std::vector<YieldDefinitionResult>& results, QChar decimalSeparator);

    bool isDrawn(int method) const;
    // Ticks or clears a row's check box, as a click does.
    void setDrawn(int method, bool drawn);

    // Restores what was shown and ticked, then keeps the settings up to date with every
    // change. Null: nothing is remembered.
    void setSettings(QSettings* settings);

    QTableWidget* table() const { return table_; }

signals:
    // A row's check box changed.
    void drawnChanged(int method, bool drawn);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void save();

    QTableWidget* table_ = nullptr;
    QSettings* settings_ = nullptr;
};

}  // namespace rz
