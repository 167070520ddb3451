#pragma once

// The order of the children of chart elements in a written workbook, checked against the
// sequences of the chart schema (ECMA-376 Part 1, dml-chart.xsd), written out here on
// their own rather than taken from the writer. Strict spreadsheet programs drop a chart
// whose elements are out of this order.

#include "core/io/ZipArchive.h"

#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <initializer_list>
#include <vector>

namespace rz::excel::test {

struct SchemaSequence {
    const char* element;                          // "scatterChart/ser": a series of a scatter chart
    std::vector<std::vector<const char*>> order;  // one entry per place; a choice shares one
};

inline const std::vector<SchemaSequence>& chartSchemaSequences()
{
    // clang-format off
    static const std::vector<SchemaSequence> sequences = {
        // CT_Chart
        {"chart", {{"title"}, {"autoTitleDeleted"}, {"pivotFmts"}, {"view3D"}, {"floor"}, {"sideWall"},
                   {"backWall"}, {"plotArea"}, {"legend"}, {"plotVisOnly"}, {"dispBlanksAs"},
                   {"showDLblsOverMax"}, {"extLst"}}},
        // CT_ScatterChart
        {"scatterChart", {{"scatterStyle"}, {"varyColors"}, {"ser"}, {"dLbls"}, {"axId"}, {"extLst"}}},
        // CT_ScatterSer: EG_SerShared, then its own
        {"scatterChart/ser", {{"idx"}, {"order"}, {"tx"}, {"spPr"}, {"marker"}, {"dPt"}, {"dLbls"}, {"trendline"},
                              {"errBars"}, {"xVal"}, {"yVal"}, {"smooth"}, {"extLst"}}},
        // CT_ValAx: EG_AxShared, then its own
        {"valAx", {{"axId"}, {"scaling"}, {"delete"}, {"axPos"}, {"majorGridlines"}, {"minorGridlines"},
                   {"title"}, {"numFmt"}, {"majorTickMark"}, {"minorTickMark"}, {"tickLblPos"}, {"spPr"},
                   {"txPr"}, {"crossAx"}, {"crosses", "crossesAt"}, {"crossBetween"}, {"majorUnit"},
                   {"minorUnit"}, {"dispUnits"}, {"extLst"}}},
        // CT_Legend
        {"legend", {{"legendPos"}, {"legendEntry"}, {"layout"}, {"overlay"}, {"spPr"}, {"txPr"}, {"extLst"}}},
    };
    // clang-format on
    return sequences;
}

// Every place where a chart part of the workbook breaks those sequences ("legend: overlay
// after txPr"), or why the workbook could not be read.
inline QStringList chartOrderProblems(const QString& xlsxPath)
{
    static const QString chartNamespace = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/chart");
    QHash<QString, QHash<QString, int>> ranks;
    for (const SchemaSequence& s : chartSchemaSequences()) {
        int rank = 0;
        for (const auto& place : s.order) {
            for (const char* name : place)
                ranks[QLatin1StringView(s.element)].insert(QLatin1StringView(name), rank);
            ++rank;
        }
    }

    QStringList problems;
    try {
        const ZipReader zip = ZipReader::openFile(xlsxPath);
        static const QRegularExpression chartPart(QStringLiteral("^xl/charts/chart\\d+\\.xml$"));
        for (const QString& part : zip.entryNames()) {
            if (!chartPart.match(part).hasMatch())
                continue;
            struct Open {
                QString key;   // its entry in ranks, or empty when not checked
                QString name;  // local name
                int lastRank = -1;
                QString lastChild;
            };
            std::vector<Open> stack;
            QXmlStreamReader xml(zip.read(part));
            while (!xml.atEnd()) {
                const auto token = xml.readNext();
                if (token == QXmlStreamReader::EndElement) {
                    stack.pop_back();
                    continue;
                }
                if (token != QXmlStreamReader::StartElement)
                    continue;
                const QString name = xml.name().toString();
                const bool chartElement = xml.namespaceUri() == chartNamespace;
                if (!stack.empty() && !stack.back().key.isEmpty()) {
                    Open& parent = stack.back();
                    const auto& table = ranks[parent.key];
                    if (!chartElement || !table.contains(name)) {
                        problems << QStringLiteral("%1 %2: unexpected child %3").arg(part, parent.key, name);
                    } else if (table.value(name) < parent.lastRank) {
                        problems << QStringLiteral("%1 %2: %3 after %4").arg(part, parent.key, name, parent.lastChild);
                    } else {
                        parent.lastRank = table.value(name);
                        parent.lastChild = name;
                    }
                }
                QString key =
                    name == QLatin1String("ser") && !stack.empty() ? stack.back().name + QStringLiteral("/ser") : name;
                if (!chartElement || !ranks.contains(key))
                    key.clear();
                stack.push_back({key, name, -1, {}});
            }
            if (xml.hasError())
                problems << QStringLiteral("%1: %2").arg(part, xml.errorString());
        }
    } catch (const std::exception& e) {
        problems << QString::fromUtf8(e.what());
    }
    return problems;
}

}  // namespace rz::excel::test
