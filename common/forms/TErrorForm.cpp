#include "common/forms/TErrorForm.h"

#include "common/forms/AbortAction.h"
#include "common/forms/ScreenPrinter.h"
#include "engine/EngineError.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace vm::forms {

namespace {

QLabel* sunkenField(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setMinimumWidth(90);
    l->setMargin(3);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

TErrorForm::TErrorForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TErrorForm"));
    setWindowTitle(QStringLiteral("Error"));
    setModal(true);
    // No border icons: the form is left through its own buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ImageError"));
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(40, 40));
    auto* heading = label(this, "LabelHeading", QStringLiteral("ERROR"));
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    heading->setFont(big);
    heading->setStyleSheet(QStringLiteral("color: #b00020;"));

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(8);
    top->addWidget(heading);
    top->addStretch();

    category_ = sunkenField(this, "ErrCat");
    code_ = sunkenField(this, "ErrCode");
    message_ = new QPlainTextEdit(this);
    message_->setObjectName(QStringLiteral("ErrMess"));
    message_->setReadOnly(true);
    message_->setMinimumSize(380, 90);
    message_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(8);
    fields->addWidget(label(this, "LabelCategory", QStringLiteral("Category: ")), 0, 0);
    fields->addWidget(category_, 0, 1);
    fields->addItem(new QSpacerItem(24, 1), 0, 2);
    fields->addWidget(label(this, "LabelCode", QStringLiteral("Code: ")), 0, 3);
    fields->addWidget(code_, 0, 4);
    fields->setColumnStretch(5, 1);
    auto* messageLabel = label(this, "LabelMessage", QStringLiteral("Message: "));

    auto* notice = label(this, "LabelNotice", QStringLiteral("Application must be closed."));
    QFont bold = notice->font();
    bold.setBold(true);
    notice->setFont(bold);

    auto* print = new QPushButton(QStringLiteral("Print"), this);
    print->setObjectName(QStringLiteral("BtnPrint"));
    print->setAutoDefault(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    close->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(close);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(16, 14, 16, 14);
    root->setSpacing(8);
    root->addLayout(top);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    root->addWidget(rule);
    root->addLayout(fields);
    root->addWidget(messageLabel);
    root->addWidget(message_, 1);
    root->addWidget(notice);
    root->addLayout(buttons);

    connect(print, &QPushButton::clicked, this, [this] { printScreen(*this, printerIndex_); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TErrorForm::Show(const QString& category, const QString& code, const QString& message) {
    category_->setText(category);
    code_->setText(code);
    message_->setPlainText(message);
    exec();
}

int TErrorForm::Handle(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const AbortAction&) {
        throw; // already shown, or given up by the user
    } catch (const EngineError& e) {
        if (e.isLock()) { // a record lock, or the database busy: both are retried
            retryState_ = kLocked;
        } else {
            Show(QString::number(e.category()), QString::number(e.subCode() & 0xFF),
                 QString::fromUtf8(e.what()));
        }
    } catch (const std::exception& e) {
        Show(QStringLiteral("xxxxx"), QStringLiteral("xxxxx"), QString::fromUtf8(e.what()));
    } catch (...) {
        Show(QStringLiteral("xxxxx"), QStringLiteral("xxxxx"), QString());
    }
    return retryState_;
}

QString TErrorForm::category() const {
    return category_->text();
}
QString TErrorForm::code() const {
    return code_->text();
}
QString TErrorForm::message() const {
    return message_->toPlainText();
}

void TErrorForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the screen, not on the owner.
    if (QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

} // namespace vm::forms
