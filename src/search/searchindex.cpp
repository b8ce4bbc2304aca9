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

void SearchIndex::build(const std::vector<QString>& descriptions, const std::vector<QString>& accounts)
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

    // Pooled names share their data: look them up by address first.
    QHash<const QChar*, quint32> byAddress;
    QHash<QString, quint32> byName;
    m_accountOf.resize(rows);
    for (size_t k = 0; k < rows && k < accounts.size(); ++k) {
        const QString& name = accounts[k];
        auto it = byAddress.constFind(name.constData());
        if (it == byAddress.cend()) {
            auto named = byName.constFind(name);
            if (named == byName.cend()) {
                named = byName.insert(name, quint32(m_accounts.size()));
                m_accounts.push_back(foldText(name));
            }
            it = byAddress.insert(name.constData(), *named);
        }
        m_accountOf[k] = *it;
    }
    if (m_accounts.empty())
        m_accounts.emplace_back();
    m_built = true;
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
