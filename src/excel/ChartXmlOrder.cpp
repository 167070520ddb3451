#include "excel/ChartXmlOrder.h"

#include <QBuffer>
#include <QHash>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace rz::excel {

namespace {

const QString kChartNamespace = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/chart");
const QString kDrawingNamespace = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");

using RankTable = QHash<QString, QHash<QString, int>>;

// The sequences of the chart schema (dml-chart.xsd) and of the DrawingML types that chart
// parts use (dml-main.xsd), as far as a scatter chart can hold them. Each entry names the
// element's type by its local name (a series with its chart's) and lists the places of
// its children in order; the elements of one choice share a place.
RankTable buildRanks()
{
    RankTable table;
    auto add = [&table](const char* type, std::initializer_list<std::initializer_list<const char*>> order) {
        QHash<QString, int>& ranks = table[QLatin1StringView(type)];
        int rank = 0;
        for (const auto& place : order) {
            for (const char* name : place)
                ranks.insert(QLatin1StringView(name), rank);
            ++rank;
        }
    };
    // clang-format off
    add("chartSpace", {{"date1904"}, {"lang"}, {"roundedCorners"}, {"style"}, {"clrMapOvr"}, {"pivotSource"},
                       {"protection"}, {"chart"}, {"spPr"}, {"txPr"}, {"externalData"}, {"printSettings"},
                       {"userShapes"}, {"extLst"}});
    add("chart", {{"title"}, {"autoTitleDeleted"}, {"pivotFmts"}, {"view3D"}, {"floor"}, {"sideWall"}, {"backWall"},
                  {"plotArea"}, {"legend"}, {"plotVisOnly"}, {"dispBlanksAs"}, {"showDLblsOverMax"}, {"extLst"}});
    add("plotArea", {{"layout"},
                     {"areaChart", "area3DChart", "lineChart", "line3DChart", "stockChart", "radarChart",
                      "scatterChart", "pieChart", "pie3DChart", "doughnutChart", "barChart", "bar3DChart",
                      "ofPieChart", "surfaceChart", "surface3DChart", "bubbleChart"},
                     {"valAx", "catAx", "dateAx", "serAx"}, {"dTable"}, {"spPr"}, {"extLst"}});
    add("scatterChart", {{"scatterStyle"}, {"varyColors"}, {"ser"}, {"dLbls"}, {"axId"}, {"extLst"}});
    add("scatterChart/ser", {{"idx"}, {"order"}, {"tx"}, {"spPr"}, {"marker"}, {"dPt"}, {"dLbls"}, {"trendline"},
                             {"errBars"}, {"xVal"}, {"yVal"}, {"smooth"}, {"extLst"}});
    add("valAx", {{"axId"}, {"scaling"}, {"delete"}, {"axPos"}, {"majorGridlines"}, {"minorGridlines"}, {"title"},
                  {"numFmt"}, {"majorTickMark"}, {"minorTickMark"}, {"tickLblPos"}, {"spPr"}, {"txPr"}, {"crossAx"},
                  {"crosses", "crossesAt"}, {"crossBetween"}, {"majorUnit"}, {"minorUnit"}, {"dispUnits"},
                  {"extLst"}});
    add("legend", {{"legendPos"}, {"legendEntry"}, {"layout"}, {"overlay"}, {"spPr"}, {"txPr"}, {"extLst"}});
    add("legendEntry", {{"idx"}, {"delete", "txPr"}, {"extLst"}});
    add("title", {{"tx"}, {"layout"}, {"overlay"}, {"spPr"}, {"txPr"}, {"extLst"}});
    add("marker", {{"symbol"}, {"size"}, {"spPr"}, {"extLst"}});
    add("scaling", {{"logBase"}, {"orientation"}, {"max"}, {"min"}, {"extLst"}});
    add("layout", {{"manualLayout"}, {"extLst"}});
    add("manualLayout", {{"layoutTarget"}, {"xMode"}, {"yMode"}, {"wMode"}, {"hMode"}, {"x"}, {"y"}, {"w"}, {"h"},
                         {"extLst"}});
    add("numRef", {{"f"}, {"numCache"}, {"extLst"}});
    add("strRef", {{"f"}, {"strCache"}, {"extLst"}});
    add("numCache", {{"formatCode"}, {"ptCount"}, {"pt"}, {"extLst"}});
    add("strCache", {{"ptCount"}, {"pt"}, {"extLst"}});
    add("printSettings", {{"headerFooter"}, {"pageMargins"}, {"pageSetup"}, {"legacyDrawingHF"}});
    add("spPr", {{"xfrm"}, {"custGeom", "prstGeom"},
                 {"noFill", "solidFill", "gradFill", "blipFill", "pattFill", "grpFill"}, {"ln"},
                 {"effectLst", "effectDag"}, {"scene3d"}, {"sp3d"}, {"extLst"}});
    add("ln", {{"noFill", "solidFill", "gradFill", "pattFill"}, {"prstDash", "custDash"}, {"round", "bevel", "miter"},
               {"headEnd"}, {"tailEnd"}, {"extLst"}});
    add("txPr", {{"bodyPr"}, {"lstStyle"}, {"p"}});
    add("rich", {{"bodyPr"}, {"lstStyle"}, {"p"}});
    add("p", {{"pPr"}, {"r", "br", "fld"}, {"endParaRPr"}});
    add("r", {{"rPr"}, {"t"}});
    add("pPr", {{"lnSpc"}, {"spcBef"}, {"spcAft"}, {"buClrTx", "buClr"}, {"buSzTx", "buSzPct", "buSzPts"},
                {"buFontTx", "buFont"}, {"buNone", "buAutoNum", "buChar", "buBlip"}, {"tabLst"}, {"defRPr"},
                {"extLst"}});
    // Character properties: one sequence under three names.
    for (const char* type : {"defRPr", "rPr", "endParaRPr"})
        add(type, {{"ln"}, {"noFill", "solidFill", "gradFill", "blipFill", "pattFill", "grpFill"},
                   {"effectLst", "effectDag"}, {"highlight"}, {"uLnTx", "uLn"}, {"uFillTx", "uFill"}, {"latin"},
                   {"ea"}, {"cs"}, {"sym"}, {"hlinkClick"}, {"hlinkMouseOver"}, {"rtl"}, {"extLst"}});
    // clang-format on
    return table;
}

const RankTable& ranks()
{
    static const RankTable table = buildRanks();
    return table;
}

struct Node {
    bool isText = false;
    QString text;  // a text node's characters
    QString qualifiedName;
    QString namespaceUri;
    QString localName;
    QXmlStreamAttributes attributes;
    QXmlStreamNamespaceDeclarations namespaces;
    std::vector<Node> children;
};

// The key of an element in the rank table: its local name, a series with its chart's.
QString typeKey(const Node& node, const Node* parent)
{
    if (node.namespaceUri != kChartNamespace && node.namespaceUri != kDrawingNamespace)
        return {};
    if (node.localName == QLatin1String("ser"))
        return parent ? parent->localName + QStringLiteral("/ser") : QString();
    return node.localName;
}

Node readElement(QXmlStreamReader& reader)
{
    Node node;
    node.qualifiedName = reader.qualifiedName().toString();
    node.namespaceUri = reader.namespaceUri().toString();
    node.localName = reader.name().toString();
    node.attributes = reader.attributes();
    node.namespaces = reader.namespaceDeclarations();
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                node.children.push_back(readElement(reader));
                break;
            case QXmlStreamReader::Characters: {
                Node text;
                text.isText = true;
                text.text = reader.text().toString();
                node.children.push_back(std::move(text));
                break;
            }
            case QXmlStreamReader::EndElement:
                return node;
            default:  // comments and processing instructions carry nothing a chart needs
                break;
        }
    }
    return node;
}

