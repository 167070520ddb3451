#pragma once

#include "core/import/FileHead.h"
#include "core/import/ImportPreview.h"

#include <QObject>

class QCustomPlot;
class QCPCurve;
class QPlainTextEdit;
class QTableWidget;
class QWidget;

namespace rz {

// The three views of the import dialog's preview, made from an ImportPreview: the file's
// first lines as text, the table as it will be read (column names and units above, the
// chosen columns highlighted, lines that are not data greyed), and a small chart of the
// curve as it would be imported. The dialog places the widgets.
class ImportPreviewPane final : public QObject {
    Q_OBJECT
public:
    explicit ImportPreviewPane(QWidget* parent);

    void showPreview(const ImportPreview& preview, const ImportOptions& given, FileKind kind);

    QPlainTextEdit* text = nullptr;
    QTableWidget* table = nullptr;
    QCustomPlot* chart = nullptr;

private:
    void showTable(const ImportPreview& preview, FileKind kind);
    void showChart(const ImportPreview& preview, const ImportOptions& given);

    QCPCurve* curve_ = nullptr;
    QString shownText_;
};

}  // namespace rz
