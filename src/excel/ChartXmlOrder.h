#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

// The chart parts that the xlsx writer library produces put some elements out of the
// order the chart schema (ECMA-376, DrawingML charts) prescribes, for instance txPr
// before overlay in a legend. Strict spreadsheet programs then repair the file by
// dropping the chart, so every chart part is put in schema order before the workbook
// is kept.
namespace rz::excel {

class ChartXmlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The chart part with the children of every element that the schema orders (chart
// space, chart, plot area, scatter chart and series, axes, legend, title, marker, the
// DrawingML shape, line and text properties, ...) in schema order; elements of one
// choice keep their order, and an element the schema does not name stays after the one
// it followed. Empty when everything was in order already. Throws ChartXmlError when the
// part is not well-formed XML.
std::optional<QByteArray> chartXmlInSchemaOrder(const QByteArray& xml);

}  // namespace rz::excel
