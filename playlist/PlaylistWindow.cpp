#include "playlist/PlaylistWindow.h"

#include "base/SafeCall.h"
#include "player/PlaylistPlayback.h"
#include "playlist/PlaylistDialogs.h"
#include "playlist/PlaylistListBox.h"
#include "playlist/PlaylistRules.h"
#include "playlist/PlaylistStore.h"
#include "widgets/AnnouncedText.h"
#include "widgets/CaptionFit.h"
#include "widgets/FlatButton.h"

#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSaveFile>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

const QString Musica = QStringLiteral("Musica");
// The desktop's hot-track blue of the older player, under white text.
const QColor HotLight(0x00, 0x66, 0xCC);

QLabel *label(const QString &name, const QString &caption, QWidget *parent, int left, int top)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->move(left, top);
    l->adjustSize();
    return l;
}

// A name as it can be shown on one line of a message.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QStringLiteral("\u23CE"));
    text.replace(QLatin1Char('\r'), QStringLiteral("\u23CE"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\u23CE"));
    return text;
}

} // namespace

PlaylistWindow::PlaylistWindow(PlaylistPlayback &playback, const QWidget *mainWindow, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_playback(playback)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Lumivortex Playlist"));
    buildControls();
    // A drop target, as high as the main window is now.
    setAcceptDrops(true);
    resize(369, mainWindow && mainWindow->height() > 0 ? mainWindow->height() : 457);
}

PlaylistWindow::~PlaylistWindow() = default;

void PlaylistWindow::buildControls()
{
    auto *panel = new QWidget(this);
    panel->setFixedHeight(97);

    auto *previousButton
        = new FlatButton(QStringLiteral("SpeedButton4"), Glyph::Previous, panel, 8, 8, 33, 25);
    previousButton->setAccessibleLabel(QStringLiteral("Anterior"));
    auto *playButton = new FlatButton(QStringLiteral("SpeedButton5"), Glyph::Play, panel, 40, 8, 33, 25);
    playButton->setAccessibleLabel(QStringLiteral("Reproduzir"));
    auto *nextButton = new FlatButton(QStringLiteral("SpeedButton6"), Glyph::Next, panel, 72, 8, 33, 25);
    nextButton->setAccessibleLabel(QStringLiteral("Próxima"));
    auto *openButton
        = new FlatButton(QStringLiteral("SpeedButton1"), QStringLiteral("Abrir"), panel, 112, 0, 57, 25);
    openButton->setToolTip(QStringLiteral("Abra musicas ou playlist"));
    auto *saveButton
        = new FlatButton(QStringLiteral("SpeedButton2"), QStringLiteral("Salvar"), panel, 112, 24, 57, 25);
    saveButton->setToolTip(QStringLiteral("Salve sua playlist"));
    auto *clearButton
        = new FlatButton(QStringLiteral("SpeedButton3"), QStringLiteral("Limpar"), panel, 168, 0, 57, 25);
    clearButton->setToolTip(QStringLiteral("Limpar toda a lista"));
    // The monitored folder is present but switched off: nothing enables these.
    auto *monitorFolder = new FlatButton(
        QStringLiteral("SpeedButton7"), QStringLiteral("Monitoramento de pasta..."), panel, 224, 0, 137, 25);
    monitorFolder->setToolTip(QStringLiteral("Configure a pasta a ser monitorada"));
    monitorFolder->setEnabled(false);
    auto *loadMonitored = new QCheckBox(QStringLiteral("Carregar Pasta Monitorada"), panel);
    loadMonitored->setObjectName(QStringLiteral("CheckBox1"));
    loadMonitored->setGeometry(176, 32, 153, 17);
    loadMonitored->setToolTip(
        QStringLiteral("Secione esta opção para utilizar a pasta previamente configurada"));
    loadMonitored->setChecked(false);
    loadMonitored->setEnabled(false);

    QLabel *findCaption
        = label(QStringLiteral("Label1"), QStringLiteral("Localizar na lista:"), panel, 8, 39);
    m_find = new QLineEdit(panel);
    m_find->setObjectName(QStringLiteral("Edit1"));
    m_find->setGeometry(8, 52, 353, 21);
    QLabel *itemCaption = label(QStringLiteral("Label2"), QStringLiteral("Item:"), panel, 8, 80);
    m_itemNumber = label(QStringLiteral("Label5"), QStringLiteral("0"), panel, 33, 80);
    QLabel *totalCaption = label(QStringLiteral("Label3"), QStringLiteral("Total:"), panel, 112, 80);
    m_total = label(QStringLiteral("Label6"), QStringLiteral("0"), panel, 141, 80);
    QLabel *durationCaption = label(QStringLiteral("Label4"), QStringLiteral("Duração:"), panel, 208, 80);
    QLabel *duration = label(QStringLiteral("Label7"), QString(), panel, 254, 80);
    durationCaption->hide();
    duration->hide();
    const QList<QLabel *> captions { findCaption, itemCaption, totalCaption, durationCaption, m_itemNumber,
        m_total };

    m_list = new PlaylistListBox(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, HotLight);
    palette.setColor(QPalette::Text, Qt::white);
    m_list->setPalette(palette);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    m_list->setFont(font);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(m_list, 1);

    fitCaptions(this, { monitorFolder, loadMonitored });
    for (QLabel *caption : captions)
        caption->adjustSize();

    connect(openButton, &QAbstractButton::clicked, this, [this] { openFiles(); });
    connect(saveButton, &QAbstractButton::clicked, this, [this] { saveList(); });
    connect(clearButton, &QAbstractButton::clicked, this, [this] { clearList(); });
    connect(previousButton, &QAbstractButton::clicked, this, [this] { playPrevious(); });
    connect(playButton, &QAbstractButton::clicked, this, [this] { play(); });
    connect(nextButton, &QAbstractButton::clicked, this, [this] { playNext(); });
    connect(m_find, &QLineEdit::textChanged, this, [this] { findTextChanged(); });
    connect(m_find, &QLineEdit::returnPressed, this, [this] { playOnEnter(QChar(13)); });
    connect(m_list, &PlaylistListBox::itemClick, this, [this] { showClickedItem(); });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this] { playClickedItem(); });
    connect(m_list, &PlaylistListBox::keyDown, this, [this](int key) {
        if (key == Qt::Key_Delete)
            deleteSelectedItems();
    });
    connect(m_list, &PlaylistListBox::mouseDown, this, [this] { startItemDrag(); });
    connect(m_list, &PlaylistListBox::mouseUp, this, [this] { finishItemDrag(); });
}

