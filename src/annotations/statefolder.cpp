#include "statefolder.h"

QString app_dir;
QString temp_dir;

QString StateFileName(const QString &documentPath)
{
    QString name = documentPath;
    for (QChar &c : name) {
        // "/" too: left alone it would put the file into folders that do not exist.
        if (c == u'\\' || c == u'/' || c == u':' || c == u'.')
            c = u'_';
    }
    return temp_dir + name;
}
