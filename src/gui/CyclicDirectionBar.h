#pragma once

#include "core/workbench/CyclicSession.h"

#include <QWidget>
#include <array>

class QButtonGroup;
class QRadioButton;

namespace rz {

// Positive / Negative / Average: which direction of a cyclic record the results and
// constructions show. The window shows it for a cyclic record only.
class CyclicDirectionBar final : public QWidget {
    Q_OBJECT
public:
    explicit CyclicDirectionBar(QWidget* parent);

    // Checks view's button without emitting viewChosen.
    void showView(CyclicView view);
    // A direction without an envelope cannot be chosen, nor their mean.
    void setAvailable(bool positive, bool negative);
    QRadioButton* button(CyclicView view) const { return buttons_[static_cast<std::size_t>(view)]; }

signals:
    // The user chose view.
    void viewChosen(CyclicView view);

private:
    std::array<QRadioButton*, 3> buttons_{};
    QButtonGroup* group_ = nullptr;
};

}  // namespace rz
