#pragma once

#include <QObject>

class TestGridRows : public QObject
{
    Q_OBJECT

private slots:
    void journalLayouts_data();
    void journalLayouts();
    void groupSums_data();
    void groupSums();
    void treeLinksAgree_data();
    void treeLinksAgree();
    void progressiveBalance_data();
    void progressiveBalance();
    void textGroupsFollowItalianCollation();
    void emptyValuesGroupFirst_data();
    void emptyValuesGroupFirst();
    void descendingGroups();
    void sortKeysWithWideRanges_data();
    void sortKeysWithWideRanges();
    void headerAndTotalValues();
    void captionsCanBeWritten();
    void noGroupsGivesEntriesOnly();
    void noRowsGivesNoGroups();
    void overflowingSumThrows();
    void badColumnKeepsPreviousLayout();
    void shrunkDataReadsEmpty();
    void positionsOutOfRangeThrow();
};
