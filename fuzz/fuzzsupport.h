#pragma once

// Small helpers shared by the libFuzzer targets: a scratch folder for the
// input files and a check that aborts, so libFuzzer saves the input.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

// One folder per process: the code under test reads real files by path.
inline QString scratchPath(const QString &name)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/folivane-fuzz-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "fuzz: cannot make a scratch folder\n");
        std::abort();
    }
    return dir.filePath(name);
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

[[noreturn]] inline void fail(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "fuzz: check failed at %s:%d: %s\n", file, line, what);
    std::abort();
}

// The input as a byte array; copies, as the code under test may keep it.
inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

} // namespace fuzz

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::fuzz::fail(#cond, __FILE__, __LINE__);                                               \
    } while (0)
