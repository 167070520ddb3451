#include "excel/BackendObject.h"

#include <cmath>

// The chart's objects: Chart, SeriesCollection, Series, Axes, Axis, AxisTitle, TickLabels,
// Legend, PlotArea, ChartTitle, and the Format, Line, Fill, ColorFormat and Font they hand out.
namespace rz::excel::backend {

using namespace model;

namespace {

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

}  // namespace

Variant chartObject(const AppPtr& app, Workbook* book, Chart* chart)
{
    return Variant::object(AutomationObject(std::make_shared<ChartObject>(app, book, chart)));
}

}  // namespace rz::excel::backend
