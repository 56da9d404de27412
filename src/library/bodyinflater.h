#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

struct z_stream_s;

// Inflates a gzip or zlib body as it arrives, never past a limit: a small
// compressed body may stand for gigabytes of text.
class BodyInflater
{
public:
    enum class Result { Ok, TooLarge, Damaged };

    explicit BodyInflater(qint64 limit);
    ~BodyInflater();
    BodyInflater(const BodyInflater &) = delete;
    BodyInflater &operator=(const BodyInflater &) = delete;

    // Appends what data inflates to in *out; nothing more once not Ok.
    Result feed(QByteArrayView data, QByteArray *out);
    // Whether the compressed stream ended.
    bool isComplete() const { return m_complete; }

private:
    std::unique_ptr<z_stream_s> m_stream;
    const qint64 m_limit;
    qint64 m_inflated = 0;
    bool m_complete = false;
    bool m_valid = false;
};
