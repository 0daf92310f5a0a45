#pragma once

#include "browser/BrowserView.h"

#include <QList>

class QLabel;

// Stands where the web page would be in builds without the web engine: says
// so, shows the address the window asked for and keeps a plain history, so
// the window's navigation can be followed and checked.
class PlaceholderView : public BrowserView
{
    Q_OBJECT

public:
    explicit PlaceholderView(QWidget *parent = nullptr);

    void navigate(const QUrl &url) override;
    void goBack() override;
    void goForward() override;
    void stop() override;

    // Every address navigate() received, in order (back and forward add none).
    const QList<QUrl> &navigations() const { return m_navigations; }
    // The address shown now, after back and forward; empty before the first navigation.
    QUrl currentUrl() const;
    int stopCount() const { return m_stops; }
    // The line that says why no page is shown.
    void setNote(const QString &note);
    QString note() const { return m_note; }

private:
    void showCurrent();

    QLabel *m_label = nullptr;
    QString m_note;
    QList<QUrl> m_navigations;
    QList<QUrl> m_history;
    qsizetype m_current = -1;
    int m_stops = 0;
};
