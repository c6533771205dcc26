#include "ui/dialogs/questionbox.h"

#include <QAbstractButton>

namespace vemar::ui {

std::unique_ptr<QMessageBox> makeQuestionBox(const QString& text, const QString& title, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, title, text,
                                             QMessageBox::Yes | QMessageBox::No, parent);
    box->setDefaultButton(QMessageBox::Yes);
    return box;
}

QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* b : box.buttons()) {
        QString shown = b->text();
        shown.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'));
        texts << shown.replace(QChar(0x01), QLatin1Char('&'));
    }
    return texts;
}

} // namespace vemar::ui
