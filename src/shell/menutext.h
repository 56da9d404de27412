#pragma once

#include <QString>

// Text shown as it is in a tab or a menu, where "&" marks a mnemonic.
inline QString literalMenuText(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}
