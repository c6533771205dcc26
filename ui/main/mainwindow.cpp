#include "ui/main/mainwindow.h"

#include "core/program.h"
#include "core/texts.h"
#include "ui/dialogs/datecharsdialog.h"
#include "ui/dialogs/paramsdialog.h"
#include "ui/dialogs/ruledialog.h"
#include "ui/dialogs/zoneeditordialog.h"
#include "ui/info/helpwindow.h"
#include "ui/support/filteredbox.h"
#include "ui/info/picturewindow.h"
#include "ui/main/panel.h"
#include "ui/main/updown.h"
#include "ui/support/glyphlabel.h"
#include "ui/support/twips.h"

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
#include <cstdlib>

namespace vemar::ui {

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

} // namespace

int NextTickDelayMs(std::chrono::system_clock::time_point now, bool fast) {
    using namespace std::chrono;
    if (fast) return kFastTickMs;
    const auto toNextSecond = seconds(1) - now.time_since_epoch() % seconds(1);
    return static_cast<int>(ceil<milliseconds>(toNextSecond).count()) + kPastSecondMs;
}

MainWindow::MainWindow(Program& program, QWidget* parent) : QMainWindow(parent), program_(program) {
    setObjectName("Form1");
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

void MainWindow::buildControls(QWidget* client) {
    MainView& v = program_.view();
    auto label = [&](const QString& name, ControlView& view, int l, int t, int w, int h,
                     Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, QLabel* widget = nullptr) {
        if (!widget) widget = new QLabel(client);
        widget->setAlignment(align);
        place(widget, name, l, t, w, h);
        // Fixed size: a new text repaints the label and asks for no relayout.
        widget->setFixedSize(widget->size());
        binder_.bind(widget, &view);
        return widget;
    };
    // The times that change every second: painted from glyphs laid out once.
    auto timeLabel = [&](const QString& name, ControlView& view, int l, int t, int w, int h) {
        return label(name, view, l, t, w, h, Qt::AlignCenter, new GlyphLabel(client));
    };
    auto panel = [&](const QString& name, ControlView& view, int l, int t, int w, int h) {
        auto* widget = new Panel(client);
        place(widget, name, l, t, w, h);
        widget->setFixedSize(widget->size());
        binder_.bind(widget, &view);
        return widget;
    };

    connect(panel("SSPanel7", v.tableButton, 120, 120, 2805, 375), &Panel::clicked, this,
            [this] { command([&] { program_.pageSwitchClick(); }); });
    panel("SSPanel6", v.summerPeriod, 3045, 120, 7215, 375);

    QFont timeFont = QApplication::font();
    timeFont.setBold(true);
    for (int c = 0; c < 3; ++c) {
        const GridColumn& col = kColumns[c];
        for (int r = 0; r < 9; ++r) {
            const int k = c * 9 + r;
            const int top = col.tops[r];
            label(indexed("Label1", k), v.cityNames[k], col.nameLeft, top, col.nameWidth, col.height)
                ->setIndent(3);
            timeLabel(indexed("Label2", k), v.rowTimes[k], col.timeLeft, top, col.timeWidth, col.height)
                ->setFont(timeFont);
            label(indexed("Label3", k), v.dateMarkers[k], col.markLeft, top, col.markWidth, col.height,
                  Qt::AlignCenter)->setAutoFillBackground(false);
        }
    }

    panel(indexed("SSPanel1", 0), v.dateSymbols[0], 120, 4740, 375, 375);
    panel(indexed("SSPanel1", 1), v.dateSymbols[1], 600, 4740, 375, 375);
    panel("SSPanel2", v.firstDate, 1080, 4740, 2775, 375);
    connect(panel("SSPanel5", v.summerTimeButton, 4200, 4740, 1935, 375), &Panel::clicked, this,
            [this] { command([&] { program_.dstSwitchClick(); }); });
    panel(indexed("SSPanel1", 3), v.dateSymbols[3], 6400, 4740, 375, 375);
    panel(indexed("SSPanel1", 2), v.dateSymbols[2], 6880, 4740, 375, 375);
    panel("SSPanel3", v.secondDate, 7370, 4740, 2895, 375);

    const auto centred = Qt::AlignCenter;
    label("Label4", v.northLegend, 3480, 5160, 3735, 255, centred);
    label("Label5", v.halfHourLegend, 3240, 5400, 4215, 255, centred);
    label("Label6", v.southLegend, 2640, 5640, 5415, 255, centred);

    auto* signal = new QPushButton(client);
    place(signal, "SSCommand1", 120, 5280, 2475, 360);
    binder_.bind(signal, &v.signalButton);
    connect(signal, &QPushButton::clicked, this, [this] { command([&] { program_.signalClick(); }); });

    label("Label7", v.utHeading, 120, 5760, 900, 300);
    label("Label8", v.meanTimeHeading, 120, 6120, 900, 300);
    label("Label9", v.siderealHeading, 120, 6520, 900, 300);
    timeLabel(indexed("Label2", 27), v.utTime, 1080, 5760, 1050, 300);
    timeLabel(indexed("Label2", 28), v.meanTime, 1080, 6135, 1050, 300);
    timeLabel(indexed("Label2", 29), v.siderealTime, 1080, 6525, 1050, 300);
    label(indexed("Label2", 33), v.sunSentence, 2640, 5880, 5010, 270, centred);
    label(indexed("Label2", 34), v.moonSentence, 2640, 6210, 5010, 270, centred);
    panel("SSPanel8", v.dayOfYear, 2280, 6535, 2775, 300);
    panel("SSPanel9", v.daysToYearEnd, 5160, 6535, 2895, 300);
    timeLabel(indexed("Label2", 30), v.yearStart, 120, 6900, 3210, 300);
    timeLabel(indexed("Label2", 32), v.julianDay, 3960, 6900, 2490, 300);
    timeLabel(indexed("Label2", 31), v.yearEnd, 7005, 6900, 3210, 300);

    auto* hemisphere = new QGroupBox(client);
    place(hemisphere, "Frame2", 8040, 5400, 975, 975);
    binder_.bind(hemisphere, &v.hemisphereFrame);
    auto* north = new QRadioButton(hemisphere);
    place(north, "Option1", 120, 240, 735, 255);
    binder_.bind(north, &v.northOption);
    auto* south = new QRadioButton(hemisphere);
    place(south, "Option2", 120, 600, 735, 255);
    binder_.bind(south, &v.southOption);
    // The checked option is the core's: a click only forwards the command.
    north->setAutoExclusive(false);
    south->setAutoExclusive(false);
    connect(north, &QRadioButton::clicked, this, [this] { command([&] { program_.hemisphereClick(vemar::Hemisphere::North); }); });
    connect(south, &QRadioButton::clicked, this, [this] { command([&] { program_.hemisphereClick(vemar::Hemisphere::South); }); });

    auto* zone = new QGroupBox(client);
    place(zone, "Frame1", 9120, 5400, 1095, 975);
    binder_.bind(zone, &v.zoneFrame);
    zoneBox_ = new QLineEdit(zone);
    place(zoneBox_, "Text1", 120, 360, 375, 285);
    zoneBox_->setAlignment(Qt::AlignCenter);
    zoneBox_->setFrame(true);
    binder_.bind(zoneBox_, &v.zoneBox);
    connect(zoneBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        editFiltered(zoneBox_, text, [&] {
            binder_.retypeCaption(zoneBox_);
            command([&] { program_.zoneBoxChanged(text.toStdString()); });
        });
    });
    auto* upDown = new UpDown(zone);
    place(upDown, "UpDown1", 720, 240, 240, 615);
    binder_.bind(upDown, &v.zoneUpDown);
    connect(upDown, &UpDown::upClicked, this, [this] { command([&] { program_.upDownClick(+1); }); });
    connect(upDown, &UpDown::downClicked, this, [this] { command([&] { program_.upDownClick(-1); }); });

    auto* save = new QPushButton(client);
    place(save, "Command1", 8400, 6480, 1794, 375);
    binder_.bind(save, &v.saveZoneButton);
    connect(save, &QPushButton::clicked, this, [this] { command([&] { program_.saveZoneClick(); }); });
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, std::string_view caption,
                             const MenuItemView* view) {
    auto* action = new QAction(qs(caption), this);
    action->setObjectName(name);
    menu ? menu->addAction(action) : menuBar()->addAction(action);
    if (view) binder_.bind(action, view);
    return action;
}

