#include "citedbypanel.h"

#include <QFileInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <map>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LineRole = Qt::UserRole + 1;

using Kind = DocumentCitation::Kind;

QString placeText(const CitingPlace &place)
{
    return place.section.isEmpty() ? QStringLiteral("Line %1").arg(place.line)
           : place.section.front().isLetter()
               ? QStringLiteral("Appendix %1, line %2").arg(place.section).arg(place.line)
               : QStringLiteral("Section %1, line %2").arg(place.section).arg(place.line);
}

} // namespace

CitedByPanel::CitedByPanel(QWidget *parent)
    : QWidget(parent)
    , m_tree(new QTreeWidget)
{
    m_tree->setHeaderHidden(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        if (const int line = item->data(0, LineRole).toInt(); line > 0)
            emit placeChosen(item->data(0, PathRole).toString(), line);
    });
}

void CitedByPanel::setPlaces(const std::vector<CitingPlace> &places)
{
    m_tree->clear();
    // Each document's places in order, and the strongest kind it cites with.
    std::map<QString, std::vector<const CitingPlace *>> byDocument;
    std::map<QString, Kind> kindOf;
    for (const CitingPlace &place : places) {
        byDocument[place.path].push_back(&place);
        Kind &kind = kindOf.try_emplace(place.path, Kind::Unknown).first->second;
        if (place.kind == Kind::Normative || (place.kind == Kind::Informative && kind == Kind::Unknown))
            kind = place.kind;
    }
    m_documents = int(byDocument.size());
    m_normative = int(std::count_if(kindOf.begin(), kindOf.end(),
                                    [](const auto &entry) { return entry.second == Kind::Normative; }));
    const std::pair<Kind, QString> groups[] = {
        {Kind::Normative, QStringLiteral("Normatively")},
        {Kind::Informative, QStringLiteral("Informatively")},
        {Kind::Unknown, QStringLiteral("Elsewhere")},
    };
    for (const auto &[kind, title] : groups) {
        QList<QTreeWidgetItem *> documents;
        for (const auto &[path, cited] : byDocument) {
            if (kindOf[path] != kind)
                continue;
            auto *document = new QTreeWidgetItem(QStringList(QFileInfo(path).fileName()));
            document->setToolTip(0, path);
            document->setData(0, PathRole, path);
            document->setData(0, LineRole, cited.front()->line);
            for (const CitingPlace *place : cited) {
                auto *item = new QTreeWidgetItem(document, QStringList(placeText(*place)));
                item->setData(0, PathRole, path);
                item->setData(0, LineRole, place->line);
            }
            documents << document;
        }
        if (documents.isEmpty())
            continue;
        auto *group = new QTreeWidgetItem(m_tree, QStringList(QStringLiteral("%1 (%2)").arg(title).arg(documents.size())));
        group->setFlags(Qt::ItemIsEnabled);
        group->addChildren(documents);
        group->setExpanded(true);
    }
    if (m_tree->topLevelItemCount() == 0) {
        auto *none = new QTreeWidgetItem(m_tree, QStringList(QStringLiteral("No document of the library cites it")));
        none->setFlags(Qt::NoItemFlags);
    }
}
