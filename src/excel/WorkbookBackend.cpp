#include "excel/WorkbookBackend.h"

#include "core/text/NumberText.h"
#include "excel/WorkbookModel.h"
#include "excel/WorkbookWriter.h"

#include <cmath>
#include <vector>

namespace rz::excel {

struct WorkbookBackend::Session {
    QChar separator;
    int nextNumber = 1;
    std::int64_t constantMemoryThreshold = 200'000;
    std::optional<std::int64_t> created;
    std::vector<std::shared_ptr<model::Workbook>> workbooks;
};

namespace {

using namespace model;

struct AppState {
    std::shared_ptr<WorkbookBackend::Session> session;
    bool visible = false;
    std::vector<std::shared_ptr<Workbook>> workbooks;
    Chart* activeChart = nullptr;
};
using AppPtr = std::shared_ptr<AppState>;

QString member(std::string_view m)
{
    return QString::fromLatin1(m.data(), static_cast<qsizetype>(m.size()));
}

// One call as an object receives it, with the checks every member needs.
class Request {
public:
    Request(const char* cls, CallKind kind, std::string_view name, std::span<const Variant> args)
        : cls_(cls), kind_(kind), name_(name), args_(args)
    {
    }

    bool is(std::string_view name) const { return name_ == name; }
    bool isPut() const { return kind_ == CallKind::Put; }

    // A read or method call with from min to max arguments.
    void read(std::size_t min = 0, std::size_t max = 0) const
    {
        if (isPut())
            fail(QStringLiteral("'%1' cannot be written").arg(member(name_)));
        if (args_.size() < min || args_.size() > max)
            fail(QStringLiteral("wrong number of arguments (%1)").arg(args_.size()));
    }
    const Variant& written() const
    {
        if (!isPut())
            fail(QStringLiteral("'%1' is a property; it is read without arguments or written").arg(member(name_)));
        return args_[0];
    }
    bool has(std::size_t i) const { return i < args_.size() && !args_[i].isEmpty(); }
    const Variant& arg(std::size_t i) const { return args_[i]; }
    std::int32_t intArg(std::size_t i) const { return args_[i].toInt32(); }

    [[noreturn]] void fail(const QString& reason) const { throw AutomationError(reason); }
    [[noreturn]] void unknown() const
    {
        fail(QStringLiteral("the %1 object has no property or method '%2'")
                 .arg(QLatin1StringView(cls_), member(name_)));
    }
    [[noreturn]] void readOnly() const
    {
        fail(QStringLiteral("the property '%1' of the %2 object is read-only")
                 .arg(member(name_), QLatin1StringView(cls_)));
    }

private:
    const char* cls_;
    CallKind kind_;
    std::string_view name_;
    std::span<const Variant> args_;
};

class Object : public AutomationTarget {
public:
    explicit Object(AppPtr app) : app_(std::move(app)) {}

    Variant invoke(CallKind kind, std::string_view name, std::span<const Variant> args) override
    {
        const Request r(className(), kind, name, args);
        try {
            return dispatch(r);
        } catch (const AutomationError& e) {
            // Name the object and member the description belongs to.
            throw AutomationError(QStringLiteral("%1.%2: %3")
                                      .arg(QLatin1StringView(className()), member(name), e.description()));
        }
    }

protected:
    virtual const char* className() const = 0;
    virtual Variant dispatch(const Request& r) = 0;

    template <class T, class... A>
    Variant make(A&&... a) const
    {
        return Variant::object(AutomationObject(std::make_shared<T>(app_, std::forward<A>(a)...)));
    }

    const WorkbookBackend::Session& session() const { return *app_->session; }

