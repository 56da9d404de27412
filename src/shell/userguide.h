#pragma once

#include <QTextBrowser>

// Help > User Guide: the guide compiled into the program, read-only, in a
// window of its own.
class UserGuide : public QTextBrowser
{
    Q_OBJECT

public:
    // Where the resource keeps it.
    static const char *const ResourcePath;

    explicit UserGuide(QWidget *parent = nullptr);
};
