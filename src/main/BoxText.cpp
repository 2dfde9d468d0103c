#include "BoxText.h"

#include <algorithm>
#include <cstring>

BoxText::BoxText(const QString &text, qsizetype gapAt)
{
    m_start = gapAt;
    m_gap = text.size() / 8 + 4096;
    m_buffer = QString(text.size() + m_gap, Qt::Uninitialized);
    std::copy_n(text.constData(), gapAt, m_buffer.data());
    std::copy_n(text.constData() + gapAt, text.size() - gapAt, m_buffer.data() + gapAt + m_gap);
}

QString BoxText::mid(qsizetype position, qsizetype length) const
{
    const qsizetype before = std::clamp<qsizetype>(m_start - position, 0, length);
    QString text(length, Qt::Uninitialized);
    std::copy_n(m_buffer.constData() + position, before, text.data());
    std::copy_n(m_buffer.constData() + m_start + m_gap + (position + before - m_start), length - before, text.data() + before);
    return text;
}

void BoxText::moveGap(qsizetype position, qsizetype room)
{
    if (m_gap < room) {
        // Grown by an eighth of the text at least: a long paste or much
        // typing reallocates now and then, never at every key.
        const qsizetype gap = std::max<qsizetype>(room, size() / 8 + 4096);
        QString grown(size() + gap, Qt::Uninitialized);
        std::copy_n(m_buffer.constData(), m_start, grown.data());
        std::copy_n(m_buffer.constData() + m_start + m_gap, size() - m_start, grown.data() + m_start + gap);
        m_buffer = std::move(grown);
        m_gap = gap;
    }
    QChar *data = m_buffer.data();
    if (position < m_start)
        std::memmove(data + position + m_gap, data + position, (m_start - position) * sizeof(QChar));
    else
        std::memmove(data + m_start, data + m_start + m_gap, (position - m_start) * sizeof(QChar));
    m_start = position;
}

void BoxText::replace(qsizetype position, qsizetype removed, QStringView added)
{
    moveGap(position, added.size() - removed);
    m_gap += removed;
    std::copy_n(added.data(), added.size(), m_buffer.data() + m_start);
    m_start += added.size();
    m_gap -= added.size();
}

qsizetype BoxText::commonPrefix(QStringView other) const
{
    const qsizetype most = std::min(size(), other.size());
    qsizetype same = 0;
    while (same < most && at(same) == other[same])
        ++same;
    return same;
}

qsizetype BoxText::commonSuffix(QStringView other, qsizetype prefix) const
{
    const qsizetype most = std::min(size(), other.size()) - prefix;
    qsizetype same = 0;
    while (same < most && at(size() - 1 - same) == other[other.size() - 1 - same])
        ++same;
    return same;
}