// The application's general error box: every failure that the handlers do
// not swallow ends here, and no exception leaves the handler.
template <typename Body> void PlaylistWindow::guarded(Body &&body) noexcept
{
    QString message;
    try {
        body();
        return;
    } catch (const IniError &e) {
        message = e.message();
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Erro inesperado.");
    }
    safeCall([&] { PlaylistDialogs::showError(this, message); });
}

// --- the current item -----------------------------------------------------

int PlaylistWindow::count() const
{
    return m_list->count();
}

bool PlaylistWindow::multipleSelection() const
{
    return m_list->selectionMode() != QAbstractItemView::SingleSelection;
}

// Multiple selection: the focused item, the first one when none is focused.
// Single selection: the selected item, -1 when none is.
int PlaylistWindow::currentIndex() const
{
    if (!multipleSelection()) {
        const QList<QListWidgetItem *> selected = m_list->selectedItems();
        return selected.isEmpty() ? -1 : m_list->row(selected.constFirst());
    }
    const int row = m_list->currentRow();
    return row < 0 && count() > 0 ? 0 : row;
}

void PlaylistWindow::setCurrent(int row)
{
    if (multipleSelection()) {
        // Moves the focus only; the highlighted selection stays.
        m_list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    } else {
        m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
    if (QListWidgetItem *item = m_list->item(row))
        m_list->scrollToItem(item);
}

void PlaylistWindow::switchToMultiple()
{
    if (multipleSelection())
        return;
    const int current = currentIndex();
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    if (m_list->selectedItems().isEmpty())
        m_list->setCurrentRow(count() > 0 ? 0 : -1, QItemSelectionModel::NoUpdate);
    else
        m_list->setCurrentRow(current, QItemSelectionModel::NoUpdate);
}

void PlaylistWindow::switchToSingle()
{
    if (!multipleSelection())
        return;
    const int current = currentIndex();
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->clearSelection();
    m_list->setCurrentRow(current, QItemSelectionModel::ClearAndSelect);
}

void PlaylistWindow::refreshTotal()
{
    setAnnouncedText(m_total, QString::number(count()));
    m_total->adjustSize();
}

void PlaylistWindow::appendItems(const QStringList &names)
{
    const bool wasEmpty = count() == 0;
    m_list->addItems(names);
    // A list filled anew starts at its first item.
    if (wasEmpty && count() > 0 && multipleSelection())
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    refreshTotal();
}

// --- starting and playing ---------------------------------------------------

void PlaylistWindow::startFile(const QString &path)
{
    m_playback.startFile(path);
}

void PlaylistWindow::playCurrent(Move move)
{
    if (count() == 0)
        return;
    m_playback.prepareForPlaylistItem();
    if (move == Move::Next)
        setCurrent(std::min(currentIndex() + 1, count() - 1));
    else if (move == Move::Previous && currentIndex() > 0)
        setCurrent(currentIndex() - 1);
    switchToMultiple();

    const QString name = m_list->item(currentIndex())->text();
    const QString current = m_playback.currentUrl();
    const QString path = m_store ? m_store->ReadString(Musica, name, current) : current;
    // A name without a path replays the current media; with none, nothing plays.
    if (path.isEmpty())
        return;
    m_playback.playPlaylistItem(path);
}

void PlaylistWindow::play()
{
    safeCall([this] { playCurrent(Move::None); });
}

void PlaylistWindow::playNext()
{
    safeCall([this] { playCurrent(Move::Next); });
}

void PlaylistWindow::playPrevious()
{
    safeCall([this] { playCurrent(Move::Previous); });
}

void PlaylistWindow::playClickedItem()
{
    guarded([this] { playCurrent(Move::None); });
}

void PlaylistWindow::playOnEnter(QChar key)
{
    if (key.unicode() != 13)
        return;
    guarded([this] { playCurrent(Move::None); });
}

void PlaylistWindow::findTextChanged()
{
    guarded([this] {
        switchToSingle();
        QStringList texts;
        texts.reserve(count());
        for (int i = 0; i < count(); ++i)
            texts << m_list->item(i)->text();
        const int found = PlaylistRules::findByPrefix(texts, m_find->text());
        if (found >= 0) {
            setCurrent(found);
        } else {
            m_list->clearSelection();
            m_list->setCurrentRow(-1, QItemSelectionModel::Clear);
        }
    });
}

void PlaylistWindow::showClickedItem()
{
    guarded([this] {
        switchToMultiple();
        if (count() > 0) {
            setAnnouncedText(m_itemNumber, QString::number(currentIndex() + 1));
            m_itemNumber->adjustSize();
        }
    });
}

// --- adding, loading, saving ------------------------------------------------

void PlaylistWindow::openDefaultStore()
{
    QDir().mkpath(PlaylistRules::dataFolder());
    // A leftover "Default.ini" becomes the store before it is read, so its
    // entries are taken over instead of being overwritten by the next write.
    const QString store = PlaylistRules::defaultStorePath();
    const QString leftover = PlaylistRules::leftoverStorePath();
    if (QFile::exists(leftover) && !QFile::exists(store))
        QFile::rename(leftover, store);
    m_store = std::make_unique<PlaylistStore>(store);
    // The hidden attribute has no meaning here; the store keeps its name.
}

// One store write for the whole batch; the file ends as the per-file writes
// would have left it. When the write fails the list gains nothing.
void PlaylistWindow::addToDefaultStore(const QStringList &paths)
{
    openDefaultStore();
    addToCurrentStore(paths);
}

void PlaylistWindow::addEntries(const QStringList &paths)
{
    guarded([&] {
        if (!m_store)
            openDefaultStore();
        addToCurrentStore(paths);
    });
}

void PlaylistWindow::addToCurrentStore(const QStringList &paths)
{
    QStringList names;
    QStringList refused;
    names.reserve(paths.size());
    m_store->BeginUpdate();
    for (const QString &path : paths) {
        const QString name = PlaylistRules::displayName(path);
        const QString problem = PlaylistStore::entryProblem(name, path);
        if (!problem.isEmpty()) {
            refused << QStringLiteral("%1 (%2)").arg(oneLine(path), problem);
            continue;
        }
        m_store->WriteString(Musica, name, path);
        names << name;
    }
    const auto noticeRefused = [&] {
        if (refused.isEmpty())
            return;
        const int shown = 20;
        QString text = QStringLiteral("Estes arquivos não entraram na lista:\n")
            + QStringList(refused.mid(0, shown)).join(QLatin1Char('\n'));
        if (refused.size() > shown)
            text += QStringLiteral("\n... e mais %1.").arg(refused.size() - shown);
        safeCall([&] { PlaylistDialogs::showNotice(this, text); });
    };
    try {
        m_store->EndUpdate();
    } catch (...) {
        noticeRefused();
        throw;
    }
    appendItems(names);
    noticeRefused();
}

void PlaylistWindow::loadPlaylist(const QString &fileName)
{
    guarded([&] {
        // Read before the list goes: a file that cannot be read leaves it as it was.
        auto store = std::make_unique<PlaylistStore>(fileName);
        m_list->clear();
        m_store = std::move(store);
        QStringList names;
        m_store->ReadSection(Musica, &names);
        appendItems(names);
    });
}

void PlaylistWindow::openFiles()
{
    guarded([this] {
        const QStringList files = PlaylistDialogs::chooseFilesToAdd(this);
        if (files.isEmpty())
            return;
        const bool added = PlaylistRules::isMusicFile(files.constFirst());
        if (added)
            addToDefaultStore(files);
        const QString current = added ? files.constLast() : files.constFirst();
        if (PlaylistRules::isPlaylistFile(current))
            loadPlaylist(current);
    });
}

void PlaylistWindow::saveList()
{
    guarded([this] {
        const QString chosen = PlaylistDialogs::chooseFileToSave(this);
        if (chosen.isEmpty())
            return;
        // A copy of the default store as it is on disk; whatever keeps it from
        // being written is said, never passed over.
        QFile source(PlaylistRules::defaultStorePath());
        if (!source.open(QIODevice::ReadOnly)) {
            PlaylistDialogs::showNotice(this,
                QStringLiteral("A lista não foi salva: ela ainda não tem músicas. Adicione músicas com "
                               "\"Abrir\" ou arrastando arquivos para esta janela."));
            return;
        }
        const QByteArray bytes = source.readAll();
        const QString targetPath = PlaylistRules::savedPlaylistPath(chosen);
        QSaveFile target(targetPath);
        if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() || !target.commit())
            throw IniError(
                QStringLiteral("A lista não foi salva em \"%1\": %2").arg(targetPath, target.errorString()));
    });
}

