// A PDF's creation date rewritten in place: the run's date in the zone the writer used, at
// the same length, so that the offsets of the cross-reference table stay right.
#include "core/io/PdfDate.h"

#include <gtest/gtest.h>

namespace rz {
namespace {

// The Info dictionary as Qt's writer lays it out, with a cross-reference offset after it.
QByteArray pdfWithDate(const QByteArray& date)
{
    return "%PDF-1.4\n1 0 obj\n<<\n/Producer (x)\n/CreationDate (D:" + date +
           ")\n>>\nendobj\nxref\n0 2\n"
           "0000000000 65535 f \n0000000009 00000 n \nstartxref\n120\n%%EOF\n";
}

// 1700000000 s after 1970 is 2023-11-14 22:13:20 UTC.
const QDateTime kRun = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);

TEST(PdfDate, TheRunsDateInTheWritersZone)
{
    struct Case {
        QByteArray written, stamped;
    };
    const Case cases[] = {
        {"20261211095856Z", "20231114221320Z"},
        {"20260701120000+02'00'", "20231115001320+02'00'"},
        {"20261211095856-05'30'", "20231114164320-05'30'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        QByteArray pdf = pdfWithDate(c.written);
        ASSERT_TRUE(stampPdfCreationDate(pdf, kRun));
        EXPECT_EQ(pdf, pdfWithDate(c.stamped));
    }
    // Local time or UTC, the same moment gives the same bytes.
    QByteArray utc = pdfWithDate("20261211095856Z");
    QByteArray local = utc;
    stampPdfCreationDate(utc, kRun);
    stampPdfCreationDate(local, kRun.toLocalTime());
    EXPECT_EQ(local, utc);
}

TEST(PdfDate, WhatItCannotReadStaysAsItIs)
{
    const QByteArray cases[] = {
        "%PDF-1.4\n<< /Producer (x) >>\n",  // no date at all
        pdfWithDate("2026121109585Z"),      // a digit short
        pdfWithDate("2026121109585xZ"),
        pdfWithDate("20261211095856+1'00'"),  // a zone it does not know
        pdfWithDate("20261211095856"),
        "%PDF-1.4\n/CreationDate (D:20261211",  // cut off before its end
    };
    for (const QByteArray& original : cases) {
        SCOPED_TRACE(original.toStdString());
        QByteArray pdf = original;
        EXPECT_FALSE(stampPdfCreationDate(pdf, kRun));
        EXPECT_EQ(pdf, original);
    }
    // A date that does not fit in four digits of year, or none at all.
    QByteArray pdf = pdfWithDate("20261211095856Z");
    EXPECT_FALSE(stampPdfCreationDate(pdf, QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC)));
    EXPECT_FALSE(stampPdfCreationDate(pdf, QDateTime()));
    EXPECT_EQ(pdf, pdfWithDate("20261211095856Z"));
}

}  // namespace
}  // namespace rz