    AppPtr app_;
};

// --- property helpers ------------------------------------------------------------------

Variant boolProperty(const Request& r, bool& field)
{
    if (r.isPut()) {
        field = r.written().asBool();
        return {};
    }
    r.read();
    return Variant::boolean(field);
}

Variant boolProperty(const Request& r, std::optional<bool>& field, bool unset)
{
    if (r.isPut()) {
        field = r.written().asBool();
        return {};
    }
    r.read();
    return Variant::boolean(field.value_or(unset));
}

Variant textProperty(const Request& r, QString& field)
{
    if (r.isPut()) {
        field = r.written().asText();
        return {};
    }
    r.read();
    return Variant::text(field);
}

double finiteNumber(const Request& r, const Variant& v)
{
    const double d = v.asNumber();
    if (!std::isfinite(d))
        r.fail(QStringLiteral("%1 is not a valid value").arg(v.describe()));
    return d;
}

// A number property that accepts values from lo to hi.
Variant numberProperty(const Request& r, std::optional<double>& field, double lo, double hi, double unset)
{
    if (r.isPut()) {
        const double d = finiteNumber(r, r.written());
        if (d < lo || d > hi)
            r.fail(QStringLiteral("the value %1 lies outside %2 to %3").arg(d).arg(lo).arg(hi));
        field = d;
        return {};
    }
    r.read();
    return Variant::real(field.value_or(unset));
}

// --- the objects -----------------------------------------------------------------------

class FontObject : public Object {
public:
    FontObject(AppPtr app, Font* font) : Object(std::move(app)), font_(font) {}

private:
    const char* className() const override { return "Font"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Size"))
            return numberProperty(r, font_->size, 1.0, 409.0, 10.0);
        r.unknown();
    }
    Font* font_;
};

class ColorObject : public Object {
public:
    ColorObject(AppPtr app, Color* color) : Object(std::move(app)), color_(color) {}

private:
    const char* className() const override { return "ColorFormat"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("RGB")) {
            if (!r.isPut()) {
                r.read();
                return Variant::int32(static_cast<std::int32_t>(color_->rgb.value_or(0)));
            }
            const double v = finiteNumber(r, r.written());
            if (v < 0 || v > 0xFFFFFF || v != std::floor(v))
                r.fail(QStringLiteral("%1 is not a colour value").arg(r.written().describe()));
            color_->rgb = static_cast<std::uint32_t>(v);
            color_->themeColor = 0;
            return {};
        }
        if (r.is("ObjectThemeColor")) {
            if (!r.isPut()) {
                r.read();
                return Variant::int32(color_->themeColor);
            }
            const std::int32_t index = r.written().toInt32();
            const std::optional<std::uint32_t> rgb = themeColor(index);
            if (!rgb)
                r.fail(QStringLiteral("%1 is not a theme colour").arg(index));
            color_->rgb = *rgb;
            color_->themeColor = index;
            return {};
        }
        r.unknown();
    }
    Color* color_;
};

class LineObject : public Object {
public:
    LineObject(AppPtr app, LineFormat* line) : Object(std::move(app)), line_(line) {}

private:
    const char* className() const override { return "LineFormat"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Visible"))
            return boolProperty(r, line_->visible, true);
        if (r.is("Weight"))
            return numberProperty(r, line_->weight, 0.0, 1584.0, 0.75);
        if (r.is("DashStyle")) {
            if (!r.isPut()) {
                r.read();
                return Variant::int32(line_->dashStyle.value_or(1));
            }
            const std::int32_t style = r.written().toInt32();
            if (style < 1 || style > 12)
                r.fail(QStringLiteral("%1 is not a line dash style").arg(style));
            line_->dashStyle = style;
            return {};
        }
        if (r.is("ForeColor")) {
            r.read();
            return make<ColorObject>(&line_->color);
        }
        r.unknown();
    }
    LineFormat* line_;
};

class FillObject : public Object {
public:
    FillObject(AppPtr app, FillFormat* fill) : Object(std::move(app)), fill_(fill) {}

private:
    const char* className() const override { return "FillFormat"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Visible"))
            return boolProperty(r, fill_->visible, true);
        if (r.is("ForeColor")) {
            r.read();
            return make<ColorObject>(&fill_->color);
        }
        r.unknown();
    }
    FillFormat* fill_;
};

class FormatObject : public Object {
public:
    FormatObject(AppPtr app, ElementFormat* format) : Object(std::move(app)), format_(format) {}

private:
    const char* className() const override { return "ChartFormat"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Line")) {
            r.read();
            return make<LineObject>(&format_->line);
        }
        if (r.is("Fill")) {
            r.read();
            return make<FillObject>(&format_->fill);
        }
        r.unknown();
    }
    ElementFormat* format_;
};

class AxisTitleObject : public Object {
public:
    AxisTitleObject(AppPtr app, Axis* axis) : Object(std::move(app)), axis_(axis) {}

private:
    const char* className() const override { return "AxisTitle"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Text") || r.is("Caption"))
            return textProperty(r, axis_->titleText);
        if (r.is("Font")) {
            r.read();
            return make<FontObject>(&axis_->titleFont);
        }
        r.unknown();
    }
    Axis* axis_;
};

