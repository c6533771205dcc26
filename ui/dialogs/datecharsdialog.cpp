#include "ui/dialogs/datecharsdialog.h"
#include "core/controlnames.h"
#include "core/program.h"
#include "ui/dialogs/dialogkeys.h"
#include "ui/widgets/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <map>
#include <string>

namespace vemar::ui {

namespace {

// In twips.
constexpr int kClientWidth = 3435;
constexpr int kClientHeight = 1935;
constexpr int kLabelHeight = 255;
constexpr int kBoxSide = 375;
constexpr double kBoxPoints = 13.5;

} // namespace

template <class Fn> void DateCharsDialog::handle(Fn&& fn) {
    fn();
    binder_.render();
    if (dialog_.closeRequested()) close();
}

DateCharsDialog::DateCharsDialog(Program& program, QWidget* parent) : QDialog(parent), dialog_(program) {
    const DateCharsView& v = dialog_.view();
    setObjectName(kDateCharsNames.form);
    setFixedSize(px(kClientWidth), px(kClientHeight));
    binder_.bind(this, &v.form);

    auto label = [&](const char* name, const ControlView& view, int top) {
        auto* widget = new QLabel(this);
        place(widget, name, 120, top, 2655, kLabelHeight);
        binder_.bind(widget, &view);
    };
    label(kDateCharsNames.firstLabel, v.firstLabel, 280);
    QLineEdit* firstBox = makeBox(kDateCharsNames.firstBox, v.firstBox, 240);
    label(kDateCharsNames.secondLabel, v.secondLabel, 880);
    QLineEdit* secondBox = makeBox(kDateCharsNames.secondBox, v.secondBox, 840);
    connect(firstBox, &QLineEdit::textEdited, this,
            [this, firstBox](const QString& text) { boxEdited(firstBox, text, &DateCharsLogic::firstBoxChanged); });
    connect(secondBox, &QLineEdit::textEdited, this,
            [this, secondBox](const QString& text) { boxEdited(secondBox, text, &DateCharsLogic::secondBoxChanged); });

    std::map<std::string, QPushButton*> buttons;
    auto button = [&](const char* name, const ControlView& view, int left, int width, auto click) {
        auto* widget = new QPushButton(this);
        buttons[name] = widget;
        place(widget, name, left, 1440, width, 375);
        widget->setAutoDefault(false);
        binder_.bind(widget, &view);
        connect(widget, &QPushButton::clicked, this, [this, click] { handle([&] { (dialog_.*click)(); }); });
    };
    button(kDateCharsNames.defaultButton, v.defaultButton, 120, 1095, &DateCharsLogic::defaultClick);
    button(kDateCharsNames.annulla, v.annullaButton, 1320, 1215, &DateCharsLogic::annullaClick);
    button(kDateCharsNames.ok, v.okButton, 2640, 735, &DateCharsLogic::okClick);
    DialogKeys::install(this, buttons[kDateCharsNames.ok], buttons[kDateCharsNames.annulla]);

    dialog_.open();
    binder_.render();
    // The binder gives every control the window's font size at its first
    // render; the two boxes show their character larger.
    for (QLineEdit* box : {firstBox, secondBox}) {
        QFont font = box->font();
        font.setPointSizeF(kBoxPoints);
        font.setBold(true);
        box->setFont(font);
    }
}

// A refused character leaves the view as it was: the box is redrawn anyway.
void DateCharsDialog::boxEdited(QLineEdit* box, const QString& text,
                                void (DateCharsLogic::*changed)(std::string_view)) {
    binder_.retypeCaption(box);
    handle([&] { (dialog_.*changed)(text.toStdString()); });
}

QLineEdit* DateCharsDialog::makeBox(const char* name, const ControlView& view, int top) {
    auto* box = new QLineEdit(this);
    place(box, name, 3000, top, kBoxSide, kBoxSide);
    box->setMaxLength(1);
    box->setAlignment(Qt::AlignCenter);
    box->setTextMargins(0, 0, 0, 0);
    binder_.bind(box, &view);
    return box;
}

} // namespace vemar::ui
