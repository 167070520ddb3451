#include "excel/WorkbookBackend.h"

#include "core/text/NumberText.h"
#include "excel/BackendObject.h"
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
using namespace backend;

// --- the objects -----------------------------------------------------------------------

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
            return chartObject(app_, book_, shape_->chart.get());
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
                            return chartObject(app_, book.get(), app_->activeChart);
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
