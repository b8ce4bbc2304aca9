#pragma once

#include <QHash>
#include <QString>

#include <string>
#include <vector>

namespace movilibro::report {

// The texts of one record field, row after row, in little memory: while few
// texts repeat (accounts, periods) each is held once and a row costs four
// bytes; once too many differ (descriptions) every text is held end to end
// in one UTF-8 buffer.
class TextColumn
{
public:
    void append(const QString& text);
    QString at(int row) const;
    int size() const { return int(m_pooled ? m_ids.size() : m_ends.size()); }

private:
    void unpool();
    void appendToBuffer(const QString& text);

    bool m_pooled = true;
    std::vector<quint32> m_ids; // per row, into m_distinct
    std::vector<QString> m_distinct;
    QHash<QString, quint32> m_idOf;
    std::string m_buffer;
    std::vector<size_t> m_ends; // per row, where its text ends in m_buffer
};

} // namespace movilibro::report
