#include "bodyinflater.h"

#include <zlib.h>

namespace {

constexpr qsizetype StepBytes = 64 * 1024;
// Window bits: 15, plus 32 to take a gzip or a zlib header alike.
constexpr int GzipOrZlib = 15 + 32;

} // namespace

BodyInflater::BodyInflater(qint64 limit) : m_stream(std::make_unique<z_stream_s>()), m_limit(limit)
{
    m_valid = inflateInit2(m_stream.get(), GzipOrZlib) == Z_OK;
}

BodyInflater::~BodyInflater()
{
    if (m_valid)
        inflateEnd(m_stream.get());
}

BodyInflater::Result BodyInflater::feed(QByteArrayView data, QByteArray *out)
{
    if (!m_valid)
        return Result::Damaged;
    // Bytes after the end of the stream are not part of the document.
    if (m_complete)
        return data.isEmpty() ? Result::Ok : Result::Damaged;
    m_stream->next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    m_stream->avail_in = uInt(data.size());
    // In steps, so that no more than a step past the limit is ever held.
    while (m_stream->avail_in > 0 && !m_complete) {
        const qsizetype before = out->size();
        out->resize(before + StepBytes);
        m_stream->next_out = reinterpret_cast<Bytef *>(out->data() + before);
        m_stream->avail_out = uInt(StepBytes);
        const int result = inflate(m_stream.get(), Z_NO_FLUSH);
        const qsizetype produced = StepBytes - qsizetype(m_stream->avail_out);
        out->resize(before + produced);
        m_inflated += produced;
        if (result == Z_STREAM_END)
            m_complete = true;
        else if (result != Z_OK)
            return Result::Damaged;
        if (m_inflated > m_limit)
            return Result::TooLarge;
    }
    return m_complete && m_stream->avail_in > 0 ? Result::Damaged : Result::Ok;
}
