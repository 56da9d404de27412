#include "genindex.h"

#include <QList>
#include <QMap>

#include <array>
#include <random>
#include <string_view>

namespace genindex {
namespace {

constexpr std::array<std::string_view, 32> Words = {
    "Transmission", "Control",   "Protocol",  "Internet",   "Message",   "Format",   "Routing",   "Security",
    "Extensions",   "Transport", "Layer",     "Domain",     "Name",      "System",   "Mail",      "Header",
    "Session",      "Framework", "Management", "Information", "Base",    "Version",  "Network",   "Address",
    "Multicast",    "Service",   "Encoding",  "Requirements", "Architecture", "Media", "Authentication", "Key",
};
constexpr std::array<std::string_view, 12> Months = {
    "January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December",
};
constexpr std::array<std::string_view, 7> Statuses = {
    "PROPOSED STANDARD", "INFORMATIONAL", "INTERNET STANDARD", "EXPERIMENTAL",
    "BEST CURRENT PRACTICE", "HISTORIC", "UNKNOWN",
};

class Generator
{
public:
    explicit Generator(int entries) : m_entries(entries) { planRelations(); }

    QByteArray run()
    {
        m_out.reserve(qsizetype(m_entries) * 1400);
        m_out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                 "<rfc-index xmlns=\"http://www.rfc-editor.org/rfc-index\"\n"
                 "           xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
                 "           xsi:schemaLocation=\"http://www.rfc-editor.org/rfc-index\n"
                 "                               http://www.rfc-editor.org/rfc-index.xsd\">\n";
        writeSeries("bcp-entry", "BCP", m_bcps);
        for (int number = 1; number <= m_entries; ++number)
            writeRfc(number);
        writeSeries("std-entry", "STD", m_stds);
        m_out += "</rfc-index>\n";
        return m_out;
    }

private:
    int below(int n) { return int(m_random() % quint64(n)); }

    // Relations point from newer RFCs to older ones, as in the real series.
    void planRelations()
    {
        for (int number = 2; number <= m_entries; ++number) {
            if (below(10) == 0) {
                const int older = 1 + below(number - 1);
                m_obsoletes[number].append(older);
                m_obsoletedBy[older].append(number);
            }
            for (int count = below(5) == 0 ? 1 + below(3) : 0; count > 0; --count) {
                const int older = 1 + below(number - 1);
                m_updates[number].append(older);
                m_updatedBy[older].append(number);
            }
        }
        for (int series = 1; series <= m_entries / 40; ++series) {
            for (int count = 1 + below(2); count > 0; --count) {
                m_bcps[series].append(1 + below(m_entries));
                m_stds[series].append(1 + below(m_entries));
            }
            for (int rfc : m_bcps[series])
                m_isAlso[rfc].append(docId("BCP", series));
            for (int rfc : m_stds[series])
                m_isAlso[rfc].append(docId("STD", series));
        }
    }

    static QByteArray docId(const char *series, int number)
    {
        return series + QByteArray::number(number).rightJustified(4, '0');
    }

    QByteArray words(int count)
    {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                text += ' ';
            const std::string_view word = Words[below(int(Words.size()))];
            text.append(word.data(), qsizetype(word.size()));
        }
        return text;
    }

    void element(const char *indent, const char *name, const QByteArray &text)
    {
        m_out += indent;
        m_out += '<';
        m_out += name;
        m_out += '>';
        m_out += text;
        m_out += "</";
        m_out += name;
        m_out += ">\n";
    }

    void docIds(const char *name, const QList<QByteArray> &ids)
    {
        if (ids.isEmpty())
            return;
        m_out += "        <";
        m_out += name;
        m_out += ">\n";
        for (const QByteArray &id : ids)
            element("            ", "doc-id", id);
        m_out += "        </";
        m_out += name;
        m_out += ">\n";
    }

    static QList<QByteArray> rfcIds(const QList<int> &numbers)
    {
        QList<QByteArray> ids;
        for (int number : numbers)
            ids.append(docId("RFC", number));
        return ids;
    }

    void writeRfc(int number)
    {
        const QByteArray id = docId("RFC", number);
        m_out += "    <rfc-entry>\n";
        element("        ", "doc-id", id);
        element("        ", "title", words(2 + below(7)));
        for (int authors = 1 + below(3); authors > 0; --authors) {
            m_out += "        <author>\n";
            element("            ", "name", QByteArray(1, char('A' + below(26))) + ". " + words(1));
            if (below(8) == 0)
                element("            ", "title", "Editor");
            m_out += "        </author>\n";
        }
        m_out += "        <date>\n";
        const std::string_view month = Months[below(12)];
        element("            ", "month", QByteArray(month.data(), qsizetype(month.size())));
        element("            ", "year", QByteArray::number(1969 + number * 54 / std::max(m_entries, 1)));
        m_out += "        </date>\n";
        m_out += "        <format>\n";
        element("            ", "file-format", "ASCII");
        element("            ", "file-format", "HTML");
        m_out += "        </format>\n";
        element("        ", "page-count", QByteArray::number(1 + below(200)));
        m_out += "        <keywords>\n";
        for (int keywords = below(4); keywords > 0; --keywords)
            element("            ", "kw", words(1 + below(2)));
        m_out += "        </keywords>\n";
        m_out += "        <abstract>\n";
        for (int paragraphs = 1 + below(2); paragraphs > 0; --paragraphs)
            element("            ", "p", words(40 + below(60)));
        m_out += "        </abstract>\n";
        element("        ", "draft", "draft-ietf-" + words(2).toLower().replace(' ', '-') + "-0" + QByteArray::number(below(10)));
        docIds("obsoletes", rfcIds(m_obsoletes.value(number)));
        docIds("obsoleted-by", rfcIds(m_obsoletedBy.value(number)));
        docIds("updates", rfcIds(m_updates.value(number)));
        docIds("updated-by", rfcIds(m_updatedBy.value(number)));
        docIds("is-also", m_isAlso.value(number));
        const std::string_view status = Statuses[below(int(Statuses.size()))];
        const QByteArray statusText(status.data(), qsizetype(status.size()));
        element("        ", "current-status", statusText);
        element("        ", "publication-status", statusText);
        element("        ", "stream", "IETF");
        element("        ", "area", "tsv");
        element("        ", "wg_acronym", "tcpm");
        if (below(5) == 0)
            element("        ", "errata-url", "https://www.rfc-editor.org/errata/rfc" + QByteArray::number(number));
        element("        ", "doi", "10.17487/" + id);
        m_out += "    </rfc-entry>\n";
    }

    void writeSeries(const char *entryName, const char *series, const QMap<int, QList<int>> &members)
    {
        for (auto it = members.cbegin(); it != members.cend(); ++it) {
            m_out += "    <";
            m_out += entryName;
            m_out += ">\n";
            element("        ", "doc-id", docId(series, it.key()));
            element("        ", "title", words(3));
            docIds("is-also", rfcIds(it.value()));
            m_out += "    </";
            m_out += entryName;
            m_out += ">\n";
        }
    }

    int m_entries;
    std::mt19937_64 m_random{0x5EED};
    QMap<int, QList<int>> m_obsoletes;
    QMap<int, QList<int>> m_obsoletedBy;
    QMap<int, QList<int>> m_updates;
    QMap<int, QList<int>> m_updatedBy;
    QMap<int, QList<int>> m_bcps;
    QMap<int, QList<int>> m_stds;
    QMap<int, QList<QByteArray>> m_isAlso;
    QByteArray m_out;
};

} // namespace

QByteArray generate(int entries)
{
    return Generator(entries).run();
}

} // namespace genindex
