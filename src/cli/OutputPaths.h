#pragma once

#include "cli/Options.h"

#include <QString>
#include <QStringList>

// Where the batch tool writes, and the checks made before it writes anything: two FILEs
// whose outputs would share a name, or an output that would replace one of the FILEs.
namespace rz::cli {

// The name every output of a specimen starts with in --out-dir: DIR/<stem>_, the stem
// from its name (specimenNames: "specA/data.csv" gives specA_data). From the path as given,
// so that a file whose import failed is named like the others.
QString outputStem(const Options& o, const QString& name);

// DIR/<stem>_TestSheet.pdf, where --test-sheet writes the specimen's page.
QString testSheetPath(const Options& o, const QString& name);

// Every file the run writes for the specimen of that name into --out-dir (none without it).
QStringList outDirOutputs(const Options& o, const QString& name);

// Two of files that would write the same <stem>_YieldingPoint.* into --out-dir ("a.csv" and
// "a.txt" of one folder): the usage error naming them; empty when there are none. names:
// specimenNames(files), which names one file alike and different files apart.
QString outputNameClash(const QStringList& files, const QStringList& names);

// An output (--report, --summary, or one in --out-dir) that is one of files, which it would
// overwrite before or while it is read: the usage error naming both; empty when none is.
// names: specimenNames(files), needed only with --out-dir.
QString outputOverInput(const Options& o, const QStringList& files, const QStringList& names);

}  // namespace rz::cli
