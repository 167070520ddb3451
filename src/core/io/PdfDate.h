#pragma once

#include <QByteArray>
#include <QDateTime>

// The date a PDF says it was made. Qt's PDF writer always writes the time of writing into
// /CreationDate; the batch tool's files carry the run's date instead (SOURCE_DATE_EPOCH when
// set), as its reports and workbooks do, so that the same run gives the same bytes.
namespace rz {

// Rewrites the first "/CreationDate (D:YYYYMMDDHHmmSS<zone>)" of pdf to `when`, shown in
// the same zone ("Z", or "+HH'mm'" / "-HH'mm'") so that its length, and so every offset in the
// cross-reference table, stays as it is. Returns false, leaving pdf unchanged, when it holds
// no such date or `when` has no four-digit year in that zone.
bool stampPdfCreationDate(QByteArray& pdf, const QDateTime& when);

}  // namespace rz
