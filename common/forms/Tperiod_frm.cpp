#include "common/forms/Tperiod_frm.h"

#include "common/forms/MessageList.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vm::forms {

Tperiod_frm::Tperiod_frm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Tperiod_frm"));
    setWindowTitle(QStringLiteral("Change period number"));
    setModal(true);
    // No system buttons: OK is the only way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* label = new QLabel(QStringLiteral("Period number"), this);
    label->setObjectName(QStringLiteral("LabelPeriod"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("EditPeriod"));
    edit_->setMaxLength(2);
    edit_->setFixedWidth(48);
    edit_->setAlignment(Qt::AlignRight);
    label->setBuddy(edit_);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setDefault(true);
    ok->setMinimumWidth(88);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addSpacing(12);
    row->addWidget(edit_);
    row->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(18, 16, 18, 14);
    root->setSpacing(14);
    root->addLayout(row);
    root->addLayout(buttons);
    setMinimumWidth(300);

    messages_ = new MessageList(this);

    connect(ok, &QPushButton::clicked, this, &Tperiod_frm::accept);
}

QString Tperiod_frm::refusalMessage() const {
    const QString translated = messages_->message(0);
    if (!translated.isEmpty()) return translated;
    return language_ == 1 ? QStringLiteral("Enter a period number from 0 to %1.").arg(kLastPeriod)
                          : QStringLiteral("Entrez un numéro de période de 0 à %1.").arg(kLastPeriod);
}

void Tperiod_frm::setPeriod(int period) {
    edit_->setText(QString::number(period));
}

std::optional<int> Tperiod_frm::parsePeriod(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    if (i == t.size()) return std::nullopt;
    for (qsizetype j = i; j < t.size(); ++j)
        if (t[j] < QLatin1Char('0') || t[j] > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (!ok || n < 0 || n > kLastPeriod) return std::nullopt;
    return n;
}

std::optional<int> Tperiod_frm::period() const {
    return parsePeriod(edit_->text());
}

void Tperiod_frm::accept() {
    if (!period()) {
        QMessageBox box(QMessageBox::Information, windowTitle(), refusalMessage(), QMessageBox::Ok, this);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        box.exec();
        edit_->setFocus();
        edit_->selectAll();
        return;
    }
    leaving_ = true;
    QDialog::accept();
    leaving_ = false;
}

void Tperiod_frm::reject() {}

void Tperiod_frm::closeEvent(QCloseEvent* event) {
    if (leaving_)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void Tperiod_frm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) edit_->setFocus();
}

void Tperiod_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus();
    edit_->selectAll();
    if (QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

} // namespace vm::forms
