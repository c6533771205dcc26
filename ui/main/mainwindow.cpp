#include "ui/main/mainwindow.h"

#include "core/controlnames.h"
#include "core/program.h"
#include "ui/dialogs/datecharsdialog.h"
#include "ui/dialogs/paramsdialog.h"
#include "ui/dialogs/ruledialog.h"
#include "ui/dialogs/zoneeditordialog.h"
#include "ui/info/helpwindow.h"
#include "ui/widgets/filteredbox.h"
#include "ui/info/picturewindow.h"
#include "ui/main/panel.h"
#include "ui/main/updown.h"
#include "ui/widgets/glyphlabel.h"
#include "ui/widgets/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

namespace vemar::ui {

// What a control is, labels and panels first.
enum class ControlKind : int { Label, Centred, Time, Panel, Switch, Bevel, Button, Frame, Option, Box, UpDown };

namespace {

constexpr int kClientWidth = 10365;       // twips
constexpr int kClientHeight = 7305;
constexpr int kFastTickMs = 16;    // 64 ticks a second, the rate the start-up count was designed for
// Past the whole second, so that the clock reading of the tick is surely in
// the new second even when the timer fires a little early.
constexpr int kPastSecondMs = 3;

// The city grid: three columns of nine rows. The first column lies a few
// twips off the grid of the other two, as the window was drawn.
struct GridColumn { int nameLeft, nameWidth, timeLeft, timeWidth, markLeft, markWidth, height; const int* tops; };
constexpr int kFirstTops[9] = {598, 1053, 1521, 1989, 2457, 2925, 3393, 3861, 4329};
constexpr int kOtherTops[9] = {600, 1050, 1515, 1995, 2460, 2925, 3390, 3855, 4335};
constexpr GridColumn kColumns[3] = {
    {117, 1573, 1755, 1209, 3042, 377, 299, kFirstTops},
    {3495, 1695, 5250, 1215, 6525, 375, 300, kOtherTops},
    {6980, 1575, 8630, 1215, 9890, 375, 300, kOtherTops},
};

using Kind = ControlKind;

template <auto Member> ControlView& one(MainView& v) { return v.*Member; }
template <int K> ControlView& dateSymbol(MainView& v) { return v.dateSymbols[K]; }

// Every control off the grid, in twips, in the order of the focus chain:
// the order a reader reads them in, down the window, each frame whole.
// The labels and panels keep their size; the options, the box and the
// up-down stand in the frame made before them.
struct Placed { ControlView& (*control)(MainView&); int left, top, width, height; Kind kind; };
constexpr Placed kPlaced[] = {
    {one<&MainView::tableButton>, 120, 120, 2805, 375, Kind::Switch},
    {one<&MainView::summerPeriod>, 3045, 120, 7215, 375, Kind::Panel},
    {dateSymbol<0>, 120, 4740, 375, 375, Kind::Panel},
    {dateSymbol<1>, 600, 4740, 375, 375, Kind::Bevel},
    {one<&MainView::firstDate>, 1080, 4740, 2775, 375, Kind::Panel},
    {one<&MainView::summerTimeButton>, 4200, 4740, 1935, 375, Kind::Switch},
    {dateSymbol<3>, 6400, 4740, 375, 375, Kind::Panel},
    {dateSymbol<2>, 6880, 4740, 375, 375, Kind::Bevel},
    {one<&MainView::secondDate>, 7370, 4740, 2895, 375, Kind::Panel},
    {one<&MainView::northLegend>, 3480, 5160, 3735, 255, Kind::Centred},
    {one<&MainView::halfHourLegend>, 3240, 5400, 4215, 255, Kind::Centred},
    {one<&MainView::southLegend>, 2640, 5640, 5415, 255, Kind::Centred},
    {one<&MainView::signalButton>, 120, 5280, 2475, 360, Kind::Button},
    {one<&MainView::utHeading>, 120, 5760, 900, 300, Kind::Label},
    {one<&MainView::meanTimeHeading>, 120, 6120, 900, 300, Kind::Label},
    {one<&MainView::siderealHeading>, 120, 6520, 900, 300, Kind::Label},
    {one<&MainView::utTime>, 1080, 5760, 1050, 300, Kind::Time},
    {one<&MainView::meanTime>, 1080, 6135, 1050, 300, Kind::Time},
    {one<&MainView::siderealTime>, 1080, 6525, 1050, 300, Kind::Time},
    {one<&MainView::sunSentence>, 2640, 5880, 5010, 270, Kind::Centred},
    {one<&MainView::moonSentence>, 2640, 6210, 5010, 270, Kind::Centred},
    {one<&MainView::dayOfYear>, 2280, 6535, 2775, 300, Kind::Panel},
    {one<&MainView::daysToYearEnd>, 5160, 6535, 2895, 300, Kind::Panel},
    {one<&MainView::yearStart>, 120, 6900, 3210, 300, Kind::Time},
    {one<&MainView::julianDay>, 3960, 6900, 2490, 300, Kind::Time},
    {one<&MainView::yearEnd>, 7005, 6900, 3210, 300, Kind::Time},
    {one<&MainView::hemisphereFrame>, 8040, 5400, 975, 975, Kind::Frame},
    {one<&MainView::northOption>, 120, 240, 735, 255, Kind::Option},
    {one<&MainView::southOption>, 120, 600, 735, 255, Kind::Option},
    {one<&MainView::zoneFrame>, 9120, 5400, 1095, 975, Kind::Frame},
    {one<&MainView::zoneBox>, 120, 360, 375, 285, Kind::Box},
    {one<&MainView::zoneUpDown>, 720, 240, 240, 615, Kind::UpDown},
    {one<&MainView::saveZoneButton>, 8400, 6480, 1794, 375, Kind::Button},
};

} // namespace

int NextTickDelayMs(std::chrono::system_clock::time_point now, bool fast) {
    using namespace std::chrono;
    if (fast) return kFastTickMs;
    const auto toNextSecond = seconds(1) - now.time_since_epoch() % seconds(1);
    return static_cast<int>(ceil<milliseconds>(toNextSecond).count()) + kPastSecondMs;
}

MainWindow::MainWindow(Program& program, QWidget* parent) : QMainWindow(parent), program_(program) {
    setObjectName(qs(controlName(program_.view(), program_.view().form)));
    setWindowTitle(qs(program_.view().form.caption));
    auto* client = new QWidget(this);
    client->setObjectName("client");
    client->setFixedSize(px(kClientWidth), px(kClientHeight));
    setCentralWidget(client);
    binder_.bind(client, &program_.view().form);
    buildControls(client);
    buildMenus();
    setFixedSize(sizeHint());
    render();
}

QWidget* MainWindow::makeControl(Kind kind, ControlView& view, QWidget* parent, int left, int top, int width,
                                 int height) {
    QWidget* widget = nullptr;
    switch (kind) {
    case Kind::Label:
    case Kind::Centred:
    case Kind::Time: {
        // The times that change every second: painted from glyphs laid out once.
        auto* label = kind == Kind::Time ? new GlyphLabel(parent) : new QLabel(parent);
        label->setAlignment(kind == Kind::Label ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        widget = label;
        break;
    }
    case Kind::Panel: widget = new Panel(parent); break;
    case Kind::Switch: widget = new Panel(parent, Panel::Use::Switch); break;
    case Kind::Bevel: widget = new Panel(parent, Panel::Use::Bevel); break;
    case Kind::Button: widget = new QPushButton(parent); break;
    case Kind::Frame: widget = new QGroupBox(parent); break;
    case Kind::Option: widget = new QRadioButton(parent); break;
    case Kind::Box: widget = new QLineEdit(parent); break;
    case Kind::UpDown: widget = new UpDown(parent); break;
    }
    place(widget, qs(controlName(program_.view(), view)), left, top, width, height);
    // Fixed size: a new text repaints the label or panel and asks for no relayout.
    if (kind <= Kind::Bevel) widget->setFixedSize(widget->size());
    binder_.bind(widget, &view);
    return widget;
}

void MainWindow::buildControls(QWidget* client) {
    MainView& v = program_.view();
    QFont timeFont = QApplication::font();
    timeFont.setBold(true);
    for (int c = 0; c < 3; ++c) {
        const GridColumn& col = kColumns[c];
        for (int r = 0; r < 9; ++r) {
            const int k = c * 9 + r, top = col.tops[r];
            auto cell = [&](std::array<ControlView, 27>& controls, Kind kind, int left, int width) {
                return static_cast<QLabel*>(makeControl(kind, controls[k], client, left, top, width, col.height));
            };
            cell(v.cityNames, Kind::Label, col.nameLeft, col.nameWidth)->setIndent(3);
            cell(v.rowTimes, Kind::Time, col.timeLeft, col.timeWidth)->setFont(timeFont);
            cell(v.dateMarkers, Kind::Centred, col.markLeft, col.markWidth)->setAutoFillBackground(false);
        }
    }

    std::map<const ControlView*, QWidget*> made;
    QWidget* frame = nullptr;
    for (const Placed& row : kPlaced) {
        const bool framed = row.kind == Kind::Option || row.kind == Kind::Box || row.kind == Kind::UpDown;
        ControlView& view = row.control(v);
        made[&view] = makeControl(row.kind, view, framed ? frame : client, row.left, row.top, row.width, row.height);
        if (row.kind == Kind::Frame) frame = made[&view];
    }
    connectControls(made);
}

void MainWindow::connectControls(const std::map<const ControlView*, QWidget*>& made) {
    MainView& v = program_.view();
    auto widget = [&](const ControlView& c) { return made.at(&c); };
    auto clicks = [&]<class W, class... A>(const ControlView& c, void (W::*signal)(A...), auto fn) {
        connect(static_cast<W*>(widget(c)), signal, this, [this, fn] { command(fn); });
    };
    clicks(v.tableButton, &Panel::clicked, [this] { program_.pageSwitchClick(); });
    clicks(v.summerTimeButton, &Panel::clicked, [this] { program_.dstSwitchClick(); });
    clicks(v.signalButton, &QPushButton::clicked, [this] { program_.signalClick(); });
    clicks(v.northOption, &QRadioButton::clicked, [this] { program_.hemisphereClick(Hemisphere::North); });
    clicks(v.southOption, &QRadioButton::clicked, [this] { program_.hemisphereClick(Hemisphere::South); });
    clicks(v.zoneUpDown, &UpDown::upClicked, [this] { program_.upDownClick(+1); });
    clicks(v.zoneUpDown, &UpDown::downClicked, [this] { program_.upDownClick(-1); });
    clicks(v.saveZoneButton, &QPushButton::clicked, [this] { program_.saveZoneClick(); });
    auto* upDown = static_cast<UpDown*>(widget(v.zoneUpDown));
    upDown->upButton()->setAccessibleName(qs(v.zoneArrowNames[0]));
    upDown->downButton()->setAccessibleName(qs(v.zoneArrowNames[1]));

    zoneBox_ = static_cast<QLineEdit*>(widget(v.zoneBox));
    zoneBox_->setAlignment(Qt::AlignCenter);
    zoneBox_->setFrame(true);
    connect(zoneBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        editFiltered(zoneBox_, text, [&] {
            binder_.retypeCaption(zoneBox_);
            command([&] { program_.zoneBoxChanged(text.toStdString()); });
        });
    });
}

void MainWindow::buildMenus() {
    std::map<MenuId, QMenu*> menus;
    // A submenu is made at its first item, after the items above it.
    std::function<QMenu*(MenuId)> menuOf = [&](MenuId id) -> QMenu* {
        if (id == MenuId::Bar || menus.count(id)) return menus[id];
        const Submenu& sub = *std::find_if(std::begin(kSubmenus), std::end(kSubmenus),
                                           [id](const Submenu& s) { return s.id == id; });
        QMenu* parent = menuOf(sub.parent);
        if (sub.separatorBefore) parent->addSeparator();
        QMenu* menu = parent ? parent->addMenu(qs(sub.caption)) : menuBar()->addMenu(qs(sub.caption));
        menu->setObjectName(sub.name);
        return menus[id] = menu;
    };
    for (const MenuItem& item : kMenuItems) {
        QMenu* menu = menuOf(item.menu);
        if (item.separatorBefore) menu->addSeparator();
        auto* action = new QAction(qs(item.caption), this);
        action->setObjectName(item.name);
        action->setCheckable(item.command == MenuCommand::Signal);
        menu ? menu->addAction(action) : menuBar()->addAction(action);
        binder_.bind(action, &(program_.view().menu.*item.view));
        connect(action, &QAction::triggered, this, [this, &item] { menuCommand(item); });
    }
}

void MainWindow::menuCommand(const MenuItem& item) {
    auto opens = [this](auto make) {
        if (!program_.failed()) showModal(make());
    };
    ColourScheme& colours = program_.colours();
    switch (item.command) {
    case MenuCommand::Params: return opens([this] { return new ParamsDialog(program_, this); });
    case MenuCommand::Rule: return opens([this] { return new RuleDialog(program_, this); });
    case MenuCommand::ZoneTable:
        return opens([this] { return new ZoneEditorDialog(program_, EditorVariant::Zones, this); });
    case MenuCommand::ClassTable:
        return opens([this] { return new ZoneEditorDialog(program_, EditorVariant::Classes, this); });
    case MenuCommand::DateChars: return opens([this] { return new DateCharsDialog(program_, this); });
    case MenuCommand::Table: return command([&] { program_.tableMenuClick(item.value); });
    case MenuCommand::Signal: return command([&] { program_.signalClick(); });
    case MenuCommand::Exit: close(); return;
    case MenuCommand::Original: return command([&] { colours.originalColoursClick(); });
    case MenuCommand::Undo: return command([&] { colours.undoColoursClick(); });
    case MenuCommand::ScreenColour: return command([&] { colours.screenColourClick(item.value); });
    case MenuCommand::CitiesLightGrey: return command([&] { colours.citiesLightGreyClick(); });
    case MenuCommand::CitiesBlack: return command([&] { colours.citiesBlackClick(); });
    case MenuCommand::TimesColour: return command([&] { colours.timesColourClick(item.value); });
    case MenuCommand::Info: return openInformation();
    case MenuCommand::Help: return openHelp();
    }
}

MainWindow::~MainWindow() {
    if (tickLog_) std::fclose(tickLog_);
}

template <class Fn> void MainWindow::command(Fn&& fn) {
    if (program_.failed()) return;
    fn();
    render();
    tickSoon();
}

void MainWindow::render() {
    binder_.render();
    if (startupPicture_ && !program_.startupPictureOpen()) startupPicture_->close();
    if (program_.failed()) emit failed();
}

void MainWindow::tickOnce() {
    program_.tick();
    render();
    emit ticked();
}

void MainWindow::startClock() {
    if (!timer_) {
        timer_ = new QTimer(this);
        timer_->setObjectName("Timer1");
        timer_->setSingleShot(true);
        timer_->setTimerType(Qt::PreciseTimer);
        connect(timer_, &QTimer::timeout, this, &MainWindow::timerTick);
        qApp->installEventFilter(this);
        if (const char* path = std::getenv("VEMAR_TICK_LOG")) tickLog_ = std::fopen(path, "a");
    }
    armTimer();
}

// Armed afresh from the system clock at every tick, so a change of the
// clock or a resume from suspend shows within a second.
void MainWindow::armTimer() {
    if (program_.failed() || shutDownDone_) return;
    timer_->start(NextTickDelayMs(std::chrono::system_clock::now(), program_.needsFastTicks()));
}

void MainWindow::timerTick() {
    const auto start = std::chrono::system_clock::now();
    tickOnce();
    if (tickLog_) logTick(start);
    armTimer();
}

void MainWindow::tickSoon() {
    if (timer_ && timer_->isActive()) timer_->start(0);
}

// One line per second shown: the second (system clock, seconds since 1970)
// and how long after it the tick that shows it was rendered.
void MainWindow::logTick(std::chrono::system_clock::time_point start) {
    using namespace std::chrono;
    const auto second = floor<seconds>(start);
    if (second.time_since_epoch().count() == lastLoggedSecond_) return;
    lastLoggedSecond_ = second.time_since_epoch().count();
    std::fprintf(tickLog_, "%lld %.6f\n", lastLoggedSecond_,
                 duration<double>(system_clock::now() - second).count());
    std::fflush(tickLog_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        tickSoon();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showModal(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialogs_.append(dialog);
    connect(dialog, &QDialog::finished, this, [this] {
        render();
        tickSoon();
    });
    dialog->show();
}

void MainWindow::showStartupPicture() {
    auto* picture = new PictureWindow(PictureWindow::Kind::Startup, this);
    connect(picture, &PictureWindow::pictureClicked, this, [this] {
        program_.startupPictureClicked();
        render();
    });
    startupPicture_ = picture;
    showModal(picture);
}

void MainWindow::openInformation() {
    command([&] { program_.infoClick(); });
    showModal(new PictureWindow(PictureWindow::Kind::Information, this));
}

void MainWindow::openHelp() { showModal(new HelpWindow(this)); }

QList<QWidget*> MainWindow::openWindows() const {
    QList<QWidget*> windows{const_cast<MainWindow*>(this)};
    for (const auto& d : dialogs_)
        if (d && d->isVisible()) windows.append(d.data());
    return windows;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!shutDownDone_) {
        shutDownDone_ = true;
        if (timer_) timer_->stop();
        program_.shutDown();
        if (program_.failed()) emit failed();
    }
    event->accept();
}

} // namespace vemar::ui
