#include "shell/core/CompanyDefaultsWizard.h"

namespace vm::shell {

void CompanyDefaultsWizard::next() {
    switch (s_.page) {
    case Intro:
        nextFromIntro();
        break;
    case Province:
        nextFromProvince();
        break;
    case Taxes:
        nextFromTaxes();
        break;
    case Currency:
        s_.page = End;
        break;
    case End:
        break;
    }
}

void CompanyDefaultsWizard::back() {
    switch (s_.page) {
    case Intro:
        break;
    case Province:
        s_.page = Intro;
        break;
    case Taxes:
        s_.page = s_.inCanada ? Province : Intro;
        break;
    case Currency:
        s_.page = Taxes;
        break;
    case End:
        s_.page = Currency;
        break;
    }
}

void CompanyDefaultsWizard::nextFromIntro() {
    if (s_.inCanada) {
        if (s_.province < 0) s_.province = 0;
        s_.page = Province;
        return;
    }
    if (s_.dateFormat < 0) s_.dateFormat = kMonthDayYear;
    s_.taxCaptionLine = kTaxesVat;
    s_.rate1Line = kVatRate1;
    s_.rate2Line = kVatRate2;
    s_.harmonisedVisible = false;
    s_.page = Taxes;
}

void CompanyDefaultsWizard::nextFromProvince() {
    s_.taxCaptionLine = kTaxesGstPst;
    s_.rate1Line = kGstRate;
    s_.rate2Line = kPstRate;
    s_.rate3Line = kHstRate;
    if (s_.rate1.empty()) s_.rate1 = "7";
    const bool atlantic = s_.province >= kFirstAtlantic && s_.province <= kLastAtlantic;
    if (atlantic) {
        // The harmonised tax replaces both: its rate is the one charged.
        s_.rate1 = "0";
        s_.rate2 = "0";
        if (s_.rate3.empty()) s_.rate3 = "15";
        s_.harmonisedVisible = true;
        s_.taxCaptionLine = kTaxesGstPstHst;
    } else if (s_.province == kQuebec) {
        if (s_.rate2.empty()) s_.rate2 = "7.5";
        if (s_.dateFormat < 0) s_.dateFormat = kDayMonthYear;
        s_.taxCaptionLine = kTaxesGstQst;
        s_.rate2Line = kQstRate;
    }
    if (s_.dateFormat < 0) s_.dateFormat = kMonthDayYear;
    if (!atlantic) s_.harmonisedVisible = false;
    s_.page = Taxes;
}

void CompanyDefaultsWizard::nextFromTaxes() {
    if (s_.currencySymbol.empty()) s_.currencySymbol = "$";
    if (s_.alignment < 0)
        s_.alignment = (s_.inCanada && s_.province == kQuebec && language_ == 2) ? kAlignRight : kAlignLeft;
    if (s_.dollars.empty()) s_.dollars = "Dollars";
    if (s_.cents.empty()) s_.cents = "Cents";
    s_.page = Currency;
}

std::string CompanyDefaultsWizard::dateFormatText() const {
    return s_.dateFormat >= 0 && s_.dateFormat < 3 ? kDateFormats[s_.dateFormat] : "";
}

} // namespace vm::shell
