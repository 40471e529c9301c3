#include "app/mainframe.h"

#include "app/about_dlg.h"
#include "app/author_info_dlg.h"
#include "app/box_keys.h"
#include "app/child_frame.h"
#include "app/command_icons.h"
#include "app/document_registry.h"
#include "app/file_drop.h"
#include "app/export_sheet_dlg.h"
#include "app/license_text_dlg.h"
#include "app/online_documentation.h"
#include "app/progress_wait.h"
#include "doc/settings_store.h"
#include "app/status_notice.h"
#include "app/window_cascade.h"
#include "app/window_placement.h"
#include "doc/zolva_doc.h"
#include "app/midi_config_dlg.h"
#include "play/practice_controls.h"
#include "app/zolva_view.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

namespace {

const QString kAppName = QStringLiteral("Zolva Reader");

} // namespace

CMainFrame::CMainFrame(MessageSink& messages, QWidget* parent)
    : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    setAcceptDrops(true);
    m_documents = std::make_unique<DocumentRegistry>(messages, *m_mdiArea);
    // The first size, no larger than the screen, before any document window
    // is sized to the area it opens in.
    const QScreen* screen = this->screen();
    resize(fitInside(QRect(0, 0, 900, 700), screen ? windowRoom(screen->availableGeometry()) : QRect()).size());
    OnCreate();
    // Lay the window out before it shows, so that documents opened from the
    // command line get windows sized to the area they will appear in.
    layout()->activate();
}

void CMainFrame::OnCreate()
{
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    restoreDockState();
    fillPlayDelayBox();
    connectFrameCommands();

    m_recentFiles.load();
    updateRecentFiles();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::updateCommands);
    connect(m_documents.get(), &DocumentRegistry::changed, this, &CMainFrame::updateCommands);
    updateCommands();
}

// The document windows go before the registry that owns their documents.
CMainFrame::~CMainFrame()
{
    disconnect(m_mdiArea, nullptr, this, nullptr);
    m_documents.reset();
}

void CMainFrame::createActions()
{
    for (const CommandInfo& command : commandTable()) {
        auto* action = new QAction(QString::fromUtf8(command.text), this);
        action->setData(command.id);
        action->setStatusTip(QString::fromUtf8(command.prompt));
        action->setToolTip(QString::fromUtf8(command.tip));
        action->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(command.keys)));
        // The keys work wherever the main window has focus, not only in a menu.
        addAction(action);
        m_actions.insert(command.id, action);
    }
    for (int id : {int(cmd::ViewToolbar), int(cmd::ViewStatusBar)})
        m_actions[id]->setCheckable(true);
    m_actions[cmd::TieViews]->setCheckable(true);
    // Holding P or S starts or stops once, not at the key-repeat rate.
    for (int id : {cmd::PlayView, cmd::StopPlaying, cmd::PlayOrStop})
        m_actions[id]->setAutoRepeat(false);
    for (int id : {cmd::Metronome, cmd::LoopSelection, cmd::Tuner, cmd::PlayAlong, cmd::KeepTempo})
        m_actions[id]->setCheckable(true);
}

void CMainFrame::fillMenu(QMenu* menu, std::span<const int> entries)
{
    for (int id : entries) {
        if (id == kSeparator) {
            menu->addSeparator();
        } else if (id == kRecentFilesSlot) {
            for (int i = 0; i < RecentFileList::kSize; ++i)
                menu->addAction(m_actions[cmd::FileMru1 + i]);
        } else {
            menu->addAction(m_actions[id]);
        }
    }
}