// Puts the children of node, and of everything below it, in schema order; true when any
// element moved.
bool order(Node& node, const Node* parent)
{
    bool moved = false;
    for (Node& child : node.children)
        if (!child.isText)
            moved = order(child, &node) || moved;

    const auto table = ranks().constFind(typeKey(node, parent));
    if (table == ranks().constEnd())
        return moved;
    // Layout blanks between elements go; an unnamed element keeps the place of the one
    // before it.
    std::vector<std::pair<int, Node>> ranked;
    int previous = 0;
    for (Node& child : node.children) {
        if (child.isText && child.text.trimmed().isEmpty())
            continue;
        const int rank = child.isText ? previous : table->value(child.localName, previous);
        ranked.emplace_back(rank, std::move(child));
        previous = rank;
    }
    const bool sorted =
        std::is_sorted(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (!sorted)
        std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    node.children.clear();
    for (auto& [rank, child] : ranked)
        node.children.push_back(std::move(child));
    return moved || !sorted;
}

// The cached values of a series (every point, nearly all of a chart part) need no
// reordering: each cache is set aside unparsed, an empty placeholder takes its place, and
// the writer puts the cache back byte for byte. Escaped text never holds "<", so the tags
// are found as they stand.
constexpr char kSetAside[] = "rzSetAside";

struct SetAside {
    QByteArray xml;                      // the part with placeholders
    std::vector<QByteArrayView> caches;  // views into the original part
};

SetAside setCachesAside(const QByteArray& xml)
{
    static const QByteArray tags[] = {QByteArrayLiteral("numCache"), QByteArrayLiteral("strCache")};
    SetAside out;
    qsizetype from = 0;
    for (;;) {
        qsizetype start = -1;
        QByteArray name;
        for (const QByteArray& tag : tags) {
            const qsizetype at = xml.indexOf("<c:" + tag + '>', from);
            if (at >= 0 && (start < 0 || at < start)) {
                start = at;
                name = tag;
            }
        }
        const QByteArray close = "</c:" + name + '>';
        const qsizetype end = start < 0 ? -1 : xml.indexOf(close, start);
        if (end < 0)
            break;
        const qsizetype after = end + close.size();
        out.xml += QByteArrayView(xml).sliced(from, start - from);
        out.xml += "<c:" + name + ' ' + kSetAside + "=\"" + QByteArray::number(out.caches.size()) + "\"/>";
        out.caches.push_back(QByteArrayView(xml).sliced(start, after - start));
        from = after;
    }
    out.xml += QByteArrayView(xml).sliced(from);
    return out;
}

void writeNode(QXmlStreamWriter& writer, QIODevice& device, const Node& node, const std::vector<QByteArrayView>& caches)
{
    if (node.isText) {
        writer.writeCharacters(node.text);
        return;
    }
    bool isNumber = false;
    const qsizetype cache = node.attributes.value(QLatin1StringView(kSetAside)).toLongLong(&isNumber);
    if (isNumber && cache >= 0 && cache < static_cast<qsizetype>(caches.size())) {
        // No characters, but the parent's start tag is closed before the bytes go in.
        writer.writeCharacters(QString());
        device.write(caches[static_cast<std::size_t>(cache)].data(), caches[static_cast<std::size_t>(cache)].size());
        return;
    }
    // Names are written as they were read, prefixes included, with the declarations where
    // they stood.
    writer.writeStartElement(node.qualifiedName);
    for (const QXmlStreamNamespaceDeclaration& ns : node.namespaces) {
        if (ns.prefix().isEmpty())
            writer.writeDefaultNamespace(ns.namespaceUri().toString());
        else
            writer.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
    }
    for (const QXmlStreamAttribute& attribute : node.attributes)
        writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
    for (const Node& child : node.children)
        writeNode(writer, device, child, caches);
    writer.writeEndElement();
}

}  // namespace

std::optional<QByteArray> chartXmlInSchemaOrder(const QByteArray& xml)
{
    const SetAside part = setCachesAside(xml);
    QXmlStreamReader reader(part.xml);
    Node root;
    bool haveRoot = false;
    bool standalone = false;
    QString version = QStringLiteral("1.0");
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartDocument) {
            standalone = reader.isStandaloneDocument();
            if (!reader.documentVersion().isEmpty())
                version = reader.documentVersion().toString();
        } else if (token == QXmlStreamReader::StartElement && !haveRoot) {
            root = readElement(reader);
            haveRoot = true;
        }
    }
    if (reader.hasError() || !haveRoot)
        throw ChartXmlError(QStringLiteral("The chart part is not well-formed XML (line %1: %2)")
                                .arg(reader.lineNumber())
                                .arg(haveRoot ? reader.errorString() : QStringLiteral("no root element"))
                                .toStdString());
    if (!order(root, nullptr))
        return std::nullopt;

    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.writeStartDocument(version, standalone);
    writeNode(writer, buffer, root, part.caches);
    writer.writeEndDocument();
    return out;
}

}  // namespace rz::excel
