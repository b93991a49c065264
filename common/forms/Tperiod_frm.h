#pragma once
#include <QDialog>

#include <optional>

class QLineEdit;

namespace vm::forms {

class MessageList;

// "Change period number": the journal modules' dialog for posting into
// another period for the rest of the window's life. It can only be left
// through OK with a whole number from 0 to 13; anything else is refused with
// a message naming that range, in a box titled with the dialog's name, and
// the focus returns to the edit. The message is line 0 of the dialog's
// message list (language tables); untranslated, a built-in text in the
// dialog's language.
class Tperiod_frm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLastPeriod = 13;

    explicit Tperiod_frm(QWidget* parent = nullptr);

    // 1 English; anything else French.
    void setLanguage(int language) { language_ = language; }
    void setPeriod(int period);
    // The number in the edit box; nothing when it is not a valid period.
    std::optional<int> period() const;

    // Reads a period number as the dialog does: optional sign and digits,
    // from 0 to 13.
    static std::optional<int> parsePeriod(const QString& text);

    QLineEdit* edit() const { return edit_; }
    // The refusal of a number outside 0 to 13.
    QString refusalMessage() const;

public slots:
    void accept() override; // OK: checks the number first
    void reject() override; // Escape: ignored

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* edit_ = nullptr;
    MessageList* messages_ = nullptr;
    int language_ = 1;
    bool leaving_ = false;
};

} // namespace vm::forms
