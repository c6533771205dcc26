#include "ui/info/helpwindow.h"

#include "core/controlnames.h"
#include "core/texts.h"
#include "ui/widgets/twips.h"
#include "ui/widgets/viewbinder.h"

#include <QPushButton>
#include <QTextEdit>

namespace vemar::ui {

HelpWindow::HelpWindow(QWidget* parent) : CentredDialog(parent) {
    setObjectName(kHelpNames.form);
    setWindowTitle(qs(texts::kHelpCaption));
    setFixedSize(px(6030), px(3810));

    auto* text = new QTextEdit(this);
    text->setObjectName(kHelpNames.text);
    text->setReadOnly(true);
    text->setAccessibleName(qs(texts::kHelpTextName));
    text->setGeometry(0, 0, px(6015), px(3255));
    // The lines are laid out by their leading blanks: they must never wrap.
    text->setLineWrapMode(QTextEdit::NoWrap);
    QFont font(QStringList{"MS Sans Serif", "Liberation Sans", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(12);
    font.setBold(true);
    text->setFont(font);
    QPalette p = text->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    text->setPalette(p);
    QString lines;
    for (std::string_view line : texts::kHelpLines) lines += qs(line) + '\n';
    lines.chop(1);
    text->setPlainText(lines);

    auto* ok = new QPushButton(qs(texts::kOk), this);
    ok->setObjectName(kHelpNames.ok);
    ok->setGeometry(px(2520), px(3360), px(1095), px(375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace vemar::ui
