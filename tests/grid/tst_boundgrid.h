#pragma once

#include <QObject>
#include <QTemporaryDir>

class TestBoundGrid : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void loadsTheQueryInItsOrder();
    void accountsPanePresentation();
    void currentRowFollowsTheAccount_data();
    void currentRowFollowsTheAccount();
    void emptyTableHasNoCurrentValue();
    void failedQueryLeavesTheGridEmpty_data();
    void failedQueryLeavesTheGridEmpty();
    void modelPassesTester();
    void accountsOfAJournalFromTheTemplate();

private:
    QString journalPath() const;
    void exec(const QString& sql);

    std::unique_ptr<QTemporaryDir> m_dir;
};
