#include "common/forms/FormTranslation.h"

#include "common/forms/LanguageDirectory.h"
#include "common/forms/MessageList.h"
#include "common/forms/RecordNavigator.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>

namespace vm::forms {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QStringList qlines(const LanguageEntry& e) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(e.lines.size()));
    for (const auto& l : e.lines)
        out << qs(l);
    return out;
}

bool applyMemo(QObject& c, const QStringList& lines) {
    const QString text = lines.join(QLatin1Char('\n'));
    if (auto* m = qobject_cast<MessageList*>(&c))
        m->setLines(lines);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(&c))
        p->setPlainText(text);
    else if (auto* t = qobject_cast<QTextEdit*>(&c))
        t->setPlainText(text);
    else if (auto* l = qobject_cast<QLabel*>(&c))
        l->setText(text);
    else
        return false;
    return true;
}

bool applyGrid(QObject& c, const QStringList& lines) {
    if (auto* tw = qobject_cast<QTableWidget*>(&c)) {
        for (int i = 0; i < tw->columnCount() && i < lines.size(); ++i) {
            if (auto* item = tw->horizontalHeaderItem(i))
                item->setText(lines[i]);
            else
                tw->setHorizontalHeaderItem(i, new QTableWidgetItem(lines[i]));
        }
        return true;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(&c)) {
        for (int i = 0; i < tree->columnCount() && i < lines.size(); ++i)
            tree->headerItem()->setText(i, lines[i]);
        return true;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(&c)) {
        if (QAbstractItemModel* model = view->model())
            for (int i = 0; i < model->columnCount() && i < lines.size(); ++i)
                model->setHeaderData(i, Qt::Horizontal, lines[i], Qt::DisplayRole);
        return true;
    }
    return false;
}

bool applyRadioGroup(QObject& c, const LanguageEntry& e, const QStringList& lines) {
    auto* group = qobject_cast<QGroupBox*>(&c);
    if (!group) return false;
    group->setTitle(qs(e.caption));
    const auto radios = group->findChildren<QRadioButton*>();
    for (int i = 0; i < radios.size() && i < lines.size(); ++i)
        radios[i]->setText(lines[i]);
    return true;
}

// Replacing the items is not a user's choice: no change signals, and the
// selected position is kept where the new list allows it.
bool applyItems(QObject& c, const QStringList& lines, bool checkable) {
    if (auto* combo = qobject_cast<QComboBox*>(&c)) {
        QSignalBlocker block(combo);
        const int index = combo->currentIndex();
        combo->clear();
        combo->addItems(lines);
        combo->setCurrentIndex(index < combo->count() ? index : -1);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(&c)) {
        QSignalBlocker block(list);
        list->clear();
        for (const auto& l : lines) {
            auto* item = new QListWidgetItem(l, list);
            if (checkable) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
        }
        return true;
    }
    return false;
}

QTabWidget* tabWidgetOfPage(QWidget* w) {
    auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

void applyPlain(QObject& c, const LanguageEntry& e) {
    auto* w = qobject_cast<QWidget*>(&c);
    if (!w) return;
    const QString caption = qs(e.caption), hint = qs(e.hint);
    if (QTabWidget* tabs = tabWidgetOfPage(w)) {
        const int i = tabs->indexOf(w);
        tabs->setTabText(i, caption);
        tabs->setTabToolTip(i, hint);
        return;
    }
    if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(caption);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(caption);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(caption);
    else if (auto* d = qobject_cast<QDockWidget*>(w))
        d->setWindowTitle(caption);
    // An edit's text is data: a caption only becomes its placeholder.
    else if (auto* le = qobject_cast<QLineEdit*>(w)) {
        if (!caption.isEmpty()) le->setPlaceholderText(caption);
    }
    w->setToolTip(hint);
}

} // namespace

void applyLanguageEntry(QObject& c, const LanguageEntry& e) {
    const QStringList lines = qlines(e);
    if (e.isMemo && applyMemo(c, lines)) return;
    if (e.isDBGrid && applyGrid(c, lines)) return;
    if (e.isRadioGroup && applyRadioGroup(c, e, lines)) return;
    if ((e.isCombobox || e.isCheckList) && applyItems(c, lines, e.isCheckList)) return;
    if (auto* action = qobject_cast<QAction*>(&c)) {
        action->setText(qs(e.caption));
        return;
    }
    if (auto* menu = qobject_cast<QMenu*>(&c)) {
        menu->setTitle(qs(e.caption));
        return;
    }
    if (auto* nav = qobject_cast<RecordNavigator*>(&c);
        nav && nav->objectName() == QLatin1String("DBNavigator1")) {
        nav->setHints(lines);
        return;
    }
    applyPlain(c, e);
}

void translateForm(QWidget& form, LanguageTable& table) {
    std::string formName = form.objectName().toStdString();
    if (formName.empty()) return; // an unnamed form has no rows
    if (auto row = table.find(formName, formName)) form.setWindowTitle(qs(row->caption));

    // Applying a row can delete inner objects of a component (a memo's
    // document frames, a list's items), so components are held by guarded
    // pointers and taken by name only.
    std::vector<QPointer<QObject>> components;
    for (QObject* child : form.findChildren<QObject*>()) {
        const QString name = child->objectName();
        // Qt names its own inner widgets "qt_..."; they are never components.
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) components.emplace_back(child);
    }
    for (const QPointer<QObject>& child : components) {
        if (!child) continue;
        if (auto row = table.find(formName, child->objectName().toStdString()))
            applyLanguageEntry(*child, *row);
    }
}

void translateForm(QWidget& form, const std::string& stem, const std::string& langCode,
                   const std::string& languagesDir) {
    LanguageTable table(languagesDir, stem, langCode);
    translateForm(form, table);
}

void translateForm(QWidget& form, const std::string& stem, const std::string& langCode) {
    translateForm(form, stem, langCode, languagesDirectory());
}

} // namespace vm::forms
