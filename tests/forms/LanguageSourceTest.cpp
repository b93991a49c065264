#include "languages/LanguageSource.h"
#include "languages/LanguageTableWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>

using vm::forms::LanguageSource;
using vm::forms::LanguageSourceError;
using vm::forms::LanguageTableWriter;

namespace {

LanguageSource parsed(const std::string& text, const std::string& stem, const std::string& lang) {
    auto s = LanguageSource::parse(text, stem + "." + lang + ".txt");
    s.stem = stem;
    s.lang = lang;
    return s;
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const LanguageSourceError& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(LanguageSource, ReadsRecordsQuotesAndLines) {
    auto s = LanguageSource::parse("# comment\r\n"
                                   "[TErrorForm.LabelCategory]\r\n"
                                   "caption = \"Category: \"\r\n"
                                   "hint =   plain hint  \n"
                                   "\n"
                                   "[TExportDialog.RadioFormat]\n"
                                   "kind = radio\n"
                                   "caption = Format\n"
                                   "lines =\n"
                                   "  PDF\n"
                                   "\t\"\"\n"
                                   "  \" Text \"\n",
                                   "x.en.txt");
    ASSERT_EQ(s.rows.size(), 2u);
    EXPECT_EQ(s.rows[0].form, "TErrorForm");
    EXPECT_EQ(s.rows[0].component, "LabelCategory");
    EXPECT_EQ(s.rows[0].caption, "Category: ");
    EXPECT_EQ(s.rows[0].hint, "plain hint");
    EXPECT_TRUE(s.rows[1].isRadioGroup);
    EXPECT_FALSE(s.rows[1].isMemo);
    EXPECT_EQ(s.rows[1].lines, (std::vector<std::string>{"PDF", "", " Text "}));
    EXPECT_EQ(s.rows[1].sourceLine, 6);
}

TEST(LanguageSource, FaultsNameTheFileAndLine) {
    EXPECT_NE(errorOf([] { LanguageSource::parse("[A.B]\ncolour = red\n", "f.en.txt"); }).find("f.en.txt:2"),
              std::string::npos);
    EXPECT_NE(
        errorOf([] { LanguageSource::parse("[A.B]\n[A.B]\n", "f.en.txt"); }).find("duplicate record A.B"),
        std::string::npos);
    EXPECT_NE(errorOf([] { LanguageSource::parse("[A.B]\ncaption = x\n  stray\n", "f.en.txt"); }).find(":3:"),
              std::string::npos);
    EXPECT_NE(errorOf([] { LanguageSource::parse("caption = x\n", "f.en.txt"); }), "(no error)");
    EXPECT_NE(errorOf([] { LanguageSource::parse("[A.B]\nkind = tree\n", "f.en.txt"); }), "(no error)");
    EXPECT_NE(errorOf([] { LanguageSource::parse("[A.B]\ncaption = a\ncaption = b\n", "f.en.txt"); }),
              "(no error)");
    EXPECT_NE(errorOf([] { LanguageSource::parse("[A.B C]\n", "f.en.txt"); }), "(no error)");
    // Sized as the table's columns: 255 characters, counted as characters.
    std::string longest(255, 'x');
    std::string accented;
    for (int i = 0; i < 255; ++i)
        accented += "é";
    EXPECT_NO_THROW(LanguageSource::parse("[A.B]\ncaption = " + longest + "\n", "f.en.txt"));
    EXPECT_NO_THROW(LanguageSource::parse("[A.B]\ncaption = " + accented + "\n", "f.en.txt"));
    EXPECT_NE(errorOf([&] { LanguageSource::parse("[A.B]\ncaption = " + longest + "y\n", "f.en.txt"); }),
              "(no error)");
}

TEST(LanguageSource, TableNameDropsTheStemsFirstDot) {
    LanguageSource s;
    s.stem = "cust.maint";
    s.lang = "fr";
    EXPECT_EQ(s.tableName(), "custmaintfr");
}

TEST(LanguageSource, EveryStemMustHaveTheSameRowsInEveryLanguage) {
    auto en = parsed("[F.F]\ncaption = Form\n[F.Label1]\ncaption = Name\n", "custmaint", "en");
    auto fr = parsed("[F.F]\ncaption = Fiche\n", "custmaint", "fr");
    const std::string e = errorOf([&] { LanguageTableWriter::checkComplete({en, fr}); });
    EXPECT_NE(e.find("custmaint"), std::string::npos) << e;
    EXPECT_NE(e.find("F"), std::string::npos) << e;
    EXPECT_NE(e.find("Label1"), std::string::npos) << e;
    EXPECT_NE(e.find("not in fr"), std::string::npos) << e;

    // The other way round too, and a stem missing a whole language.
    const std::string e2 = errorOf([&] { LanguageTableWriter::checkComplete({fr, en}); });
    EXPECT_NE(e2.find("Label1"), std::string::npos) << e2;
    auto other = parsed("[G.G]\ncaption = x\n", "vendmaint", "en");
    const std::string e3 = errorOf([&] {
        LanguageTableWriter::checkComplete({en, parsed("[F.F]\n[F.Label1]\n", "custmaint", "fr"), other});
    });
    EXPECT_NE(e3.find("vendmaint"), std::string::npos) << e3;
    EXPECT_NE(e3.find("no fr source"), std::string::npos) << e3;
}

TEST(LanguageSource, ShippedSourcesAreCompleteInBothLanguages) {
    std::vector<LanguageSource> sources;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(VM_SOURCE_DIR) + "/languages")) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 4 && name.ends_with(".txt") && name != "CMakeLists.txt")
            sources.push_back(LanguageSource::load(entry.path()));
    }
    ASSERT_GE(sources.size(), 2u);
    EXPECT_NO_THROW(LanguageTableWriter::checkComplete(sources));
    for (const auto& s : sources) {
        // Every framework form has its caption row.
        if (s.stem != "MainMenu") continue;
        for (const char* form :
             {"TErrorForm", "Tperiod_frm", "TClientPicker", "TSupplierPicker", "TAccountPicker",
              "TTerritoryPicker", "TVendTerritoryPicker", "TTermsPicker", "TSalesmanPicker", "TQuickLink",
              "TDoneBox", "TProgressBox", "TExportDialog"}) {
            bool found = false;
            for (const auto& r : s.rows)
                found = found || (r.form == form && r.component == form);
            EXPECT_TRUE(found) << s.fileName << " lacks the caption of " << form;
        }
    }
}