class TickLabelsObject : public Object {
public:
    TickLabelsObject(AppPtr app, Axis* axis) : Object(std::move(app)), axis_(axis) {}

private:
    const char* className() const override { return "TickLabels"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Font")) {
            r.read();
            return make<FontObject>(&axis_->tickLabelFont);
        }
        r.unknown();
    }
    Axis* axis_;
};

class AxisObject : public Object {
public:
    AxisObject(AppPtr app, Axis* axis) : Object(std::move(app)), axis_(axis) {}

private:
    const char* className() const override { return "Axis"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("AxisTitle")) {
            r.read();
            if (!axis_->hasTitle)
                r.fail(QStringLiteral("the axis has no title"));
            return make<AxisTitleObject>(axis_);
        }
        if (r.is("HasTitle"))
            return boolProperty(r, axis_->hasTitle);
        if (r.is("CrossesAt")) {
            if (!r.isPut()) {
                r.read();
                return Variant::real(axis_->crossesAt.value_or(0.0));
            }
            axis_->crossesAt = finiteNumber(r, r.written());
            return {};
        }
        if (r.is("MajorTickMark")) {
            if (!r.isPut()) {
                r.read();
                return Variant::int32(axis_->majorTickMark.value_or(3));
            }
            const std::int32_t mark = r.written().toInt32();
            // xlTickMarkInside, xlTickMarkOutside, xlTickMarkCross, xlTickMarkNone.
            if (mark != 2 && mark != 3 && mark != 4 && mark != -4142)
                r.fail(QStringLiteral("%1 is not a tick mark").arg(mark));
            axis_->majorTickMark = mark;
            return {};
        }
        if (r.is("Format")) {
            r.read();
            return make<FormatObject>(&axis_->format);
        }
        if (r.is("TickLabels")) {
            r.read();
            return make<TickLabelsObject>(axis_);
        }
        r.unknown();
    }
    Axis* axis_;
};

class LegendObject : public Object {
public:
    LegendObject(AppPtr app, Chart* chart) : Object(std::move(app)), chart_(chart) {}

private:
    const char* className() const override { return "Legend"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("IncludeInLayout"))
            return boolProperty(r, chart_->legend.includeInLayout);
        if (r.is("Font")) {
            r.read();
            return make<FontObject>(&chart_->legend.font);
        }
        if (r.is("Position")) {
            if (!r.isPut()) {
                r.read();
                return Variant::int32(static_cast<std::int32_t>(chart_->legend.position));
            }
            const std::int32_t p = r.written().toInt32();
            for (const LegendPosition known : {LegendPosition::Bottom, LegendPosition::Corner, LegendPosition::Left,
                                               LegendPosition::Right, LegendPosition::Top}) {
                if (p == static_cast<std::int32_t>(known)) {
                    chart_->legend.position = known;
                    return {};
                }
            }
            r.fail(QStringLiteral("%1 is not a legend position").arg(p));
        }
        r.unknown();
    }
    Chart* chart_;
};

class PlotAreaObject : public Object {
public:
    PlotAreaObject(AppPtr app, Chart* chart) : Object(std::move(app)), chart_(chart) {}

private:
    const char* className() const override { return "PlotArea"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Format")) {
            r.read();
            return make<FormatObject>(&chart_->plotArea);
        }
        r.unknown();
    }
    Chart* chart_;
};

class ChartTitleObject : public Object {
public:
    ChartTitleObject(AppPtr app, Chart* chart) : Object(std::move(app)), chart_(chart) {}

private:
    const char* className() const override { return "ChartTitle"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Text") || r.is("Caption"))
            return textProperty(r, chart_->titleText);
        if (r.is("Font")) {
            r.read();
            return make<FontObject>(&chart_->titleFont);
        }
        r.unknown();
    }
    Chart* chart_;
};

bool isMarkerStyle(std::int32_t style)
{
    // Excel's XlMarkerStyle numbers; 4, 6 and 7 have no name there but are taken.
    switch (style) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9:
    case -4105: case -4115: case -4118: case -4142: case -4168:
        return true;
    default:
        return false;
    }
}

