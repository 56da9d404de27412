#pragma once

#include "documenttext.h"
#include "headingparser.h"
#include "revisioncomparison.h"

#include <QString>

#include <memory>
#include <optional>

// Two revisions read from their files and compared, with the newer one's
// index; made off the user-interface thread, then shown.
struct ComparedRevisions
{
    QString oldPath;
    QString newPath;
    DocumentText oldText;
    DocumentText newText;
    Outline oldOutline;
    Outline newOutline;
    // Views into the texts above, which therefore never move.
    std::optional<RevisionComparison> comparison;
    // Why a file could not be read; empty when both were.
    QString error;

    static std::shared_ptr<const ComparedRevisions> read(const QString &oldPath, const QString &newPath);
};
