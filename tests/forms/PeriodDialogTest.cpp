#include "FormsTestSupport.h"

#include "common/forms/PeriodCaption.h"
#include "common/forms/Tperiod_frm.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vm::forms;

namespace {

// Types `text` and presses OK; returns the message shown ("" when none). The
// box is titled with the dialog's name and has an OK button only.
QString pressOk(Tperiod_frm& dlg, const QString& text) {
    dlg.edit()->clear();
    QTest::keyClicks(dlg.edit(), text);
    QString message;
    QObject watch;
    vm::test::whenModal<QMessageBox>(
        [&](QMessageBox* box) {
            message = box->text();
            EXPECT_EQ(box->windowTitle(), dlg.windowTitle());
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            box->accept();
        },
        10000, &watch);
    QTest::mouseClick(dlg.findChild<QPushButton*>("BtnOK"), Qt::LeftButton);
    return message;
}

} // namespace

TEST(PeriodDialog, AcceptsZeroToThirteenOnly) {
    for (const char* good : {"0", "13", "7"}) {
        Tperiod_frm dlg;
        dlg.show();
        EXPECT_EQ(pressOk(dlg, good), "") << good;
        EXPECT_FALSE(dlg.isVisible()) << good;
        EXPECT_EQ(dlg.result(), QDialog::Accepted) << good;
        EXPECT_EQ(dlg.period(), QString(good).toInt());
    }
    for (const char* bad : {"14", "-1", "", "a", "99", "1x"}) {
        Tperiod_frm dlg;
        dlg.show();
        EXPECT_EQ(pressOk(dlg, bad), "Enter a period number from 0 to 13.") << bad;
        EXPECT_TRUE(dlg.isVisible()) << bad;
        EXPECT_TRUE(dlg.edit()->hasFocus() || !QApplication::focusWidget()) << bad;
    }
}

TEST(PeriodDialog, FrenchMessageForAnyLanguageButEnglish) {
    for (int language : {2, 0, 3}) {
        Tperiod_frm dlg;
        dlg.setLanguage(language);
        dlg.show();
        EXPECT_EQ(pressOk(dlg, "14"), QString::fromUtf8("Entrez un numéro de période de 0 à 13."))
            << language;
    }
}

TEST(PeriodDialog, CannotBeLeftOtherThanThroughOk) {
    Tperiod_frm dlg;
    EXPECT_EQ(dlg.edit()->maxLength(), 2);
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
    dlg.setPeriod(4);
    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_TRUE(dlg.isVisible());
    dlg.close();
    EXPECT_TRUE(dlg.isVisible());
    dlg.reject();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.edit()->text(), "4");
    // Enter is OK (the default button).
    QTest::keyClick(dlg.edit(), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.period(), 4);
}

TEST(PeriodDialog, ExecReturnsTheChosenPeriod) {
    Tperiod_frm dlg;
    dlg.setPeriod(3);
    QObject watch;
    vm::test::whenModal<Tperiod_frm>(
        [](Tperiod_frm* d) {
            EXPECT_EQ(d->edit()->text(), "3");
            d->edit()->setText("12");
            QTest::mouseClick(d->findChild<QPushButton*>("BtnOK"), Qt::LeftButton);
        },
        10000, &watch);
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.period(), 12);
}

TEST(PeriodCaption, FollowsTheLedgerPeriodRule) {
    // Ledger at period 0: A + "0" + B + new number.
    EXPECT_EQ(periodCaption("Receipts - period ", " / posting to ", 0, 5, "May"),
              "Receipts - period 0 / posting to 5");
    EXPECT_EQ(periodCaption("Receipts - period ", " / posting to ", 0, 0, "May"),
              "Receipts - period 0 / posting to 0");
    EXPECT_EQ(periodCaption("Receipts - period ", "B", 4, 5, "May"), "Receipts - period 5 : May");
    EXPECT_EQ(periodCaption("Receipts - period ", "B", 4, 0, "May"), "Receipts - period 0");
}