void CMainFrame::createMenus()
{
    for (const MenuInfo& info : menusWithoutDocument()) {
        auto* menu = new QMenu(QString::fromUtf8(info.title), this);
        fillMenu(menu, info.entries);
        m_menusWithout << menu;
    }
    for (const MenuInfo& info : menusWithDocument()) {
        auto* menu = new QMenu(QString::fromUtf8(info.title), this);
        fillMenu(menu, info.entries);
        m_menusWith << menu;
        if (qstrcmp(info.title, "&Window") == 0)
            m_windowMenu = menu;
    }
    connect(m_windowMenu, &QMenu::aboutToShow, this, &CMainFrame::rebuildWindowList);
    m_practiceMenu = new QMenu(QString::fromUtf8(practiceMenu().title), this);
    fillMenu(m_practiceMenu, practiceMenu().entries);
}

void CMainFrame::fillToolBar(QToolBar* bar, std::span<const int> buttons)
{
    for (int id : buttons) {
        if (id == kSeparator) {
            bar->addSeparator();
            continue;
        }
        QAction* action = m_actions[id];
        if (action->icon().isNull())
            action->setIcon(commandIcon(*findCommand(id)));
        if (id == cmd::PlayDelay) // the play-delay box stands in its place
            bar->addWidget(m_playDelayBox);
        else if (id == cmd::Speed)
            bar->addWidget(m_speedBox);
        else
            bar->addAction(action);
    }
}

