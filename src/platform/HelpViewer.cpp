#include "HelpViewer.h"

#include "Platform.h"
#include "store/Texts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpViewer::HelpViewer(const QString &programName, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    // The icon is the application's, which the program sets once.
    const QString fallbackTitle = Texts::helpViewerTitle(programName);
    setWindowTitle(fallbackTitle);
    resize(760, 620);

    // Links to the web go to the desktop's browser; the viewer reads only
    // local pages.
    m_browser->setOpenExternalLinks(true);
    m_browser->setAccessibleName(Texts::helpPageName());

    auto *back = new QPushButton(QStringLiteral("戻る"), this);
    auto *top = new QPushButton(QStringLiteral("目次へ"), this);
    back->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(top, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this, fallbackTitle] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? fallbackTitle : title);
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(top);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
}

void HelpViewer::showPage(const QUrl &page)
{
    // A second request for the same page reads the file again, as a
    // browser navigating to it would.
    if (m_browser->source() == page)
        m_browser->reload();
    else
        m_browser->setSource(page);
    Platform::bringToFront(this);
}

void HelpViewer::showIn(QPointer<HelpViewer> &viewer, const QString &programName, const QUrl &page)
{
    if (!viewer)
        viewer = new HelpViewer(programName);
    viewer->showPage(page);
}