void PlaylistWindow::clearList()
{
    guarded([this] {
        if (!PlaylistDialogs::confirm(this, QStringLiteral("Deseja deletar todos os itens da lista?")))
            return;
        m_list->clear();
        QFile::remove(PlaylistRules::defaultStorePath());
        refreshTotal();
    });
}

// --- deleting and reordering -------------------------------------------------

void PlaylistWindow::deleteSelectedItems()
{
    guarded([this] {
        const auto selected = m_list->selectedItems().size();
        if (!PlaylistDialogs::confirm(
                this, QStringLiteral("Deseja deletar este(s) %1 item(s) da lista?").arg(selected)))
            return;
        int i = 0;
        while (i < count()) {
            if (m_list->item(i)->isSelected())
                delete m_list->takeItem(i);
            else
                ++i;
        }
        if (multipleSelection() && m_list->currentRow() < 0 && count() > 0)
            m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        refreshTotal();
    });
}

void PlaylistWindow::startItemDrag()
{
    guarded([this] {
        if (count() <= 1)
            return;
        const int from = currentIndex();
        if (from < 0)
            return;
        m_dragFrom = from;
        m_dragText = m_list->item(from)->text();
        m_dragPending = true;
    });
}

void PlaylistWindow::finishItemDrag()
{
    guarded([this] {
        if (!m_dragPending)
            return;
        m_dragPending = false;
        const int from = m_dragFrom;
        const int to = currentIndex();
        if (to < 0 || to == from || from >= count())
            return;
        if (to < from) {
            m_list->insertItem(to, m_dragText);
            delete m_list->takeItem(from + 1);
        } else {
            m_list->insertItem(to + 1, m_dragText);
            delete m_list->takeItem(from);
        }
        m_list->setCurrentRow(to, QItemSelectionModel::ClearAndSelect);
    });
}