void CMainFrame::createToolBars()
{
    m_playDelayBox = new QLineEdit(this);
    // The note bar is made first, as the toggle of the View menu addresses it.
    m_noteBar = new QToolBar(QStringLiteral("Note Bar"), this);
    m_noteBar->setObjectName(QStringLiteral("NoteBar"));
    m_noteBar->setIconSize(QSize(16, 15));
    fillToolBar(m_noteBar, noteBarButtons());

    m_mainToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_mainToolBar->setObjectName(QStringLiteral("MainToolbar"));
    m_mainToolBar->setIconSize(QSize(16, 15));
    m_mainToolBar->setMovable(false);
    m_mainToolBar->setFloatable(false);
    m_mainToolBar->setAllowedAreas(Qt::TopToolBarArea);
    // Hidden only never: there is no toggle for it.
    m_mainToolBar->toggleViewAction()->setEnabled(false);
    fillToolBar(m_mainToolBar, mainToolbarButtons());

    // The fixed bar on top, the dockable note bar in a row of its own below it.
    addToolBar(Qt::TopToolBarArea, m_mainToolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_noteBar);
    setContextMenuPolicy(Qt::NoContextMenu); // no menu that could hide the main toolbar
    // Made with the others so that their saved docking names it.
    createPracticeBar();

    QAction* toggle = m_actions[cmd::ViewToolbar];
    toggle->setChecked(true);
    connect(toggle, &QAction::triggered, m_noteBar, &QToolBar::setVisible);
    connect(m_noteBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::createPracticeBar()
{
    const CommandInfo& info = *findCommand(cmd::Speed);
    m_speedBox = new QSpinBox(this);
    m_speedBox->setObjectName(QStringLiteral("SpeedBox"));
    m_speedBox->setRange(kMinSpeedPercent, kMaxSpeedPercent);
    m_speedBox->setSingleStep(kSpeedStepPercent);
    m_speedBox->setSuffix(QStringLiteral("%"));
    m_speedBox->setValue(kNormalSpeedPercent);
    // A typed number counts once it is complete, not digit by digit.
    m_speedBox->setKeyboardTracking(false);
    m_speedBox->setToolTip(QString::fromUtf8(info.tip));
    m_speedBox->setStatusTip(QString::fromUtf8(info.prompt));
    m_speedBox->setEnabled(false);

    m_practiceBar = new QToolBar(QStringLiteral("Practice"), this);
    m_practiceBar->setObjectName(QStringLiteral("PracticeBar"));
    m_practiceBar->setIconSize(QSize(16, 15));
    fillToolBar(m_practiceBar, practiceBarButtons());
    // Its buttons are pictures, so their tips name the keys that do the same.
    for (QAction* action : m_practiceBar->actions()) {
        if (!action->shortcut().isEmpty())
            action->setToolTip(QStringLiteral("%1 (%2)").arg(action->toolTip(),
                                                             action->shortcut().toString(QKeySequence::NativeText)));
    }
    // A row of its own below the note bar, so that every control shows at
    // the first window's width; a saved docking puts it back where it was.
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_practiceBar);
}

void CMainFrame::addPracticeTools(PracticeControls& practice)
{
    m_practice = &practice;
    for (qsizetype i = 0; i < m_menusWith.size(); ++i) {
        if (m_menusWith[i]->title() == QLatin1String(kPracticeMenuBefore)) {
            m_menusWith.insert(i, m_practiceMenu);
            break;
        }
    }
    menuBar()->clear(); // shown afresh by updateCommands
    // Before "CAP", in this order.
    m_positionPane = addPane(QStringLiteral("PositionPane"));
    m_speedPane = addPane(QStringLiteral("SpeedPane"));

    connect(m_speedBox, &QSpinBox::valueChanged, this, &CMainFrame::setSpeed);
    new BoxKeys(m_speedBox, [this] { giveKeyboardToMusic(); });
    onCommand(cmd::Slower, [this] { m_speedBox->setValue(m_speedBox->value() - kSpeedStepPercent); });
    onCommand(cmd::Faster, [this] { m_speedBox->setValue(m_speedBox->value() + kSpeedStepPercent); });
    onCommand(cmd::NormalSpeed, [this] { m_speedBox->setValue(kNormalSpeedPercent); });
    QAction* metronome = m_actions[cmd::Metronome];
    metronome->setChecked(leadingIntegerOf(readSettingText(SettingKey::Metronome)) != 0);
    practice.metronome = metronome->isChecked();
    connect(metronome, &QAction::toggled, this, [this](bool on) {
        m_practice->metronome = on;
        writeSettingText(SettingKey::Metronome, QString::number(on ? 1 : 0));
    });
    const long remembered = leadingIntegerOf(readSettingText(SettingKey::Speed));
    const int speed = remembered == 0 ? kNormalSpeedPercent
                                      : int(std::clamp<long>(remembered, kMinSpeedPercent, kMaxSpeedPercent));
    if (m_speedBox->value() == speed)
        setSpeed(speed);
    else
        m_speedBox->setValue(speed);
    updateCommands();
}

void CMainFrame::setSpeed(int percent)
{
    m_practice->setSpeed(percent);
    writeSettingText(SettingKey::Speed, QString::number(m_practice->speed.load()));
    m_speedPane->setText(QStringLiteral("Speed %1%").arg(m_practice->speed.load()));
    m_speedPane->setVisible(m_practice->speed != kNormalSpeedPercent);
    updateCommands();
}

QLabel* CMainFrame::addPane(const QString& name)
{
    auto* pane = new QLabel;
    pane->setObjectName(name);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const int panes = int(statusBar()->findChildren<QLabel*>().size());
    // Index 0 is "Ready"; the last three are "CAP", "NUM" and "SCRL".
    statusBar()->insertPermanentWidget(panes - 3, pane);
    pane->hide();
    return pane;
}

void CMainFrame::showPlayPosition(const QString& text)
{
    if (!m_positionPane)
        return;
    m_positionPane->setText(text);
    m_positionPane->setVisible(!text.isEmpty());
}

void CMainFrame::showNotice(const QString& text, int ms)
{
    m_notice->show(text, ms);
}

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    // The prompts of the commands under the mouse cover "Ready" while shown.
    bar->addWidget(new QLabel(QStringLiteral("Ready")), 1);
    m_notice = new StatusNotice(*this);
    // The active window's zoom, shown only while it is not 100%.
    m_zoomPane = new QLabel;
    m_zoomPane->setObjectName(QStringLiteral("Zoom"));
    m_zoomPane->setAlignment(Qt::AlignCenter);
    m_zoomPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_zoomPane->setToolTip(QStringLiteral("Zoom of the active window"));
    m_zoomPane->hide();
    bar->addPermanentWidget(m_zoomPane);
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QLatin1String(indicator));
        label->setObjectName(QLatin1String(indicator));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Qt cannot read the lock keys on every platform: the panes stay greyed.
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
    QAction* toggle = m_actions[cmd::ViewStatusBar];
    toggle->setChecked(true);
    connect(toggle, &QAction::triggered, bar, &QStatusBar::setVisible);
}

