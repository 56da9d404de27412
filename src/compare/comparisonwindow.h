#pragma once

#include "searchabletext.h"

#include <QMdiSubWindow>

#include <memory>

struct ComparedRevisions;
class QCheckBox;
class QLabel;
class QTreeWidget;
class TextView;

// Two revisions side by side, read-only: changed lines tinted (removed red,
// added green, changed amber) with their changed words marked, the views
// scrolling together, the newer revision's index with its changed sections
// marked, and a way from change to change. One column shows the newer text
// with the removed lines set in where they stood.
class ComparisonWindow : public QMdiSubWindow, public SearchableText
{
    Q_OBJECT

public:
    explicit ComparisonWindow(std::shared_ptr<const ComparedRevisions> revisions, QWidget *parent = nullptr);
    ~ComparisonWindow() override;

    const ComparedRevisions &revisions() const { return *m_revisions; }
    void setTextFont(const QFont &font);

    int changeCount() const;
    // The change last gone to, or -1.
    int currentChange() const { return m_current; }
    void goToChange(int index);
    void nextChange();
    void previousChange();

    void setOneColumn(bool oneColumn);
    bool isOneColumn() const;

    // The comparison as text, for a file or the clipboard.
    QString unifiedDiff() const;
    QString oldNewListing() const;

    // Find and Copy Reference work in the side that last had the focus.
    TextView *searchedView() const override { return m_searched; }
    void search(const QString &text, SearchOptions options) override;
    void searchAgain() override;
    MatchResult findMatch(const QString &text, SearchOptions options, qint32 from, bool forward) override;
    void markMatches(const QString &text, SearchOptions options) override;
    QString reference() const override;

    TextView *oldView() const { return m_oldView; }
    TextView *newView() const { return m_newView; }
    TextView *inlineView() const { return m_inlineView; }
    QTreeWidget *index() const { return m_index; }
    // "Change 2 of 7"
    QLabel *position() const { return m_position; }

private:
    void tintSides();
    void fillIndex();
    void fillInline();
    void followScroll(TextView *from, TextView *to, bool fromOld);
    void showPosition();
    DocumentFind &findOf(TextView *view);

    std::shared_ptr<const ComparedRevisions> m_revisions;
    TextView *m_oldView;
    TextView *m_newView;
    TextView *m_inlineView;
    QTreeWidget *m_index;
    QLabel *m_position;
    QCheckBox *m_oneColumn;
    TextView *m_searched;
    DocumentFind m_oldFind;
    DocumentFind m_newFind;
    DocumentFind m_inlineFind;
    // The inline text's line of each new-text line.
    std::vector<int> m_inlineLineOfNew;
    int m_current = -1;
    bool m_following = false;
};
