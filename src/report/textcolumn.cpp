#include "report/textcolumn.h"

namespace movilibro::report {

namespace {
// Accounts and periods stay well below.
constexpr qsizetype PooledTexts = 4096;
} // namespace

void TextColumn::append(const QString& text)
{
    if (!m_pooled) {
        appendToBuffer(text);
        return;
    }
    auto found = m_idOf.constFind(text);
    if (found == m_idOf.cend()) {
        if (m_distinct.size() >= size_t(PooledTexts)) {
            unpool();
            appendToBuffer(text);
            return;
        }
        found = m_idOf.insert(text, quint32(m_distinct.size()));
        m_distinct.push_back(text);
    }
    m_ids.push_back(*found);
}

QString TextColumn::at(int row) const
{
    if (m_pooled)
        return m_distinct[m_ids[size_t(row)]];
    const size_t begin = row == 0 ? 0 : m_ends[size_t(row) - 1];
    return QString::fromUtf8(m_buffer.data() + begin, qsizetype(m_ends[size_t(row)] - begin));
}

void TextColumn::unpool()
{
    m_pooled = false;
    for (const quint32 id : m_ids)
        appendToBuffer(m_distinct[id]);
    m_ids = {};
    m_distinct = {};
    m_idOf = {};
}

void TextColumn::appendToBuffer(const QString& text)
{
    m_buffer += text.toStdString();
    m_ends.push_back(m_buffer.size());
}

} // namespace movilibro::report