void CMainFrame::fillPlayDelayBox()
{
    const CommandInfo& info = *findCommand(cmd::PlayDelay);
    m_playDelayBox->setObjectName(QStringLiteral("PlayDelayBox"));
    m_playDelayBox->setToolTip(QString::fromUtf8(info.tip));
    m_playDelayBox->setStatusTip(QString::fromUtf8(info.prompt));
    m_playDelayBox->setFixedWidth(m_playDelayBox->fontMetrics().horizontalAdvance(QStringLiteral("000000")));

    connect(m_playDelayBox, &QLineEdit::textChanged, this, &CMainFrame::onPlayDelayEdited);
    new BoxKeys(m_playDelayBox, [this] { giveKeyboardToMusic(); });
    // Filling the box is a change like any other: "PlayDelay" gets the number's plain form.
    m_playDelayBox->setText(QString::number(leadingIntegerOf(readSettingText(SettingKey::PlayDelay))));
}

void CMainFrame::onPlayDelayEdited(const QString& text)
{
    m_playDelay = int(leadingIntegerOf(text));
    writeSettingText(SettingKey::PlayDelay, text); // exactly as typed
}

void CMainFrame::onCommand(int id, std::function<void()> handler)
{
    connect(m_actions.value(id), &QAction::triggered, this, std::move(handler));
}

void CMainFrame::connectFrameCommands()
{
    onCommand(cmd::FileClose, [this] {
        if (CZolvaDoc* doc = activeDocument()) {
            for (CChildFrame* frame : m_documents->viewsOf(*doc))
                frame->close();
        }
    });
    onCommand(cmd::AppExit, [this] { close(); });
    onCommand(kAuthorInfoCommand, [this] {
        if (CZolvaDoc* doc = activeDocument())
            OnAuthorInfo(*doc, this);
    });
    onCommand(cmd::ExportSheet, [this] {
        if (CZolvaDoc* doc = activeDocument()) {
            ProgressWait wait(this);
            OnExportSheet(*doc, this, wait.load(QStringLiteral("Exporting")));
            // The preview laid the document out with the print options.
            for (CChildFrame* frame : m_documents->viewsOf(*doc))
                frame->view()->viewport()->update();
        }
    });
    onCommand(cmd::WindowNew, [this] {
        if (CZolvaDoc* doc = activeDocument())
            m_documents->addView(*doc);
    });
    const std::pair<int, void (*)(CZolvaView&)> zooms[] = {
        {cmd::ZoomIn, [](CZolvaView& view) { view.zoomIn(); }},
        {cmd::ZoomOut, [](CZolvaView& view) { view.zoomOut(); }},
        {cmd::ZoomActual, [](CZolvaView& view) { view.setZoom(100); }},
    };
    for (const auto& [id, zoom] : zooms) {
        onCommand(id, [this, zoom = zoom] {
            if (CChildFrame* child = activeChild())
                zoom(*child->view());
        });
    }
    onCommand(cmd::WindowCascade, [this] { cascadeWindows(*m_mdiArea); });
    onCommand(cmd::WindowTile, [this] { m_mdiArea->tileSubWindows(); });
    onCommand(cmd::WindowArrange, [this] {
        // Minimised windows in a row along the bottom of the area.
        int x = 0;
        for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
            if (!window->isMinimized())
                continue;
            window->move(x, m_mdiArea->viewport()->height() - window->height());
            x += window->width();
        }
    });
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        onCommand(cmd::FileMru1 + i, [this, i] {
            const QString path = m_recentFiles.files().value(i);
            if (!path.isEmpty() && m_openFile)
                m_openFile(path);
        });
    }
}

