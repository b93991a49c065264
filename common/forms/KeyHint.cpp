#include "common/forms/KeyHint.h"

#include <QAbstractButton>
#include <QEvent>
#include <QWidget>

namespace vm::forms {

namespace {

constexpr const char* kKeyProperty = "vmKeyHint";

QString suffixOf(const QWidget& w) {
    const QVariant key = w.property(kKeyProperty);
    if (!key.isValid()) return {};
    return QStringLiteral(" (%1)").arg(key.value<QKeySequence>().toString(QKeySequence::NativeText));
}

// Puts the key back at the end of the tool tip each time its text changes.
class KeyHintFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTipChange) apply(*static_cast<QWidget*>(watched));
        return false;
    }
    static void apply(QWidget& w) {
        const QString suffix = suffixOf(w);
        const QString tip = w.toolTip();
        if (tip.endsWith(suffix)) return;
        w.setToolTip(tip.isEmpty() ? suffix.trimmed() : tip + suffix);
    }
};

} // namespace

void showKeyInToolTip(QWidget& widget, const QKeySequence& key) {
    if (!widget.property(kKeyProperty).isValid()) widget.installEventFilter(new KeyHintFilter(&widget));
    const QString base = toolTipWithoutKey(widget);
    widget.setProperty(kKeyProperty, QVariant::fromValue(key));
    widget.setToolTip(base); // the filter adds the key
    KeyHintFilter::apply(widget);
}

void setButtonKey(QAbstractButton& button, const QKeySequence& key) {
    button.setShortcut(key);
    showKeyInToolTip(button, key);
}

QString toolTipWithoutKey(const QWidget& widget) {
    const QString tip = widget.toolTip();
    const QString suffix = suffixOf(widget);
    if (suffix.isEmpty()) return tip;
    if (tip == suffix.trimmed()) return {};
    return tip.endsWith(suffix) ? tip.left(tip.size() - suffix.size()) : tip;
}

} // namespace vm::forms