class SeriesObject : public Object {
public:
    SeriesObject(AppPtr app, Workbook* book, Series* series) : Object(std::move(app)), book_(book), series_(series) {}

private:
    const char* className() const override { return "Series"; }

    Variant reference(const Request& r, QString& field)
    {
        if (!r.isPut()) {
            r.read();
            return Variant::text(field);
        }
        const QString& text = r.written().asText();
        const std::optional<RangeRef> ref = parseRangeReference(text, *book_);
        if (!ref) {
            r.fail(QStringLiteral("'%1' is not a reference to cells of a sheet of the workbook '%2'")
                       .arg(text, book_->name));
        }
        // Kept as sent, with the leading '=' that a reference always has.
        field = text.startsWith(u'=') ? text : u'=' + text;
        return {};
    }

    Variant dispatch(const Request& r) override
    {
        if (r.is("Name")) {
            if (!r.isPut() || !r.written().asText().startsWith(u'='))
                return textProperty(r, series_->name);
            return reference(r, series_->name);
        }
        if (r.is("XValues"))
            return reference(r, series_->xValues);
        if (r.is("Values"))
            return reference(r, series_->values);
        if (r.is("MarkerStyle")) {
            if (!r.isPut()) {
                r.read();
                return Variant::int32(series_->markerStyle.value_or(-4105));
            }
            const std::int32_t style = r.written().toInt32();
            if (!isMarkerStyle(style))
                r.fail(QStringLiteral("%1 is not a marker style").arg(style));
            series_->markerStyle = style;
            return {};
        }
        if (r.is("MarkerSize")) {
            if (!r.isPut()) {
                r.read();
                return Variant::int32(series_->markerSize.value_or(5));
            }
            const std::int32_t size = r.written().toInt32();
            if (size < 2 || size > 72)
                r.fail(QStringLiteral("the marker size %1 lies outside 2 to 72").arg(size));
            series_->markerSize = size;
            return {};
        }
        if (r.is("Smooth"))
            return boolProperty(r, series_->smooth, true);
        if (r.is("Format")) {
            r.read();
            return make<FormatObject>(&series_->format);
        }
        r.unknown();
    }
    Workbook* book_;
    Series* series_;
};

class SeriesCollectionObject : public Object {
public:
    SeriesCollectionObject(AppPtr app, Workbook* book, Chart* chart)
        : Object(std::move(app)), book_(book), chart_(chart)
    {
    }

private:
    const char* className() const override { return "SeriesCollection"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("NewSeries")) {
            r.read();
            chart_->series.push_back(std::make_unique<Series>());
            return make<SeriesObject>(book_, chart_->series.back().get());
        }
        if (r.is("Count")) {
            r.read();
            return Variant::int32(static_cast<std::int32_t>(chart_->series.size()));
        }
        if (r.is("Item")) {
            r.read(1, 1);
            return item(r, r.intArg(0));
        }
        r.unknown();
    }

public:
    Variant item(const Request& r, std::int32_t index)
    {
        if (index < 1 || static_cast<std::size_t>(index) > chart_->series.size())
            r.fail(QStringLiteral("the chart has no series %1").arg(index));
        return make<SeriesObject>(book_, chart_->series[static_cast<std::size_t>(index - 1)].get());
    }

private:
    Workbook* book_;
    Chart* chart_;
};

class ChartObject : public Object {
public:
    ChartObject(AppPtr app, Workbook* book, Chart* chart) : Object(std::move(app)), book_(book), chart_(chart) {}

private:
    const char* className() const override { return "Chart"; }

    void setElement(const Request& r, std::int32_t element)
    {
        // Excel's MsoChartElementType numbers for the title, the legend and the primary
        // axis titles.
        if (element == 0) {
            chart_->hasTitle = false;
        } else if (element == 1 || element == 2) {
            chart_->hasTitle = true;
        } else if (element == 100) {
            chart_->hasLegend = false;
        } else if (element >= 101 && element <= 106) {
            static constexpr LegendPosition kPositions[] = {LegendPosition::Right,  LegendPosition::Top,
                                                            LegendPosition::Left,   LegendPosition::Bottom,
                                                            LegendPosition::Right,  LegendPosition::Left};
            chart_->hasLegend = true;
            chart_->legend.position = kPositions[element - 101];
            chart_->legend.includeInLayout = element <= 104;
        } else if (element >= 300 && element <= 305) {
            chart_->axes[0].hasTitle = element != 300;
        } else if (element >= 306 && element <= 311) {
            chart_->axes[1].hasTitle = element != 306;
        } else {
            r.fail(QStringLiteral("the chart element %1 is not supported").arg(element));
        }
    }

