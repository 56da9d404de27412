#include "genlibrary.h"

#include "documenttext.h"
#include "pagelayout.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace genlibrary {
namespace {

constexpr int Columns = 72;
constexpr int PageLines = 58;

QString spread(const QString &left, const QString &middle, const QString &right)
{
    QString line(Columns, u' ');
    line.replace(0, left.size(), left);
    line.replace((Columns - middle.size()) / 2, middle.size(), middle);
    line.replace(Columns - right.size(), right.size(), right);
    return line;
}

// Lines into pages: a running header on top, a footer with the page number
// and a form feed at the bottom of each.
class PageWriter
{
public:
    explicit PageWriter(int rfc) : m_rfc(rfc) {}

    void line(const QString &text)
    {
        if (m_onPage == PageLines - 3)
            endPage();
        if (m_onPage == 0 && m_page > 0) {
            m_text += spread(QStringLiteral("RFC %1").arg(m_rfc), QStringLiteral("Generated Document"),
                             QStringLiteral("March 2021"))
                      + QStringLiteral("\n\n");
            m_onPage = 2;
        }
        m_text += text + u'\n';
        ++m_onPage;
    }
    // A heading is not left alone at the foot of a page.
    void keepTogether(int lines)
    {
        if (m_onPage + lines > PageLines - 3)
            endPage();
    }
    qsizetype size() const { return m_text.size(); }
    QString finish()
    {
        endPage();
        return m_text;
    }

private:
    void endPage()
    {
        ++m_page;
        m_text += u'\n' + spread(QStringLiteral("Writer"), QStringLiteral("Standards Track"),
                                 QStringLiteral("[Page %1]").arg(m_page))
                  + QStringLiteral("\n\f\n");
        m_onPage = 0;
    }

    const int m_rfc;
    QString m_text;
    int m_onPage = 0;
    int m_page = 0;
};

// A section title from the first words of a paragraph, capitalized.
QString titleFrom(const QStringList &paragraph)
{
    const QStringList words = paragraph.join(u' ').simplified().split(u' ');
    QStringList title;
    for (const QString &word : words.mid(0, 5)) {
        QString cleaned = word;
        cleaned.remove(QChar(u',')).remove(QChar(u'.')).remove(QChar(u';'));
        if (!cleaned.isEmpty())
            title << cleaned.left(1).toUpper() + cleaned.mid(1);
    }
    return title.join(u' ');
}

QString document(const std::vector<QStringList> &paragraphs, int rfc, qsizetype target, QRandomGenerator &random)
{
    const auto pick = [&]() -> const QStringList & { return paragraphs[random.bounded(quint32(paragraphs.size()))]; };
    PageWriter out(rfc);
    out.line(spread(QStringLiteral("Internet Engineering Task Force (IETF)"), QString(), QStringLiteral("A. Writer")));
    out.line(spread(QStringLiteral("Request for Comments: %1").arg(rfc), QString(), QStringLiteral("Example Org")));
    out.line(spread(QStringLiteral("Category: Standards Track"), QString(), QStringLiteral("March 2021")));
    out.line(QStringLiteral("ISSN: 2070-1721"));
    out.line(QString());
    out.line(spread(QString(), QStringLiteral("Generated Document %1").arg(rfc), QString()));
    out.line(QString());
    out.line(QStringLiteral("Abstract"));
    out.line(QString());
    for (const QString &line : pick())
        out.line(line);
    out.line(QString());
    int numbers[3] = {0, 0, 0};
    while (out.size() < target) {
        int level = numbers[0] == 0 ? 1 : 1 + int(random.bounded(3));
        if (level == 3 && numbers[1] == 0)
            level = 2;
        ++numbers[level - 1];
        for (int deeper = level; deeper < 3; ++deeper)
            numbers[deeper] = 0;
        QString number;
        for (int i = 0; i < level; ++i)
            number += QString::number(numbers[i]) + u'.';
        out.keepTogether(4);
        out.line(number + QStringLiteral("  ") + titleFrom(pick()));
        out.line(QString());
        for (int count = 1 + int(random.bounded(6)); count > 0; --count) {
            for (const QString &line : pick())
                out.line(line);
            out.line(QString());
        }
    }
    return out.finish();
}

} // namespace

std::vector<QStringList> readParagraphs(const QString &folder)
{
    std::vector<QStringList> paragraphs;
    for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        const DocumentText text = DocumentText::read(file.filePath());
        if (!text.ok())
            continue;
        const std::vector<PageFold> folds = findPageFolds(text.text());
        auto fold = folds.begin();
        QStringList paragraph;
        bool body = true;
        int line = -1;
        const auto end = [&] {
            if (!paragraph.isEmpty() && body)
                paragraphs.push_back(paragraph);
            paragraph.clear();
            body = true;
        };
        text.forEachLine([&](QStringView view, bool) {
            ++line;
            while (fold != folds.end() && fold->lastLine < line)
                ++fold;
            if (fold != folds.end() && fold->firstLine <= line)
                return;
            QString content = view.toString();
            content.remove(u'\f');
            if (content.trimmed().isEmpty()) {
                end();
                return;
            }
            // Headings, titles and running text flush left are not body text.
            body = body && content.front().isSpace() && content.size() <= Columns;
            paragraph << content;
        });
        end();
    }
    return paragraphs;
}

qint64 writeLibrary(const std::vector<QStringList> &paragraphs, const QString &folder, int count, QString *error)
{
    if (paragraphs.empty()) {
        *error = QStringLiteral("no paragraphs to draw from");
        return -1;
    }
    qint64 bytes = 0;
    for (int i = 0; i < count; ++i) {
        QRandomGenerator random(quint32(i + 1));
        const qsizetype target = 10000 + qsizetype(random.bounded(80000));
        const QByteArray text = document(paragraphs, 10000 + i, target, random).toUtf8();
        QFile file(QDir(folder).filePath(QStringLiteral("rfc%1.txt").arg(10000 + i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            *error = file.errorString();
            return -1;
        }
        bytes += text.size();
    }
    return bytes;
}

} // namespace genlibrary
