#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The program's own help window: the page with its links, headings, lists
// and images, and a way back after following a link.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(const QString &programName, QWidget *parent = nullptr);

    // Opens the page (again, if it is already shown) and brings the window up.
    void showPage(const QUrl &page);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