// A French row identical to its English twin is a text left untranslated,
// unless it is a word both languages write alike, a proper name or a code.
TEST(LanguageSource, FrenchTablesTranslateEveryText) {
    static const std::set<std::string> same = {"OK",
                                               "Valmorand",
                                               "Total",
                                               "Date",
                                               "Type",
                                               "Page",
                                               "Version",
                                               "Version ",
                                               "Description",
                                               "Transactions",
                                               "Client",
                                               "Clients",
                                               "Code",
                                               "Province",
                                               "Territoire",
                                               "Commission",
                                               "Budgets",
                                               "Commentaires",
                                               "Options",
                                               "Format",
                                               "Message",
                                               "Excel",
                                               "PDF",
                                               "CSV",
                                               "Initiales",
                                               "Notes",
                                               "Suspension",
                                               "Total:",
                                               "Date:",
                                               "Page:",
                                               "Fax",
                                               "Contact",
                                               "Description:",
                                               "Tax 1",
                                               "Tax 2",
                                               "TPS",
                                               "TVQ",
                                               "TVP",
                                               "TVH",
                                               "English",
                                               "Français",
                                               "Yukon",
                                               "Nunavut",
                                               "Ontario",
                                               "Manitoba",
                                               "Alberta",
                                               "Québec",
                                               "Saskatchewan",
                                               "Nouveau-Brunswick",
                                               "Canada",
                                               "Relevé 1",
                                               "T4",
                                               "CCQ",
                                               "...",
                                               "Provinces",
                                               "Menu",
                                               "Option",
                                               "TOTAL",
                                               "Doc.",
                                               "Document",
                                               "X"};
    auto letters = [](const std::string& s) {
        return std::any_of(s.begin(), s.end(), [](unsigned char c) { return std::isalpha(c) || c >= 0x80; });
    };
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(' '));
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    };
    std::map<std::string, LanguageSource> fr;
    std::vector<LanguageSource> en;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(VM_SOURCE_DIR) + "/languages")) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".fr.txt"))
            fr.emplace(name.substr(0, name.size() - 7), LanguageSource::load(entry.path()));
        if (name.ends_with(".en.txt")) en.push_back(LanguageSource::load(entry.path()));
    }
    for (const auto& e : en) {
        const auto& f = fr.at(e.stem);
        std::map<std::pair<std::string, std::string>, const vm::forms::LanguageRow*> twins;
        for (const auto& r : f.rows)
            twins[{r.form, r.component}] = &r;
        for (const auto& r : e.rows) {
            const vm::forms::LanguageRow* t = twins[{r.form, r.component}];
            if (!t) continue;
            std::vector<std::pair<std::string, std::string>> texts{{r.caption, t->caption},
                                                                   {r.hint, t->hint}};
            for (std::size_t i = 0; i < r.lines.size() && i < t->lines.size(); ++i)
                texts.emplace_back(r.lines[i], t->lines[i]);
            for (const auto& [english, french] : texts)
                EXPECT_FALSE(english == french && letters(english) && !same.contains(trim(english)))
                    << e.stem << " " << r.form << "." << r.component << ": \"" << english
                    << "\" is not translated";
        }
    }
}
