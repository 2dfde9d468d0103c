#pragma once

#include <QString>
#include <QStringView>

// A memo box's text as the program keeps it beside the box, changed where
// the box reports a change. A gap buffer: text, a gap, text; a change moves
// the gap to where it is made, so that a key costs the same at the start of
// a long memo as at its end once the typing is there.
class BoxText
{
public:
    BoxText() = default;
    // The gap at `gapAt`, where typing is likely to begin.
    explicit BoxText(const QString &text, qsizetype gapAt = 0);

    qsizetype size() const { return m_buffer.size() - m_gap; }
    QString mid(qsizetype position, qsizetype length) const;
    QString toString() const { return mid(0, size()); }
    void replace(qsizetype position, qsizetype removed, QStringView added);
    // How many characters at the start, and then at the end, the text has
    // in common with `other`; the two never overlap.
    qsizetype commonPrefix(QStringView other) const;
    qsizetype commonSuffix(QStringView other, qsizetype prefix) const;

private:
    QChar at(qsizetype position) const { return m_buffer.at(position < m_start ? position : position + m_gap); }
    void moveGap(qsizetype position, qsizetype room);

    QString m_buffer;
    qsizetype m_start = 0; // where the gap begins
    qsizetype m_gap = 0;
};