void CMainFrame::addMidiSetup(MidiSession& midi, SoundInputs& inputs)
{
    onCommand(kMidiSetupCommand, [this, &midi, &inputs] { OnMidiSetup(midi, inputs, this); });
}

void CMainFrame::addInformationCommands(MessageSink& messages, UrlOpener desktopOpener)
{
    // An address nothing could open (no browser) is named in the status bar.
    UrlOpener opener = [this, desktopOpener](const QUrl& url) {
        if (desktopOpener(url))
            return true;
        const QString address = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
        showNotice(QStringLiteral("Unable to open %1").arg(address), kUnopenedAddressMs);
        return false;
    };
    onCommand(kAboutCommand, [this, opener] { OnAppAbout(opener, this); });
    onCommand(kOnlineDocumentationCommand, [opener] { OnOnlineDocumentation(opener); });
    onCommand(kLicenseCommand, [this, &messages] { OnLicense(messages, this); });
}

void CMainFrame::giveKeyboardToMusic()
{
    if (CChildFrame* child = activeChild())
        child->view()->setFocus(Qt::ShortcutFocusReason);
}

CChildFrame* CMainFrame::activeChild() const
{
    return m_documents ? m_documents->activeFrame() : nullptr;
}

CZolvaDoc* CMainFrame::activeDocument() const
{
    CChildFrame* child = activeChild();
    return child ? &child->document() : nullptr;
}

void CMainFrame::updateRecentFiles()
{
    const QStringList& files = m_recentFiles.files();
    for (int i = 0; i < RecentFileList::kSize; ++i) {
        QAction* action = m_actions[cmd::FileMru1 + i];
        const bool used = i < files.size();
        // An empty list still shows where the files will go.
        action->setVisible(used || i == 0);
        action->setText(used ? m_recentFiles.menuText(i) : QStringLiteral("Recent File"));
    }
    updateCommands();
}

void CMainFrame::updateCommands()
{
    if (!m_documents)
        return;
    CommandState state;
    CChildFrame* active = activeChild();
    state.activeView = active != nullptr;
    state.activeViewPlaying = active && active->view()->isPlaying();
    for (CChildFrame* frame : m_documents->allViews()) {
        state.anyView = true;
        state.anyViewPlaying = state.anyViewPlaying || frame->view()->isPlaying();
    }
    state.practice = m_practice != nullptr;
    state.speed = m_speedBox->value();
    state.tied = m_actions[cmd::TieViews]->isChecked();
    if (active) {
        const ViewCursor& cursor = active->view()->cursor();
        state.activeRowsSelected =
            cursor.selectionAnchor && cursor.selectionEnd && cursor.selectionAnchor != cursor.selectionEnd;
    }
    for (const CommandInfo& command : commandTable())
        m_actions[command.id]->setEnabled(isCommandEnabled(command.rule, state));
    m_speedBox->setEnabled(m_actions[cmd::Speed]->isEnabled());
    const int recentCount = int(m_recentFiles.files().size());
    for (int i = 0; i < RecentFileList::kSize; ++i)
        m_actions[cmd::FileMru1 + i]->setEnabled(i < recentCount);

    const int zoom = active ? active->view()->zoom() : 100;
    m_zoomPane->setText(zoom != 100 ? QStringLiteral("%1%").arg(zoom) : QString());
    m_zoomPane->setVisible(zoom != 100);

    const bool documentMenus = state.activeView;
    if (documentMenus != m_showingDocumentMenus || menuBar()->actions().isEmpty()) {
        m_showingDocumentMenus = documentMenus;
        menuBar()->clear();
        for (QMenu* menu : documentMenus ? m_menusWith : m_menusWithout)
            menuBar()->addMenu(menu);
        m_actions[cmd::ViewToolbar]->setText(
            QLatin1String(documentMenus ? kNoteBarTextWithDocument : kNoteBarTextWithoutDocument));
    }
    // A maximised document window has its title in brackets, as the area itself would show it.
    const QString title = active ? active->windowTitle() : QString();
    setWindowTitle(!active                 ? kAppName
                   : active->isMaximized() ? QStringLiteral("%1 - [%2]").arg(kAppName, title)
                                           : QStringLiteral("%1 - %2").arg(kAppName, title));
}