    Variant dispatch(const Request& r) override
    {
        if (r.is("SeriesCollection")) {
            r.read(0, 1);
            auto collection = std::make_shared<SeriesCollectionObject>(app_, book_, chart_);
            if (r.has(0))
                return collection->item(r, r.intArg(0));
            return Variant::object(AutomationObject(collection));
        }
        if (r.is("SetElement")) {
            r.read(1, 1);
            setElement(r, r.intArg(0));
            return {};
        }
        if (r.is("Axes")) {
            r.read(1, 2);
            const std::int32_t type = r.intArg(0);
            const std::int32_t group = r.has(1) ? r.intArg(1) : 1;
            if ((type != 1 && type != 2) || group != 1)
                r.fail(QStringLiteral("the chart has no axis (%1, %2)").arg(type).arg(group));
            return make<AxisObject>(&chart_->axes[static_cast<std::size_t>(type - 1)]);
        }
        if (r.is("Legend")) {
            r.read();
            if (!chart_->hasLegend)
                r.fail(QStringLiteral("the chart has no legend"));
            return make<LegendObject>(chart_);
        }
        if (r.is("HasLegend"))
            return boolProperty(r, chart_->hasLegend);
        if (r.is("PlotArea")) {
            r.read();
            return make<PlotAreaObject>(chart_);
        }
        if (r.is("HasTitle"))
            return boolProperty(r, chart_->hasTitle);
        if (r.is("ChartTitle")) {
            r.read();
            if (!chart_->hasTitle)
                r.fail(QStringLiteral("the chart has no title"));
            return make<ChartTitleObject>(chart_);
        }
        if (r.is("ChartStyle")) {
            r.read();
            return Variant::int32(chart_->style);
        }
        if (r.is("ChartType")) {
            r.read();
            return Variant::int32(chart_->type);
        }
        r.unknown();
    }
    Workbook* book_;
    Chart* chart_;
};

class ShapeObject : public Object {
public:
    ShapeObject(AppPtr app, Workbook* book, Shape* shape) : Object(std::move(app)), book_(book), shape_(shape) {}

private:
    const char* className() const override { return "Shape"; }

    Variant geometry(const Request& r, double& field, bool isSize)
    {
        if (!r.isPut()) {
            r.read();
            return Variant::real(field);
        }
        const double v = finiteNumber(r, r.written());
        if (isSize && v < 0)
            r.fail(QStringLiteral("the size %1 is negative").arg(v));
        field = v;
        return {};
    }

    Variant dispatch(const Request& r) override
    {
        if (r.is("Left"))
            return geometry(r, shape_->left, false);
        if (r.is("Top"))
            return geometry(r, shape_->top, false);
        if (r.is("Width"))
            return geometry(r, shape_->width, true);
        if (r.is("Height"))
            return geometry(r, shape_->height, true);
        if (r.is("Select")) {
            r.read(0, 1);
            app_->activeChart = shape_->chart.get();
            return Variant::boolean(true);
        }
        if (r.is("Chart")) {
            r.read();
            return make<ChartObject>(book_, shape_->chart.get());
        }
        if (r.is("HasChart")) {
            r.read();
            return Variant::boolean(true);
        }
        if (r.is("Name")) {
            r.read();
            return Variant::text(shape_->name);
        }
        r.unknown();
    }
    Workbook* book_;
    Shape* shape_;
};

// Excel's XY scatter chart types; the others are not modelled.
bool isScatterType(std::int32_t type)
{
    return type == -4169 || (type >= 72 && type <= 75);
}

