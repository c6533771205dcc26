#include "ui/dialogs/paramsdialog.h"
#include "core/controlnames.h"
#include "core/program.h"
#include "ui/dialogs/dialogkeys.h"
#include "ui/widgets/filteredbox.h"
#include "ui/widgets/twips.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vemar::ui {

namespace {

constexpr int kClientWidth = 3375;   // twips
constexpr int kClientHeight = 2985;

} // namespace

ParamsDialog::ParamsDialog(Program& program, QWidget* parent)
    : QDialog(parent), logic_(program) {
    setObjectName(kParamsNames.form);
    setFixedSize(px(kClientWidth), px(kClientHeight));
    buildControls();
    logic_.load();
    render();
    // The frames paint a shaded panel: the buttons inside show it through
    // rather than a grey box of their own. Each button is as wide as its
    // caption, so a click anywhere on it counts.
    for (QAbstractButton* button : framedButtons_) {
        button->setAutoFillBackground(false);
        button->resize(button->sizeHint().width(), button->height());
    }
}

void ParamsDialog::buildControls() {
    const ParamsView& v = logic_.view();
    binder_.bind(this, &v.form);

    auto* latitudeLabel = place(new QLabel(this), kParamsNames.latitudeLabel, 120, 240, 1335, 375);
    auto* longitudeLabel = place(new QLabel(this), kParamsNames.longitudeLabel, 120, 720, 1695, 375);
    binder_.bind(latitudeLabel, &v.latitudeLabel);
    binder_.bind(longitudeLabel, &v.longitudeLabel);

    struct Box { const char* name; int left, top; const ControlView* view;
                 void (ParamsDialogLogic::*changed)(std::string_view); };
    const Box boxes[] = {
        {kParamsNames.boxes[0], 1800, 240, &v.latitudeDegrees, &ParamsDialogLogic::latitudeDegreesChanged},
        {kParamsNames.boxes[1], 2640, 240, &v.latitudeMinutes, &ParamsDialogLogic::latitudeMinutesChanged},
        {kParamsNames.boxes[2], 1800, 720, &v.longitudeDegrees, &ParamsDialogLogic::longitudeDegreesChanged},
        {kParamsNames.boxes[3], 2640, 720, &v.longitudeMinutes, &ParamsDialogLogic::longitudeMinutesChanged},
    };
    for (const Box& b : boxes) {
        auto* box = place(new QLineEdit(this), b.name, b.left, b.top, 615, 360);
        binder_.bind(box, b.view);
        // textEdited: only what the user types; the core's own rewrites of the
        // box come back through render() and are not edits.
        connect(box, &QLineEdit::textEdited, this,
                [this, box, changed = b.changed](const QString& typed) { edited(box, changed, typed); });
    }

    auto* halfHourFrame = place(new QGroupBox(this), kParamsNames.halfHourFrame, 120, 1200, 3135, 615);
    binder_.bind(halfHourFrame, &v.halfHourFrame);
    auto* halfHourYes = place(new QRadioButton(halfHourFrame), kParamsNames.halfHourYes, 240, 240, 1000, 300);
    auto* halfHourNo = place(new QRadioButton(halfHourFrame), kParamsNames.halfHourNo, 2160, 240, 900, 300);
    binder_.bind(halfHourYes, &v.halfHourYes);
    binder_.bind(halfHourNo, &v.halfHourNo);
    connect(halfHourYes, &QRadioButton::clicked, this, [this] { logic_.halfHourYesClick(); render(); });
    connect(halfHourNo, &QRadioButton::clicked, this, [this] { logic_.halfHourNoClick(); render(); });

    auto* autoDstFrame = place(new QGroupBox(this), kParamsNames.autoDstFrame, 120, 1860, 3135, 495);
    binder_.bind(autoDstFrame, &v.autoDstFrame);
    auto* autoDstBox = place(new QCheckBox(autoDstFrame), kParamsNames.autoDstBox, 120, 150, 2940, 300);
    binder_.bind(autoDstBox, &v.autoDstBox);
    framedButtons_ = {halfHourYes, halfHourNo, autoDstBox};
    connect(autoDstBox, &QCheckBox::clicked, this, [this](bool ticked) { logic_.autoDstClick(ticked); render(); });

    auto* cancel = place(new QPushButton(this), kParamsNames.annulla, 120, 2520, 1335, 375);
    auto* ok = place(new QPushButton(this), kParamsNames.ok, 1920, 2520, 1335, 375);
    binder_.bind(cancel, &v.annullaButton);
    binder_.bind(ok, &v.okButton);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (logic_.okClick()) close();
        else render();
    });
    DialogKeys::install(this, ok, cancel);
}

// A refused character leaves the view as it was: the box is redrawn anyway.
void ParamsDialog::edited(QLineEdit* box, void (ParamsDialogLogic::*changed)(std::string_view),
                          const QString& typed) {
    editFiltered(box, typed, [&] {
        (logic_.*changed)(typed.toStdString());
        binder_.retypeCaption(box);
        render();
    });
}

void ParamsDialog::render() { binder_.render(); }

void ParamsDialog::unloadOnce() {
    if (unloaded_) return;
    unloaded_ = true;
    logic_.unload();
}

void ParamsDialog::done(int result) {
    unloadOnce();
    QDialog::done(result);
}

void ParamsDialog::closeEvent(QCloseEvent* event) {
    unloadOnce();
    QDialog::closeEvent(event);
}

} // namespace vemar::ui
