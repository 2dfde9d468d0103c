#pragma once

#include <QPointer>
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
    // The program's one viewer: shows the page in `viewer`, opening one
    // when there is none. A viewer deletes itself when the user closes it,
    // which clears `viewer`.
    static void showIn(QPointer<HelpViewer> &viewer, const QString &programName, const QUrl &page);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