class ShapesObject : public Object {
public:
    ShapesObject(AppPtr app, Workbook* book, Sheet* sheet) : Object(std::move(app)), book_(book), sheet_(sheet) {}

private:
    const char* className() const override { return "Shapes"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("AddChart2")) {
            r.read(0, 7);
            const std::int32_t style = r.has(0) ? r.intArg(0) : -1;
            const std::int32_t type = r.has(1) ? r.intArg(1) : 72;
            if (!isScatterType(type))
                r.fail(QStringLiteral("the chart type %1 is not supported; only XY scatter charts are").arg(type));
            auto shape = std::make_unique<Shape>();
            shape->name = QStringLiteral("Chart %1").arg(sheet_->shapes.size() + 1);
            shape->chart = std::make_unique<Chart>();
            shape->chart->style = style;
            shape->chart->type = type;
            double* geometry[] = {&shape->left, &shape->top, &shape->width, &shape->height};
            for (std::size_t i = 0; i < 4; ++i)
                if (r.has(i + 2))
                    *geometry[i] = finiteNumber(r, r.arg(i + 2));
            sheet_->shapes.push_back(std::move(shape));
            return make<ShapeObject>(book_, sheet_->shapes.back().get());
        }
        if (r.is("Count")) {
            r.read();
            return Variant::int32(static_cast<std::int32_t>(sheet_->shapes.size()));
        }
        r.unknown();
    }
    Workbook* book_;
    Sheet* sheet_;
};

class RangeObject : public Object {
public:
    RangeObject(AppPtr app, Sheet* sheet, std::int32_t row, std::int32_t column)
        : Object(std::move(app)), sheet_(sheet), row_(row), column_(column)
    {
    }

private:
    const char* className() const override { return "Range"; }

    void write(const Request& r)
    {
        const Variant& v = r.written();
        if (v.kind() == VariantKind::Text) {
            // As Excel does when a text is typed or assigned: one that reads as a number
            // in the user's locale becomes that number.
            if (const std::optional<double> n = parseDecimal(v.asText(), session().separator))
                sheet_->setNumber(row_, column_, *n);
            else if (v.asText().isEmpty())
                sheet_->clear(row_, column_);
            else
                sheet_->setText(row_, column_, v.asText());
        } else if (v.kind() == VariantKind::Empty) {
            sheet_->clear(row_, column_);
        } else if (v.kind() == VariantKind::Bool) {
            sheet_->setText(row_, column_, v.asBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        } else {
            sheet_->setNumber(row_, column_, finiteNumber(r, v));
        }
    }

    Variant dispatch(const Request& r) override
    {
        if (r.is("Value") || r.is("Value2")) {
            if (r.isPut()) {
                write(r);
                return {};
            }
            r.read(0, 1);
            const Cell* c = sheet_->cell(row_, column_);
            if (!c || c->kind == Cell::Kind::Empty)
                return {};
            if (c->kind == Cell::Kind::Number)
                return Variant::real(c->number);
            return Variant::text(sheet_->texts[c->text]);
        }
        if (r.is("Left") || r.is("Top") || r.is("Width") || r.is("Height") || r.is("Row") || r.is("Column")) {
            if (r.isPut())
                r.readOnly();
            r.read();
            if (r.is("Left"))
                return Variant::real((column_ - 1) * kColumnWidthPt);
            if (r.is("Top"))
                return Variant::real((row_ - 1) * kRowHeightPt);
            if (r.is("Width"))
                return Variant::real(kColumnWidthPt);
            if (r.is("Height"))
                return Variant::real(kRowHeightPt);
            return Variant::int32(r.is("Row") ? row_ : column_);
        }
        r.unknown();
    }
    Sheet* sheet_;
    std::int32_t row_;
    std::int32_t column_;
};

class WorksheetObject : public Object {
public:
    WorksheetObject(AppPtr app, Workbook* book, Sheet* sheet) : Object(std::move(app)), book_(book), sheet_(sheet) {}

private:
    const char* className() const override { return "Worksheet"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Cells")) {
            r.read(2, 2);
            const std::int32_t row = r.intArg(0);
            const std::int32_t column = r.intArg(1);
            if (row < 1 || row > kLastRow || column < 1 || column > kLastColumn)
                r.fail(QStringLiteral("row %1, column %2 lie outside the sheet").arg(row).arg(column));
            return make<RangeObject>(sheet_, row, column);
        }
        if (r.is("Shapes")) {
            r.read();
            return make<ShapesObject>(book_, sheet_);
        }
        if (r.is("Name")) {
            r.read();
            return Variant::text(sheet_->name);
        }
        r.unknown();
    }
    Workbook* book_;
    Sheet* sheet_;
};

