#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to a file, creating it; fails the test when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

// "line 0 of the document text", "line 1 ...", one per line, each with a line end.
QByteArray numberedLines(int count);

// A file of the real RFC and draft texts kept with the tests.
QString corpusFile(const QString &name);
