#pragma once
#include <optional>
#include <string>

namespace vm::shell {

// The answers of the company defaults wizard and the rules that move it from
// page to page, without the screen. The page widgets mirror this state.
class CompanyDefaultsWizard {
public:
    enum Page { Intro = 1, Province = 2, Taxes = 3, Currency = 4, End = 5 };

    // List positions of the province list.
    static constexpr int kProvinceCount = 13;
    static constexpr int kFirstAtlantic = 3; // Newfoundland, New Brunswick, Nova Scotia: 3 to 5
    static constexpr int kLastAtlantic = 5;
    static constexpr int kQuebec = 7;
    // The date format list.
    static constexpr const char* kDateFormats[3] = {"yyyy/mm/dd", "dd/mm/yyyy", "mm/dd/yyyy"};
    static constexpr int kDayMonthYear = 1;
    static constexpr int kMonthDayYear = 2;
    static constexpr int kAlignLeft = 0;
    static constexpr int kAlignRight = 1;

    // Lines of the wizard's hidden caption list.
    enum Line {
        kTaxesVat = 0,
        kTaxesGstPst = 1,
        kVatRate1 = 2,
        kVatRate2 = 3,
        kGstRate = 4,
        kPstRate = 5,
        kHstRate = 6,
        kTaxesGstQst = 7,
        kQstRate = 8,
        kTaxesGstPstHst = 9,
        kRateNotNumber = 10
    };

    struct State {
        Page page = Intro;
        bool inCanada = false; // "Outside of Canada" is selected initially
        int province = -1;     // -1: none selected
        int dateFormat = -1;
        std::string rate1, rate2, rate3; // first, second and harmonised rate as typed
        bool harmonisedVisible = true;
        int taxCaptionLine = -1; // caption of the rate group
        int rate1Line = -1, rate2Line = -1, rate3Line = -1;
        std::string currencySymbol;
        int alignment = -1;
        std::string dollars, cents;
    };

    explicit CompanyDefaultsWizard(int language) : language_(language) {}

    State& state() { return s_; }
    const State& state() const { return s_; }

    // Next on pages 1 to 4; nothing on page 5.
    void next();
    // Back on pages 2 to 5; from the taxes page to the introduction when the
    // business is outside Canada.
    void back();

    // The values Close stores (see CompanyDefaultsStore).
    std::string dateFormatText() const;
    bool alignRight() const { return s_.alignment == kAlignRight; }

private:
    void nextFromIntro();
    void nextFromProvince();
    void nextFromTaxes();

    int language_;
    State s_;
};

} // namespace vm::shell
