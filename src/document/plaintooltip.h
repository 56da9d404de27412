#pragma once

#include <QString>
#include <QTextDocument>

// A tool tip takes any text that looks like markup for rich text, images
// included: text from a document, a file name or the RFC index is shown as
// it is written.
inline QString plainToolTip(const QString &text)
{
    return text.isEmpty() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}
