#pragma once

#include "lists/SuggestedLists.h"

#include <QGroupBox>
#include <QTimer>
#include <QVector>

class GuideFeed;
class GuideRegistry;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

// "Guias de programação", a part of "Listas de canais": the guides kept with
// their state (channels and programmes kept, the time covered, the last
// refresh and error, the time offset), adding one by address or file or from
// the suggestions, renaming, refreshing and removing.
class GuideSourcesPanel : public QGroupBox
{
    Q_OBJECT

public:
    GuideSourcesPanel(GuideRegistry &registry, GuideFeed &feed, const QVector<SuggestedList> &suggested,
        QWidget *parent = nullptr);

    void addByAddress();
    void addFile();
    void addSuggested();
    void renameSelected();
    void refreshSelected();
    void removeSelected();
    // The selected guide's times move by hours (-12…+12).
    void setSelectedOffset(int hours);

    QSize sizeHint() const override;

    // "09/12 06:00 a 16/12 23:30" in local time, or "—" when nothing is known.
    static QString rangeText(const QDateTime &first, const QDateTime &last);

private:
    void showGuides();
    void showSelected();
    void showSuggestions();
    QString selectedId() const;
    void report(const QString &error);

    GuideRegistry &m_registry;
    GuideFeed &m_feed;
    QVector<SuggestedList> m_suggested;
    QTreeWidget *m_guides = nullptr;
    QLineEdit *m_address = nullptr;
    QLabel *m_message = nullptr;
    QSpinBox *m_offset = nullptr;
    QComboBox *m_suggestions = nullptr;
    QPushButton *m_addSuggested = nullptr;
    // Runs only while a guide is fetched or read, for the bytes received.
    QTimer m_busyTick;
};