class WorkbookObject : public Object {
public:
    WorkbookObject(AppPtr app, Workbook* book) : Object(std::move(app)), book_(book) {}

private:
    const char* className() const override { return "Workbook"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Sheets") || r.is("Worksheets")) {
            r.read(1, 1);
            Sheet* sheet = nullptr;
            if (r.arg(0).kind() == VariantKind::Text) {
                sheet = book_->findSheet(r.arg(0).asText());
                if (!sheet) {
                    r.fail(QStringLiteral("the workbook '%1' has no sheet named '%2'")
                               .arg(book_->name, r.arg(0).asText()));
                }
            } else {
                const std::int32_t index = r.intArg(0);
                if (index < 1 || static_cast<std::size_t>(index) > book_->sheets.size())
                    r.fail(QStringLiteral("the workbook '%1' has no sheet %2").arg(book_->name).arg(index));
                sheet = book_->sheets[static_cast<std::size_t>(index - 1)].get();
            }
            return make<WorksheetObject>(book_, sheet);
        }
        if (r.is("Name")) {
            r.read();
            return Variant::text(book_->name);
        }
        r.unknown();
    }
    Workbook* book_;
};

class WorkbooksObject : public Object {
public:
    using Object::Object;

private:
    const char* className() const override { return "Workbooks"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Add")) {
            r.read();
            WorkbookBackend::Session& s = *app_->session;
            auto book = std::make_shared<Workbook>();
            book->name = QStringLiteral("Book%1").arg(s.nextNumber++);
            auto sheet = std::make_unique<Sheet>();
            sheet->name = QStringLiteral("Sheet1");
            book->sheets.push_back(std::move(sheet));
            app_->workbooks.push_back(book);
            s.workbooks.push_back(book);
            return make<WorkbookObject>(book.get());
        }
        if (r.is("Count")) {
            r.read();
            return Variant::int32(static_cast<std::int32_t>(app_->workbooks.size()));
        }
        r.unknown();
    }
};

class ApplicationObject : public Object {
public:
    using Object::Object;

private:
    const char* className() const override { return "Application"; }
    Variant dispatch(const Request& r) override
    {
        if (r.is("Application")) {
            r.read();
            return make<ApplicationObject>();
        }
        if (r.is("Visible"))
            return boolProperty(r, app_->visible);
        if (r.is("Workbooks")) {
            r.read();
            return make<WorkbooksObject>();
        }
        if (r.is("ActiveChart")) {
            r.read();
            if (!app_->activeChart)
                return Variant::object(AutomationObject());
            for (const auto& book : app_->workbooks)
                for (const auto& sheet : book->sheets)
                    for (const auto& shape : sheet->shapes)
                        if (shape->chart.get() == app_->activeChart)
                            return make<ChartObject>(book.get(), app_->activeChart);
            return Variant::object(AutomationObject());
        }
        if (r.is("Name")) {
            r.read();
            return Variant::text(QStringLiteral("Microsoft Excel"));
        }
        r.unknown();
    }
};

}  // namespace

WorkbookBackend::WorkbookBackend(QChar decimalSeparator) : session_(std::make_shared<Session>())
{
    session_->separator = decimalSeparator;
}

AutomationObject WorkbookBackend::createApplication()
{
    auto app = std::make_shared<AppState>();
    app->session = session_;
    return AutomationObject(std::make_shared<ApplicationObject>(app));
}

int WorkbookBackend::workbookCount() const
{
    return static_cast<int>(session_->workbooks.size());
}

QString WorkbookBackend::workbookName(int index) const
{
    return session_->workbooks.at(static_cast<std::size_t>(index))->name;
}

void WorkbookBackend::setFirstWorkbookNumber(int number)
{
    session_->nextNumber = number;
}

void WorkbookBackend::setConstantMemoryThreshold(std::int64_t cells)
{
    session_->constantMemoryThreshold = cells;
}

void WorkbookBackend::setCreated(std::optional<std::int64_t> created)
{
    session_->created = created;
}

void WorkbookBackend::save(int index, const QString& path, const std::function<bool()>& cancelled) const
{
    const Workbook& book = *session_->workbooks.at(static_cast<std::size_t>(index));
    std::int64_t cells = 0;
    for (const auto& sheet : book.sheets)
        cells += sheet->cellCount();
    writeWorkbook(book, path, cells > session_->constantMemoryThreshold, cancelled, session_->created);
}

}  // namespace rz::excel
