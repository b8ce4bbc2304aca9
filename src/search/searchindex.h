#pragma once

#include "search/searchquery.h"

#include <QString>
#include <QStringView>

#include <vector>

namespace movilibro::search {

// The folded texts of a list of entries, made once so that each search over
// them only compares: descriptions in one buffer, account names once each.
class SearchIndex
{
public:
    // Row k's account is accountNames[accountIds[k]]; each name is folded once.
    void build(const std::vector<QString>& descriptions, const std::vector<quint32>& accountIds,
               const std::vector<QString>& accountNames);
    void clear();
    bool isBuilt() const { return m_built; }
    int size() const { return int(m_accountOf.size()); }

    QStringView description(int row) const;
    QStringView account(int row) const { return m_accounts[m_accountOf[row]]; }

    // One flag per row (0-based): 1 where the entry matches the query.
    // `incomes` and `outgoings` hold ten-thousandths, `*Nulls` non-zero for
    // empty amounts, as the journal grid keeps them.
    std::vector<quint8> match(const Query& query, const std::vector<qint64>& incomes,
                              const std::vector<quint8>& incomeNulls, const std::vector<qint64>& outgoings,
                              const std::vector<quint8>& outgoingNulls) const;

private:
    void foldDescriptions(const std::vector<QString>& descriptions);

    QString m_text;
    std::vector<qsizetype> m_begin; // size() + 1 offsets into m_text
    std::vector<QString> m_accounts;
    std::vector<quint32> m_accountOf;
    bool m_built = false;
};

} // namespace movilibro::search
