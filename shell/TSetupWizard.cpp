#include "shell/TSetupWizard.h"

#include "common/core/SettingsStore.h"
#include "common/forms/MessageList.h"
#include "engine/EngineError.h"
#include "shell/core/CompanyDefaultsStore.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vm::shell {

TSetupWizard::TSetupWizard(int language, QWidget* parent) : QDialog(parent), rules_(language) {
    setObjectName(QStringLiteral("SetupWizard"));
    setWindowTitle(QStringLiteral("Tarnwell setup wizard"));
    // No border icons: the wizard is left through its own buttons (or Escape,
    // which stores nothing).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setMinimumSize(500, 330);

    // Not "IntlStrings1": the wizard is a child of the main window, whose
    // translation would fill a list of that name with its own messages.
    strings_ = new forms::MessageList(this, QStringLiteral("WizardStrings1"));
    strings_->setLines(
        {QStringLiteral("Enter your sales tax  and VAT rates"), QStringLiteral("Enter your GST/PST rates"),
         QStringLiteral("VAT/Tax 1 rate"), QStringLiteral("VAT/Tax 2 rate"), QStringLiteral("GST rate"),
         QStringLiteral("PST rate"), QStringLiteral("HST rate"), QStringLiteral("Enter your GST/QST rates"),
         QStringLiteral("QST rate"), QStringLiteral("Enter your GST/PST/HST rates"),
         QStringLiteral("The field \"%1\" must hold a number, for example 7.5. Nothing has been saved.")});

    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("Pages"));

    // 1. Introduction
    QWidget* p1 = makePage("Page1");
    intro_ = new QPlainTextEdit(p1);
    intro_->setObjectName(QStringLiteral("Memo1"));
    intro_->setReadOnly(true);
    intro_->setFrameShape(QFrame::NoFrame);
    intro_->viewport()->setAutoFillBackground(false);
    intro_->setPlainText(QStringLiteral("The setup wizard will help you to rapidly \n"
                                        "configure some of the most important controls \n"
                                        "in the software."));
    intro_->setMaximumHeight(80);
    location_ = new QGroupBox(QStringLiteral("I am"), p1);
    location_->setObjectName(QStringLiteral("RadioGroup1"));
    inCanada_ = new QRadioButton(QStringLiteral("&In Canada"), location_);
    outside_ = new QRadioButton(QStringLiteral("&Outside of Canada"), location_);
    auto* lb = new QVBoxLayout(location_);
    lb->addWidget(inCanada_);
    lb->addWidget(outside_);
    p1->layout()->addWidget(intro_);
    p1->layout()->addWidget(location_);
    static_cast<QVBoxLayout*>(p1->layout())->addStretch(1);
    auto* b1 = new QHBoxLayout;
    b1->addStretch(1);
    b1->addWidget(makeButton(p1, "BtnNext1", QStringLiteral("&Next >>")));
    static_cast<QVBoxLayout*>(p1->layout())->addLayout(b1);

    // 2. Province
    QWidget* p2 = makePage("Page2");
    auto* provinceGroup = new QGroupBox(QStringLiteral("Select the province in which you reside"), p2);
    provinceGroup->setObjectName(QStringLiteral("GroupBox1"));
    auto* provinceLabel = new QLabel(QStringLiteral("Provinces"), provinceGroup);
    provinceLabel->setObjectName(QStringLiteral("Label1"));
    province_ = new QComboBox(provinceGroup);
    province_->setObjectName(QStringLiteral("ComboProvince"));
    province_->addItems({QStringLiteral("Alberta"), QStringLiteral("British Columbia"),
                         QStringLiteral("Manitoba"), QStringLiteral("Newfoundland and Labrador"),
                         QStringLiteral("New Brunswick"), QStringLiteral("Nova Scotia"),
                         QStringLiteral("Prince Edward Island"), QStringLiteral("Québec"),
                         QStringLiteral("Ontario"), QStringLiteral("Saskatchewan"), QStringLiteral("Yukon"),
                         QStringLiteral("Northwest Territories"), QStringLiteral("Nunavut")});
    auto* pf = new QFormLayout(provinceGroup);
    pf->addRow(provinceLabel, province_);
    p2->layout()->addWidget(provinceGroup);
    static_cast<QVBoxLayout*>(p2->layout())->addStretch(1);
    auto* b2 = new QHBoxLayout;
    b2->addStretch(1);
    b2->addWidget(makeButton(p2, "BtnBack2", QStringLiteral("<< &Back")));
    b2->addWidget(makeButton(p2, "BtnNext2", QStringLiteral("&Next >>")));
    static_cast<QVBoxLayout*>(p2->layout())->addLayout(b2);

    // 3. Taxes
    QWidget* p3 = makePage("Page3");
    auto* dateLabel = new QLabel(QStringLiteral("Date format: "), p3);
    dateLabel->setObjectName(QStringLiteral("LabelDateFmt"));
    dateFormat_ = new QComboBox(p3);
    dateFormat_->setObjectName(QStringLiteral("ComboDateFmt"));
    for (const char* f : CompanyDefaultsWizard::kDateFormats)
        dateFormat_->addItem(QString::fromLatin1(f));
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(dateLabel);
    dateRow->addWidget(dateFormat_);
    dateRow->addStretch(1);
    taxes_ = new QGroupBox(p3);
    taxes_->setObjectName(QStringLiteral("GroupTaxes"));
    auto* tf = new QFormLayout(taxes_);
    for (int i = 0; i < 3; ++i) {
        rateLabel_[i] = new QLabel(taxes_);
        rateLabel_[i]->setObjectName(QStringLiteral("LabelRate%1").arg(i + 1));
        rate_[i] = new QLineEdit(taxes_);
        rate_[i]->setObjectName(QStringLiteral("EditRate%1").arg(i + 1));
        rate_[i]->setMaximumWidth(90);
        tf->addRow(rateLabel_[i], rate_[i]);
    }
    static_cast<QVBoxLayout*>(p3->layout())->addLayout(dateRow);
    p3->layout()->addWidget(taxes_);
    static_cast<QVBoxLayout*>(p3->layout())->addStretch(1);
    auto* b3 = new QHBoxLayout;
    b3->addStretch(1);
    b3->addWidget(makeButton(p3, "BtnBack3", QStringLiteral("<< &Back")));
    b3->addWidget(makeButton(p3, "BtnNext3", QStringLiteral("&Next >>")));
    static_cast<QVBoxLayout*>(p3->layout())->addLayout(b3);

    // 4. Currency
    QWidget* p4 = makePage("Page4");
    auto* currency = new QGroupBox(QStringLiteral("Currency information"), p4);
    currency->setObjectName(QStringLiteral("GroupCurrency"));
    auto* cf = new QFormLayout(currency);
    auto label = [currency](const char* name, const QString& text) {
        auto* l = new QLabel(text, currency);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    symbol_ = new QLineEdit(currency);
    symbol_->setObjectName(QStringLiteral("EditSymbol"));
    symbol_->setMaxLength(5);
    symbol_->setMaximumWidth(60);
    align_ = new QComboBox(currency);
    align_->setObjectName(QStringLiteral("ComboAlign"));
    align_->addItems({QStringLiteral("Left"), QStringLiteral("Right")});
    dollars_ = new QLineEdit(currency);
    dollars_->setObjectName(QStringLiteral("EditDollars"));
    dollars_->setMaxLength(20);
    cents_ = new QLineEdit(currency);
    cents_->setObjectName(QStringLiteral("EditCents"));
    cents_->setMaxLength(20);
    cf->addRow(label("LabelSymbol", QStringLiteral("Currency symbol")), symbol_);
    cf->addRow(label("LabelAlign", QStringLiteral("Currency aligment")), align_);
    cf->addRow(label("LabelDollars", QStringLiteral("Currency description")), dollars_);
    cf->addRow(label("LabelCents", QStringLiteral("Fractions description")), cents_);
    p4->layout()->addWidget(currency);
    static_cast<QVBoxLayout*>(p4->layout())->addStretch(1);
    auto* b4 = new QHBoxLayout;
    b4->addStretch(1);
    b4->addWidget(makeButton(p4, "BtnBack4", QStringLiteral("<< &Back")));
    b4->addWidget(makeButton(p4, "BtnNext4", QStringLiteral("&Next >>")));
    static_cast<QVBoxLayout*>(p4->layout())->addLayout(b4);

    // 5. End
    QWidget* p5 = makePage("Page5");
    const char* endNames[] = {"LabelEnd1", "LabelEnd2", "LabelEnd3"};
    const QString endTexts[] = {
        QStringLiteral("Please click on the close button to accept the changes."),
        QStringLiteral("In order to set up other company data such as printers, formats, users, etc.,"),
        QStringLiteral("please go to the \"System Manager\" options under the \"Edit\" group.")};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(endTexts[i], p5);
        l->setObjectName(QString::fromLatin1(endNames[i]));
        l->setWordWrap(true);
        p5->layout()->addWidget(l);
        if (i == 0) static_cast<QVBoxLayout*>(p5->layout())->addSpacing(10);
    }
    static_cast<QVBoxLayout*>(p5->layout())->addStretch(1);
    auto* b5 = new QHBoxLayout;
    b5->addStretch(1);
    b5->addWidget(makeButton(p5, "BtnBack5", QStringLiteral("<< &Back")));
    b5->addWidget(makeButton(p5, "BtnClose", QStringLiteral("&Close")));
    static_cast<QVBoxLayout*>(p5->layout())->addLayout(b5);

    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(16, 16, 16, 12);
    box->addWidget(pages_);

    for (const char* n : {"BtnNext1", "BtnNext2", "BtnNext3", "BtnNext4"})
        connect(findChild<QPushButton*>(QString::fromLatin1(n)), &QPushButton::clicked, this,
                &TSetupWizard::next);
    for (const char* n : {"BtnBack2", "BtnBack3", "BtnBack4", "BtnBack5"})
        connect(findChild<QPushButton*>(QString::fromLatin1(n)), &QPushButton::clicked, this,
                &TSetupWizard::back);
    connect(findChild<QPushButton*>(QStringLiteral("BtnClose")), &QPushButton::clicked, this,
            &TSetupWizard::closeAndStore);
    restart();
}