void MainWindow::buildMenus() {
    using namespace texts;
    MainView::Menu& m = program_.view().menu;
    auto on = [this](QAction* action, auto fn) {
        connect(action, &QAction::triggered, this, [this, fn] { command(fn); });
    };

    QMenu* file = menuBar()->addMenu(qs(kMenuFile));
    file->setObjectName("file");
    auto opens = [this](QAction* action, auto make) {
        connect(action, &QAction::triggered, this, [this, make] {
            if (!program_.failed()) showModal(make());
        });
    };
    opens(addItem(file, "Param", kMenuParam, &m.param), [this] { return new ParamsDialog(program_, this); });
    opens(addItem(file, "Orlega", kMenuOrlega, &m.orlega), [this] { return new RuleDialog(program_, this); });
    file->addSeparator();
    on(addItem(file, "tabel(2)", kMenuTable1, &m.tabel2), [this] { program_.tableMenuClick(2); });
    on(addItem(file, "tabel(3)", kMenuTable2, &m.tabel3), [this] { program_.tableMenuClick(3); });
    file->addSeparator();
    QMenu* tables = file->addMenu(qs(kMenuEditTables));
    tables->setObjectName("MOdTab");
    opens(addItem(tables, "Tabfu", kMenuZoneTable, &m.tabfu),
          [this] { return new ZoneEditorDialog(program_, EditorVariant::Zones, this); });
    opens(addItem(tables, "Tabtip", kMenuClassTable, &m.tabtip),
          [this] { return new ZoneEditorDialog(program_, EditorVariant::Classes, this); });
    opens(addItem(file, "CarDat", kMenuDateChars, &m.carDat),
          [this] { return new DateCharsDialog(program_, this); });
    file->addSeparator();
    QAction* signal = addItem(file, "Segnale", kMenuSignal, nullptr);
    signal->setCheckable(true);
    binder_.bind(signal, &m.segnale);
    on(signal, [this] { program_.signalClick(); });
    file->addSeparator();
    connect(addItem(file, "esci(4)", kMenuExit, &m.esci4), &QAction::triggered, this, &QWidget::close);

    QMenu* colours = menuBar()->addMenu(qs(kMenuColours));
    colours->setObjectName("colori");
    on(addItem(colours, "colorig", kMenuOriginal, &m.colorig), [this] { program_.colours().originalColoursClick(); });
    on(addItem(colours, "Annulla", kMenuUndo, &m.annulla), [this] { program_.colours().undoColoursClick(); });
    colours->addSeparator();
    QMenu* screen = colours->addMenu(qs(kMenuScreen));
    screen->setObjectName("fondo");
    struct Item { const char* name; std::string_view caption; MenuItemView* view; int colour; };
    for (const Item& i : {Item{"Bscuro", kBlue, &m.bscuro, 1}, Item{"vscuro", kDarkGreen, &m.vscuro, 2},
                          Item{"Rscuro", kDarkRed, &m.rscuro, 4}, Item{"grigio", kLightGrey, &m.grigio, 7},
                          Item{"GScuro", kDarkGrey, &m.gscuro, 8}})
        on(addItem(screen, i.name, i.caption, i.view), [this, c = i.colour] { program_.colours().screenColourClick(c); });
    QMenu* cities = colours->addMenu(qs(kMenuCities));
    cities->setObjectName("fcit");
    on(addItem(cities, "Gric", kLightGreyCap, &m.gric), [this] { program_.colours().citiesLightGreyClick(); });
    on(addItem(cities, "Nero", kBlack, &m.nero), [this] { program_.colours().citiesBlackClick(); });
    QMenu* times = colours->addMenu(qs(kMenuTimes));
    times->setObjectName("fondora");
    for (const Item& i : {Item{"blu", kBlue, &m.blu, 1}, Item{"vscuro2", kDarkGreenTimes, &m.vscuro2, 2},
                          Item{"Rscuro2", kDarkRed, &m.rscuro2, 4}, Item{"Gchiaro", kLightGreyCap, &m.gchiaro, 7}})
        on(addItem(times, i.name, i.caption, i.view), [this, c = i.colour] { program_.colours().timesColourClick(c); });

    connect(addItem(nullptr, "info(5)", kMenuInfo, &m.info5), &QAction::triggered, this,
            &MainWindow::openInformation);
    connect(addItem(nullptr, "help(6)", kMenuHelp, &m.help6), &QAction::triggered, this,
            &MainWindow::openHelp);
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
        program_.closeStartupPicture();
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
