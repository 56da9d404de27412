#pragma once

#include "measure.h"

#include <QList>
#include <QString>

namespace bench {

// Compares the document with a copy in which about 1% of the lines are
// changed, moved or re-wrapped: the diff alone, the comparison window's
// first screen (both files read, compared, tinted and painted) and the whole
// comparison (also the one-column form and the last change painted), beside
// the floor of setting both texts into plain views.
QList<Row> measureComparison(const QString &path, int repeat);

// For each consecutive pair of revisions in the folder (draft-NAME-NN.txt),
// how far the changed lines agree with those of diff(1) run on the same
// stripped texts: the lines both mark, over the lines either marks.
QList<Row> measureDraftAgreement(const QString &folder);

} // namespace bench
