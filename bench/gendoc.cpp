#include "gendoc.h"

#include <QFile>

#include <array>
#include <string>
#include <string_view>

namespace gendoc {
namespace {

constexpr int Columns = 72;
constexpr int PageLines = 58;
// Header, two blanks before the body; blank, footer and form feed after it.
constexpr int BodyLines = PageLines - 6;

constexpr std::array<std::string_view, 48> Words = {
    "the",      "of",       "a",         "to",        "and",       "is",       "in",      "that",
    "be",       "for",      "an",        "this",      "by",        "with",     "as",      "or",
    "are",      "on",       "it",        "which",     "from",      "not",      "if",      "any",
    "message",  "header",   "field",     "request",   "response",  "server",   "client",  "value",
    "protocol", "section",  "connection", "resource", "entity",    "method",   "cache",   "proxy",
    "transfer", "encoding", "length",    "octets",    "sequence",  "received", "state",   "option",
};

class Random
{
public:
    quint64 next()
    {
        m_state += 0x9E3779B97F4A7C15ull;
        quint64 z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    bool chance(int inN) { return below(inN) == 0; }

private:
    quint64 m_state = 0x5EED;
};

class Writer
{
public:
    Writer(QFile &file, qint64 target) : m_file(file), m_target(target) {}

    bool done() const { return m_written + qint64(m_buffer.size()) >= m_target; }
    bool failed() const { return m_failed; }

    void line(std::string_view text)
    {
        if (m_onPage == BodyLines + 3)
            endPage();
        if (m_onPage == 0)
            startPage();
        put(text);
        ++m_onPage;
    }
    // Starts a new page unless this one has room for the lines: a heading
    // is not left alone at the foot of a page.
    void keepTogether(int lines)
    {
        if (m_onPage > 0 && m_onPage + lines > BodyLines + 3)
            endPage();
    }

    void flush()
    {
        if (m_file.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size()))
            m_failed = true;
        m_written += qint64(m_buffer.size());
        m_buffer.clear();
    }

private:
    void put(std::string_view text)
    {
        m_buffer.append(text);
        m_buffer.push_back('\n');
        if (m_buffer.size() > (1 << 20))
            flush();
    }
    static std::string spread(std::string_view left, std::string_view middle, std::string_view right)
    {
        std::string out(Columns, ' ');
        out.replace(0, left.size(), left);
        out.replace((Columns - middle.size()) / 2, middle.size(), middle);
        out.replace(Columns - right.size(), right.size(), right);
        return out;
    }
    void startPage()
    {
        if (m_page > 0)
            put(spread("RFC 9999", "Generated Reading Text", "January 2024"));
        else
            put(spread("Network Working Group", "", "Bench"));
        put("");
        put("");
        m_onPage = 3;
    }
    void endPage()
    {
        ++m_page;
        put("");
        put(spread("Bench", "Informational", "[Page " + std::to_string(m_page) + "]"));
        put("\f");
        m_onPage = 0;
    }

    QFile &m_file;
    qint64 m_target;
    qint64 m_written = 0;
    std::string m_buffer;
    int m_onPage = 0;
    int m_page = 0;
    bool m_failed = false;
};

std::string headingText(Random &random, const std::array<int, 3> &numbers, int level)
{
    std::string text;
    for (int i = 0; i < level; ++i)
        text += std::to_string(numbers[size_t(i)]) + '.';
    text += "  ";
    const int words = 2 + random.below(4);
    for (int i = 0; i < words; ++i) {
        std::string word(Words[size_t(24 + random.below(24))]);
        word[0] = char(word[0] - 'a' + 'A');
        text += (i ? " " : "") + word;
    }
    return text;
}

std::string bodyLine(Random &random, bool last)
{
    std::string text = "   ";
    const int limit = last ? 30 + random.below(40) : Columns;
    const bool common = random.chance(40);
    const int commonAt = random.below(6);
    for (int i = 0;; ++i) {
        const std::string_view word = (common && i == commonAt) ? "MUST" : Words[size_t(random.below(48))];
        if (int(text.size() + 1 + word.size()) > limit)
            break;
        if (text.size() > 3)
            text += ' ';
        text += word;
    }
    if (last)
        text += '.';
    return text;
}

} // namespace

QString write(const QString &path, qint64 targetBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    Random random;
    Writer out(file, targetBytes);
    std::array<int, 3> numbers{0, 0, 0};
    while (!out.done()) {
        // About one paragraph in four opens a section: ~3% of all lines.
        if (random.below(100) < 23 || numbers[0] == 0) {
            int level = 1;
            if (numbers[0] > 0) {
                const int roll = random.below(100);
                level = roll < 15 ? 1 : roll < 60 ? 2 : 3;
                if (level == 3 && numbers[1] == 0)
                    level = 2;
            }
            ++numbers[size_t(level - 1)];
            for (int deeper = level; deeper < 3; ++deeper)
                numbers[size_t(deeper)] = 0;
            out.keepTogether(4);
            out.line(headingText(random, numbers, level));
            out.line("");
        }
        const int lines = 2 + random.below(7);
        for (int i = 0; i < lines; ++i)
            out.line(bodyLine(random, i + 1 == lines));
        out.line("");
    }
    out.flush();
    if (out.failed() || !file.flush())
        return file.errorString();
    return QString();
}

QString writeLongLine(const QString &path, qint64 targetBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    Random random;
    std::string chunk;
    for (qint64 written = 0; written < targetBytes;) {
        chunk.clear();
        while (chunk.size() < (1 << 20) && written + qint64(chunk.size()) < targetBytes) {
            chunk += Words[size_t(random.below(48))];
            chunk += ' ';
        }
        if (file.write(chunk.data(), qint64(chunk.size())) != qint64(chunk.size()))
            return file.errorString();
        written += qint64(chunk.size());
    }
    return file.flush() ? QString() : file.errorString();
}

} // namespace gendoc