void CMainFrame::rebuildWindowList()
{
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const QList<QMdiSubWindow*> windows = m_mdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowListActions << m_windowMenu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* action = m_windowMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == m_mdiArea->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, window] { m_mdiArea->setActiveSubWindow(window); });
        m_windowListActions << action;
    }
}

void CMainFrame::RestoreWindowPlacement(int showState)
{
    std::optional<WindowPlacement> placement = WindowPlacement::fromText(readSettingText(SettingKey::WindowPos));
    const QScreen* screen = this->screen();
    const QRect room = screen ? windowRoom(screen->availableGeometry()) : QRect();
    if (!placement) {
        // Where the system puts it, no larger than the screen.
        resize(fitInside(QRect(QPoint(), size()), room).size());
        showWindowAs(*this, unsigned(showState));
        return;
    }
    // Saved on a larger screen, or at another scale: shrunk and moved on.
    const QRect saved(QPoint(placement->left, placement->top), QPoint(placement->right - 1, placement->bottom - 1));
    if (saved.isValid()) {
        const QRect fitted = fitInside(saved, room);
        placement->left = fitted.left();
        placement->top = fitted.top();
        placement->right = fitted.right() + 1;
        placement->bottom = fitted.bottom() + 1;
    }
    // A start asked to show otherwise than normally wins; an ordinary start
    // shows the window as it was closed, minimised included.
    if (showState != int(WindowPlacement::kShowNormal))
        placement->showCmd = unsigned(showState);
    placement->applyTo(*this);
}

bool CMainFrame::CheckDockState(const QString& name) const
{
    QSettings settings = programSettings();
    settings.beginGroup(name);
    if (settings.value(QStringLiteral("State")).toByteArray().isEmpty())
        return false;
    for (const QString& bar : settings.value(QStringLiteral("Bars")).toStringList()) {
        if (!findChild<QToolBar*>(bar))
            return false;
    }
    return true;
}

void CMainFrame::restoreDockState()
{
    if (CheckDockState(QLatin1String(kDockStateGroup))) {
        QSettings settings = programSettings();
        restoreState(settings.value(QLatin1String(kDockStateGroup) + QStringLiteral("/State")).toByteArray());
    }
    // Whatever was saved, the main toolbar stays shown at the top.
    if (toolBarArea(m_mainToolBar) != Qt::TopToolBarArea)
        addToolBar(Qt::TopToolBarArea, m_mainToolBar);
    m_mainToolBar->show();
    m_actions[cmd::ViewToolbar]->setChecked(!m_noteBar->isHidden());
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty() || !m_openFile)
        return;
    event->acceptProposedAction();
    for (const QString& file : files)
        m_openFile(file);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    OnClose();
    event->accept();
}

void CMainFrame::OnClose()
{
    writeSettingText(SettingKey::WindowPos, WindowPlacement::of(*this).toText());
    QSettings settings = programSettings();
    settings.beginGroup(QLatin1String(kDockStateGroup));
    settings.setValue(QStringLiteral("State"), saveState());
    QStringList bars;
    for (const QToolBar* bar : findChildren<QToolBar*>())
        bars << bar->objectName();
    settings.setValue(QStringLiteral("Bars"), bars);
    settings.endGroup();
    // Nothing can be saved, so nothing is asked: the windows simply close.
    m_mdiArea->closeAllSubWindows();
}
