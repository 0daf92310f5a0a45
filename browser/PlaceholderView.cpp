#include "browser/PlaceholderView.h"

#include <QLabel>
#include <QVBoxLayout>

PlaceholderView::PlaceholderView(QWidget *parent)
    : BrowserView(parent)
    , m_note(QStringLiteral("Este Lumivortex foi compilado sem o navegador embutido."))
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setFocusPolicy(Qt::StrongFocus);

    m_label = new QLabel(this);
    m_label->setTextFormat(Qt::PlainText); // shows the address asked for
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    showCurrent();
}

void PlaceholderView::navigate(const QUrl &url)
{
    m_navigations.append(url);
    // A new address drops whatever lay ahead of the current page, as browsers do.
    m_history.resize(m_current + 1);
    m_history.append(url);
    m_current = m_history.size() - 1;
    showCurrent();
}

void PlaceholderView::goBack()
{
    if (m_current > 0) {
        --m_current;
        showCurrent();
    }
}

void PlaceholderView::goForward()
{
    if (m_current + 1 < m_history.size()) {
        ++m_current;
        showCurrent();
    }
}

void PlaceholderView::stop()
{
    ++m_stops;
}

QUrl PlaceholderView::currentUrl() const
{
    return m_current >= 0 ? m_history.at(m_current) : QUrl();
}

void PlaceholderView::setNote(const QString &note)
{
    m_note = note;
    showCurrent();
}

void PlaceholderView::showCurrent()
{
    const QUrl url = currentUrl();
    m_label->setText(url.isEmpty() ? m_note : m_note + QStringLiteral("\n\n") + url.toDisplayString());
}
