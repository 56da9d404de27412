#pragma once

#include <QString>
#include <QStringList>

class DocumentName;

// Finds the local copy of a document in a list of folders: the folder of the
// current document (when the caller passes one), the library folder, then
// any read-only folders such as a mirror of the RFC series.
class LibraryLocator
{
public:
    // Folders searched in this order; empty entries are ignored.
    explicit LibraryLocator(QStringList folders);

    // The path of the document's file in the first folder holding one, in
    // any letter case; for an RFC "rfcN.txt" before "rfcNNNN.txt". A draft
    // without revision finds its newest revision in any folder (the earlier
    // folder on a tie). Empty when no folder holds it or the name is a BCP or STD.
    QString find(const DocumentName &name) const;

private:
    QString findDraft(const DocumentName &name) const;

    QStringList m_folders;
};
