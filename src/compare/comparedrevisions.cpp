#include "comparedrevisions.h"

#include <QFileInfo>

std::shared_ptr<const ComparedRevisions> ComparedRevisions::read(const QString &oldPath, const QString &newPath)
{
    auto revisions = std::make_shared<ComparedRevisions>();
    revisions->oldPath = oldPath;
    revisions->newPath = newPath;
    revisions->oldText = DocumentText::read(oldPath);
    revisions->newText = DocumentText::read(newPath);
    for (const auto &[text, path] : {std::pair{&revisions->oldText, oldPath}, {&revisions->newText, newPath}}) {
        if (!text->ok()) {
            revisions->error = QStringLiteral("%1 cannot be compared: %2")
                                   .arg(QFileInfo(path).fileName(), text->errorString());
            return revisions;
        }
    }
    revisions->oldOutline = parseOutline(revisions->oldText);
    revisions->newOutline = parseOutline(revisions->newText);
    revisions->comparison.emplace(revisions->oldText.text(), revisions->newText.text());
    return revisions;
}
