#include "search/searchindex.h"

#include "search/textfold.h"

#include <QHash>

namespace movilibro::search {

void SearchIndex::clear()
{
    m_text.clear();
    m_begin.clear();
    m_accounts.clear();
    m_accountOf.clear();
    m_built = false;
}

void SearchIndex::build(const std::vector<QString>& descriptions, const std::vector<quint32>& accountIds,
                        const std::vector<QString>& accountNames)
{
    foldDescriptions(descriptions);
    m_accountOf.assign(descriptions.size(), 0);
    for (size_t k = 0; k < descriptions.size() && k < accountIds.size(); ++k)
        m_accountOf[k] = accountIds[k];
    for (const QString& name : accountNames)
        m_accounts.push_back(foldText(name));
    if (m_accounts.empty())
        m_accounts.emplace_back();
    m_built = true;
}

void SearchIndex::foldDescriptions(const std::vector<QString>& descriptions)
{
    clear();
    const size_t rows = descriptions.size();
    qsizetype total = 0;
    for (const QString& d : descriptions)
        total += d.size();
    m_text.reserve(total);
    m_begin.reserve(rows + 1);
    for (const QString& d : descriptions) {
        m_begin.push_back(m_text.size());
        appendFolded(d, m_text);
    }
    m_begin.push_back(m_text.size());
}

QStringView SearchIndex::description(int row) const
{
    return QStringView(m_text).mid(m_begin[row], m_begin[row + 1] - m_begin[row]);
}

std::vector<quint8> SearchIndex::match(const Query& query, const std::vector<qint64>& incomes,
                                       const std::vector<quint8>& incomeNulls,
                                       const std::vector<qint64>& outgoings,
                                       const std::vector<quint8>& outgoingNulls) const
{
    const int words = query.wordCount();
    // Few accounts, many rows: each word is tried on each account name once.
    std::vector<std::vector<quint8>> accountHit(words, std::vector<quint8>(m_accounts.size()));
    for (int w = 0; w < words; ++w) {
        for (size_t a = 0; a < m_accounts.size(); ++a)
            accountHit[w][a] = query.wordMatchesText(w, m_accounts[a]);
    }
    const int rows = size();
    std::vector<quint8> keep(rows, 0);
    for (int k = 0; k < rows; ++k) {
        const qint64 in = incomeNulls[k] ? 0 : incomes[k];
        const qint64 out = outgoingNulls[k] ? 0 : outgoings[k];
        if (!query.directionPasses(in, out))
            continue;
        bool pass = true;
        for (int w = 0; w < words && pass; ++w) {
            const bool text = accountHit[w][m_accountOf[k]] || query.wordMatchesText(w, description(k));
            pass = query.wordPasses(w, text, in, out);
        }
        keep[k] = pass;
    }
    return keep;
}

} // namespace movilibro::search
