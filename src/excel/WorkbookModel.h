#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The state of the in-process workbook model: what the object model's calls have set.
// The automation objects of WorkbookBackend.cpp read and write it; the writer turns it
// into an .xlsx file. Values are Excel's: points, colours with red in the lowest byte,
// Excel's enumeration numbers.
namespace rz::excel::model {

inline constexpr std::int32_t kLastRow = 1'048'576;
inline constexpr std::int32_t kLastColumn = 16'384;
// Excel's default column width and row height, in points.
inline constexpr double kColumnWidthPt = 48.0;
inline constexpr double kRowHeightPt = 15.0;

struct Cell {
    enum class Kind : std::uint8_t { Empty, Number, Text };
    Kind kind = Kind::Empty;
    std::uint32_t text = 0;  // index into Sheet::texts
    double number = 0.0;
};

struct Color {
    std::optional<std::uint32_t> rgb;  // red in the lowest byte
    std::int32_t themeColor = 0;       // the theme colour it came from, 0 for none
};

struct LineFormat {
    std::optional<bool> visible;
    std::optional<double> weight;  // points
    Color color;
    std::optional<std::int32_t> dashStyle;  // MsoLineDashStyle, 1 (solid) to 12
};

struct FillFormat {
    std::optional<bool> visible;
    Color color;
};

struct ElementFormat {
    LineFormat line;
    FillFormat fill;
};

struct Font {
    std::optional<double> size;
};

struct Series {
    QString name;     // text, or a reference "=Sheet1!$B$1"
    QString xValues;  // reference "=Sheet1!$A$2:$A$102"; empty until set
    QString values;
    ElementFormat format;
    std::optional<std::int32_t> markerStyle;
    std::optional<std::int32_t> markerSize;
    std::optional<bool> smooth;  // unset: as the chart type says
};

struct Axis {
    bool hasTitle = false;
    QString titleText = QStringLiteral("Axis Title");
    Font titleFont;
    std::optional<double> crossesAt;  // where the other axis crosses this one
    std::optional<std::int32_t> majorTickMark;
    ElementFormat format;
    Font tickLabelFont;
};

// Excel's XlLegendPosition numbers.
enum class LegendPosition : std::int32_t { Bottom = -4107, Corner = 2, Left = -4131, Right = -4152, Top = -4160 };

struct Legend {
    LegendPosition position = LegendPosition::Bottom;
    bool includeInLayout = true;
    Font font;
};

struct Chart {
    std::int32_t style = 0;
    std::int32_t type = 0;
    std::vector<std::unique_ptr<Series>> series;
    std::array<Axis, 2> axes;  // X (xlCategory), Y (xlValue)
    bool hasLegend = true;     // a new chart of several series shows its legend below
    Legend legend;
    ElementFormat plotArea;
    bool hasTitle = true;
    QString titleText = QStringLiteral("Chart Title");
    Font titleFont;
};

struct Shape {
    QString name;
    double left = 0.0;  // points
    double top = 0.0;
    double width = 360.0;
    double height = 216.0;
    std::unique_ptr<Chart> chart;
};

struct Sheet {
    QString name;
    std::vector<std::vector<Cell>> columns;  // columns[c - 1][r - 1]
    std::vector<QString> texts;
    std::vector<std::unique_ptr<Shape>> shapes;

    const Cell* cell(std::int32_t row, std::int32_t column) const;
    void setNumber(std::int32_t row, std::int32_t column, double value);
    void setText(std::int32_t row, std::int32_t column, const QString& text);
    void clear(std::int32_t row, std::int32_t column);
    std::int64_t cellCount() const;  // cells written, empty ones included

private:
    Cell& slot(std::int32_t row, std::int32_t column);
};

struct Workbook {
    QString name;  // "Book1", ...
    std::vector<std::unique_ptr<Sheet>> sheets;

    Sheet* findSheet(const QString& sheetName) const;  // sheet names compare case-insensitively
};

// A reference to a block of cells on a sheet of a workbook: "=Sheet1!$A$2:$A$102",
// "='My data'!B1".
struct RangeRef {
    const Sheet* sheet = nullptr;
    std::int32_t firstRow = 0;
    std::int32_t firstColumn = 0;
    std::int32_t lastRow = 0;
    std::int32_t lastColumn = 0;
};
std::optional<RangeRef> parseRangeReference(const QString& text, const Workbook& workbook);

// The colour (red in the lowest byte) of an Office theme colour index (1 to 16).
std::optional<std::uint32_t> themeColor(std::int32_t index);

}  // namespace rz::excel::model
