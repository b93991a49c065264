#pragma once
#include <QStringList>
#include <QWidget>

namespace vm::forms {

// A form's hidden message list: never shown, filled by form translation like
// a memo (its row has kind memo), read by index. Modules name their messages
// by line number, so a missing line reads as "" rather than failing.
class MessageList : public QWidget {
    Q_OBJECT
public:
    explicit MessageList(QWidget* parent = nullptr, const QString& name = QStringLiteral("IntlStrings1"));

    void setLines(const QStringList& lines) { lines_ = lines; }
    const QStringList& lines() const { return lines_; }
    int count() const { return static_cast<int>(lines_.size()); }
    QString message(int i) const { return i >= 0 && i < lines_.size() ? lines_.at(i) : QString(); }

    // Shows line i in an information box with an OK button.
    void inform(int i, QWidget* parent = nullptr) const;

private:
    QStringList lines_;
};

} // namespace vm::forms