// --- drops ------------------------------------------------------------------

void PlaylistWindow::dropFiles(const QStringList &paths, bool onPlaylistWindow)
{
    Q_UNUSED(onPlaylistWindow)
    guarded([&] { dropPaths(paths); });
}

void PlaylistWindow::dropPaths(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    QStringList batch;
    for (const QString &path : paths) {
        if (!PlaylistRules::isMusicFile(path))
            continue;
        if (paths.size() == 1) {
            // One music file plays without entering the list.
            emit playerPageWanted();
            startFile(path);
            refreshTotal();
        } else {
            batch << path;
        }
    }
    if (!batch.isEmpty()) {
        emit playerPageWanted();
        showAndRaise();
        addToDefaultStore(batch);
    }
    // Only the last file of a drop may be a video to play.
    const QString &last = paths.constLast();
    if (PlaylistRules::isVideoFile(last)) {
        emit playerPageWanted();
        startFile(last);
        refreshTotal();
    }
}

void PlaylistWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PlaylistWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PlaylistWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    // Handled once the drag has ended, so the file manager is not held while
    // a message box is open.
    QMetaObject::invokeMethod(
        this, [this, paths] { dropFiles(paths, true); }, Qt::QueuedConnection);
}

// --- showing ----------------------------------------------------------------

void PlaylistWindow::showAndRaise()
{
    show();
    raise();
}

void PlaylistWindow::showBeside(QWidget *mainWindow)
{
    if (mainWindow)
        move(mainWindow->x() - 15, y());
    showAndRaise();
}