QWidget* TSetupWizard::makePage(const char* name) {
    auto* page = new QWidget(pages_);
    page->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    pages_->addWidget(page);
    return page;
}

QPushButton* TSetupWizard::makeButton(QWidget* page, const char* name, const QString& text) {
    auto* b = new QPushButton(text, page);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void TSetupWizard::setTarget(const std::string& companyDir, const core::SettingsStore* settings) {
    companyDir_ = companyDir;
    settings_ = settings;
}

void TSetupWizard::restart() {
    rules_.state() = CompanyDefaultsWizard::State{};
    province_->setCurrentIndex(-1);
    dateFormat_->setCurrentIndex(-1);
    align_->setCurrentIndex(-1);
    for (QLineEdit* e : rate_)
        e->clear();
    symbol_->clear();
    dollars_->clear();
    cents_->clear();
    showPage();
}

int TSetupWizard::currentPage() const {
    return pages_->currentIndex() + 1;
}

void TSetupWizard::showEvent(QShowEvent* event) {
    rules_.state().page = CompanyDefaultsWizard::Intro;
    showPage();
    QDialog::showEvent(event);
}

void TSetupWizard::readPage() {
    auto& s = rules_.state();
    s.inCanada = inCanada_->isChecked();
    s.province = province_->currentIndex();
    s.dateFormat = dateFormat_->currentIndex();
    s.rate1 = rate_[0]->text().toStdString();
    s.rate2 = rate_[1]->text().toStdString();
    s.rate3 = rate_[2]->text().toStdString();
    s.currencySymbol = symbol_->text().toStdString();
    s.alignment = align_->currentIndex();
    s.dollars = dollars_->text().toStdString();
    s.cents = cents_->text().toStdString();
}

void TSetupWizard::showPage() {
    const auto& s = rules_.state();
    inCanada_->setChecked(s.inCanada);
    outside_->setChecked(!s.inCanada);
    province_->setCurrentIndex(s.province);
    dateFormat_->setCurrentIndex(s.dateFormat);
    const QString rates[] = {QString::fromStdString(s.rate1), QString::fromStdString(s.rate2),
                             QString::fromStdString(s.rate3)};
    const int lines[] = {s.rate1Line, s.rate2Line, s.rate3Line};
    for (int i = 0; i < 3; ++i) {
        rate_[i]->setText(rates[i]);
        if (lines[i] >= 0) rateLabel_[i]->setText(strings_->message(lines[i]));
    }
    rateLabel_[2]->setVisible(s.harmonisedVisible);
    rate_[2]->setVisible(s.harmonisedVisible);
    if (s.taxCaptionLine >= 0) taxes_->setTitle(strings_->message(s.taxCaptionLine));
    symbol_->setText(QString::fromStdString(s.currencySymbol));
    align_->setCurrentIndex(s.alignment);
    dollars_->setText(QString::fromStdString(s.dollars));
    cents_->setText(QString::fromStdString(s.cents));
    pages_->setCurrentIndex(static_cast<int>(s.page) - 1);
    const char* forward[] = {"BtnNext1", "BtnNext2", "BtnNext3", "BtnNext4", "BtnClose"};
    if (auto* b = pages_->currentWidget()->findChild<QPushButton*>(QString::fromLatin1(forward[s.page - 1])))
        b->setDefault(true);
}

void TSetupWizard::next() {
    readPage();
    rules_.next();
    showPage();
}

void TSetupWizard::back() {
    readPage();
    rules_.back();
    showPage();
}

void TSetupWizard::closeAndStore() {
    readPage();
    const auto& s = rules_.state();
    CompanyDefaults v;
    v.rate1 = s.rate1;
    v.rate2 = s.rate2;
    v.rate3 = s.rate3;
    v.dollars = s.dollars;
    v.cents = s.cents;
    v.dateFormat = rules_.dateFormatText();
    v.currencySymbol = s.currencySymbol;
    v.outsideCanada = !s.inCanada;
    v.alignRight = rules_.alignRight();

    if (const int bad = CompanyDefaultsStore::firstBadRate(v)) {
        const QString what = rateLabel_[bad - 1]->text();
        QMessageBox::warning(this, windowTitle(),
                             strings_->message(CompanyDefaultsWizard::kRateNotNumber).arg(what));
        rules_.state().page = CompanyDefaultsWizard::Taxes;
        showPage();
        rate_[bad - 1]->setFocus();
        rate_[bad - 1]->selectAll();
        return;
    }
    if (settings_) {
        try {
            CompanyDefaultsStore::store(companyDir_, *settings_, v);
        } catch (const EngineError& e) {
            QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
            return;
        } catch (const std::exception& e) {
            QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
            return;
        }
    }
    accept();
}

} // namespace vm::shell
