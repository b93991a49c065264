#include "shell/Desktop.h"

#include "shell/DesktopFrame.h"
#include "shell/DesktopIcon.h"
#include "shell/WallpaperWidget.h"
#include "shell/core/ShellMessages.h"

#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <QTextEdit>

#include <algorithm>
#include <stdexcept>

namespace vm::shell {
namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

std::vector<ListFrame::Column> columnsOf(int list) {
    switch (list) {
    case ClientList:
        return {{"Cli_code", "Client #"},
                {"Cli_name", "Name"},
                {"Cli_tel", "Telephone"},
                {"Cli_adr1", "Address"},
                {"Cli_adr2", "Address"},
                {"Cli_city", "City"},
                {"Cli_prov", "Province"},
                {"Cli_country", "Country"},
                {"Cli_postal_code", "Postal code"},
                {"Cli_fax", "Fax"},
                {"Cli_contact", "Contact"},
                {"Cli_email", "Email"},
                {"Cli_salesrep", "Sales rep."}};
    case SupplierList:
        return {{"Sup_code", "Supplier #"}, {"Sup_name", "Name"},       {"Sup_tel", "Telephone"},
                {"Sup_adr1", "Address"},    {"Sup_adr2", "Address"},    {"Sup_city", "City"},
                {"Sup_prov", "Province"},   {"Sup_country", "Country"}, {"Sup_postal_code", "Postal code"},
                {"Sup_fax", "Fax"},         {"Sup_contact", "Contact"}, {"Sup_email", "Email"}};
    case AccountList:
        return {{"Glm_account", "Account #"}, {"Glm_Description", "Description"}, {"Glm_type", "Type"}};
    default:
        return {{"Emp_Code", "Employee #"},      {"Emp_Name", "Name"},
                {"Emp_Telephone", "Telephone"},  {"Emp_Adr1", "Address"},
                {"Emp_Adr2", "Address"},         {"Emp_City", "City"},
                {"Emp_province", "Province"},    {"Emp_Postal_code", "Postal code"},
                {"Emp_Occupation", "Occupation"}};
    }
}

struct PanelDesign {
    const char* frame;
    const char* title;
    const char* table;
    const char* icon; // the icon's designed caption
};
constexpr PanelDesign kPanels[] = {{"ClientFrame", "List of clients", "cli", "Clients"},
                                   {"SupplierFrame", "List of suppliers", "sup", "Suppliers"},
                                   {"AccountsFrame", "List of accounts", "glm", "Accounts"},
                                   {"EmployeeFrame", "List of employees", "emp", "Employees"},
                                   {"ToDoFrame", "Things to do", "", "To do"}};

} // namespace

Desktop::Desktop(WallpaperWidget& area, Hooks hooks, QObject* parent)
    : QObject(parent), area_(area), hooks_(std::move(hooks)) {
    for (int i = 0; i < kListCount; ++i) {
        const PanelDesign& d = kPanels[i];
        auto* f = new ListFrame(i, QString::fromLatin1(d.frame), QString::fromLatin1(d.title), d.table,
                                columnsOf(i), &area_);
        connect(f, &ListFrame::insertPressed, this, [this, i] { insertInto(i); });
        frames_[static_cast<std::size_t>(i)] = f;
    }
    frames_[ToDoNote] = new NoteFrame(QString::fromLatin1(kPanels[ToDoNote].title), &area_);
    for (int i = 0; i < kPanelCount; ++i) {
        DesktopFrame* f = frames_[static_cast<std::size_t>(i)];
        connect(f, &DesktopFrame::closeClicked, this, [this, i] { toggle(i); });
        connect(f, &DesktopFrame::changed, this, &Desktop::markChanged);
    }

    popup_ = new QMenu(&area_);
    popup_->setObjectName(QStringLiteral("DesktopPopup"));
    QAction* add = popup_->addAction(QStringLiteral("Add shortcut"));
    add->setObjectName(QStringLiteral("PopupAddShortcut"));
    QAction* properties = popup_->addAction(QStringLiteral("Properties"));
    properties->setObjectName(QStringLiteral("PopupProperties"));
    popup_->addSeparator();
    QAction* remove = popup_->addAction(QStringLiteral("Delete Shortcut"));
    remove->setObjectName(QStringLiteral("PopupDeleteShortcut"));
    connect(add, &QAction::triggered, this, &Desktop::addShortcut);
    connect(properties, &QAction::triggered, this, [this] {
        if (popupIcon_)
            editIcon(*popupIcon_);
        else
            chooseWallpaper();
    });
    connect(remove, &QAction::triggered, this, [this] {
        if (popupIcon_) deleteIcon(*popupIcon_);
    });
    connect(popup_, &QMenu::aboutToHide, this, [this] {
        // The entry runs after the menu hides; forget the icon afterwards.
        QMetaObject::invokeMethod(
            this, [this] { popupIcon_ = nullptr; }, Qt::QueuedConnection);
    });
    area_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&area_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupAt(area_.mapToGlobal(at), nullptr); });
    useStandard();
    changed_ = false;
}

Desktop::~Desktop() = default;

QString Desktop::text(const char* component, const QString& fallback) const {
    if (!hooks_.entry) return fallback;
    const auto e = hooks_.entry(component);
    return e && !e->caption.empty() ? qs(e->caption) : fallback;
}

QString Desktop::line(int n, const QString& fallback) const {
    const QString t = hooks_.message ? hooks_.message(n) : QString();
    return t.isEmpty() ? fallback : t;
}

void Desktop::retranslate(int language) {
    for (int i = 0; i < kListCount; ++i) {
        ListFrame* l = list(i);
        if (hooks_.entry)
            if (const auto e = hooks_.entry(l->grid()->objectName().toLatin1().constData())) {
                QStringList titles;
                for (const auto& line : e->lines)
                    titles << qs(line);
                l->setTitles(titles);
            }
        l->setLanguage(language);
    }
}

// --- state --------------------------------------------------------------

DesktopState Desktop::state() const {
    DesktopState s;
    s.wallpaper = area_.pictureFile().toStdString();
    for (const DesktopIcon* icon : icons_)
        s.icons.push_back({icon->objectName().toStdString(),
                           icon->text().toStdString(),
                           icon->pictureFile().toStdString(),
                           {icon->x(), icon->y(), icon->width(), icon->height()},
                           icon->property("shownTag").toBool()});
    for (int i = 0; i < kPanelCount; ++i)
        s.frames[static_cast<std::size_t>(i)] = {frame(i)->place(), shown(i)};
    for (int i = 0; i < kListCount; ++i)
        s.grids[static_cast<std::size_t>(i)].columnWidths = list(i)->columnWidths();
    s.toDoText = note()->text()->toHtml().toStdString();
    return s;
}

DesktopState Desktop::standard() const {
    std::array<std::string, kPanelCount> captions;
    for (int i = 0; i < kPanelCount; ++i)
        captions[static_cast<std::size_t>(i)] =
            text(panelIconName(i), QString::fromLatin1(kPanels[i].icon)).toStdString();
    return standardDesktop(captions);
}

void Desktop::useStandard() {
    apply(standard());
}

void Desktop::apply(const DesktopState& s) {
    restoring_ = true;
    bool pictureFailed = false;
    if (s.wallpaper.empty()) {
        area_.load(programDir_ + QStringLiteral("/Valmorand32.jpg"));
        area_.setPictureFile({});
    } else if (!area_.load(qs(s.wallpaper))) {
        pictureFailed = true;
    }

    for (DesktopIcon* icon : icons_)
        delete icon;
    icons_.clear();
    for (const IconState& i : s.icons) {
        DesktopIcon* icon = makeIcon(i);
        if (!i.picture.empty() && !icon->setPicture(qs(i.picture))) pictureFailed = true;
    }
    for (int i = 0; i < kPanelCount; ++i) {
        const FrameState& f = s.frames[static_cast<std::size_t>(i)];
        frame(i)->setPlace(f.geometry);
        if (i < kListCount) list(i)->setColumnWidths(s.grids[static_cast<std::size_t>(i)].columnWidths);
        showPanel(i, f.shown);
    }
    if (s.toDoText.empty())
        note()->text()->clear();
    else
        note()->text()->setHtml(qs(s.toDoText));
    restoring_ = false;
    if (pictureFailed && hooks_.showLine) hooks_.showLine(msg::kWallpaperMissing);
}

DesktopIcon* Desktop::makeIcon(const IconState& s) {
    auto* icon = new DesktopIcon(qs(s.name), qs(s.caption), &area_);
    icon->setGeometry(s.geometry.left, s.geometry.top, s.geometry.width, s.geometry.height);
    icon->setToolTip(qs(s.caption));
    icon->setProperty("shownTag", s.shown);
    icon->setVisible(s.shown);
    icons_.push_back(icon);
    connect(icon, &DesktopIcon::moved, this, &Desktop::markChanged);
    connect(icon, &QWidget::customContextMenuRequested, this,
            [this, icon](const QPoint& at) { popupAt(icon->mapToGlobal(at), icon); });
    connect(icon, &DesktopIcon::activated, this, [this, icon] {
        if (const auto panel = panelOfIcon(icon->objectName().toStdString()))
            toggle(*panel);
        else if (hooks_.launch)
            hooks_.launch(icon->objectName());
    });
    return icon;
}

void Desktop::markChanged() {
    if (!restoring_) changed_ = true;
}

// --- panels -------------------------------------------------------------

DesktopFrame* Desktop::frame(int panel) const {
    return frames_.at(static_cast<std::size_t>(panel));
}

ListFrame* Desktop::list(int list) const {
    return static_cast<ListFrame*>(frames_.at(static_cast<std::size_t>(list)));
}

NoteFrame* Desktop::note() const {
    return static_cast<NoteFrame*>(frames_[ToDoNote]);
}

bool Desktop::shown(int panel) const {
    return frame(panel)->property("shownTag").toBool();
}

bool Desktop::toggle(int panel) {
    if (panel < kListCount) {
        const auto options = hooks_.options ? hooks_.options().second : std::vector<std::string>{};
        if (!listAllowed(panel, options)) return false;
    }
    showPanel(panel, !shown(panel));
    markChanged();
    return true;
}

void Desktop::showPanel(int panel, bool show) {
    DesktopFrame* f = frame(panel);
    if (!show) {
        f->hide();
        f->setProperty("shownTag", false);
        if (panel < kListCount) list(panel)->close();
        return;
    }
    if (panel < kListCount) {
        try {
            Database* company = hooks_.company ? hooks_.company() : nullptr;
            if (!company) throw std::runtime_error("no company is open");
            list(panel)->open(*company);
        } catch (const std::exception& e) {
            QMessageBox::warning(area_.window(), QStringLiteral("Valmorand"),
                                 line(msg::kListNotOpened, QStringLiteral("The list could not be opened:")) +
                                     QLatin1Char('\n') + QString::fromUtf8(e.what()));
            f->setProperty("shownTag", false);
            f->hide();
            return;
        }
    }
    f->setProperty("shownTag", true);
    // A frame saved on a larger screen comes back within reach.
    Rect place = f->place();
    if (area_.isVisible() && area_.width() > 0)
        place = DesktopGeometry::dragTo(place, place.left, place.top, area_.width(), area_.height());
    f->setPlace(place);
    f->show();
    f->raise();
}

void Desktop::closeLists() {
    for (int i = 0; i < kListCount; ++i)
        list(i)->close();
}

void Desktop::reopenLists() {
    for (int i = 0; i < kListCount; ++i)
        if (shown(i)) showPanel(i, true);
}

void Desktop::insertInto(int l) {
    if (hooks_.launch) hooks_.launch(QString::fromLatin1(listMaintenanceShortcut(l)));
    list(l)->refresh();
}

// --- icons and wallpaper ------------------------------------------------

DesktopIcon* Desktop::icon(const QString& name) const {
    for (DesktopIcon* i : icons_)
        if (i->objectName() == name) return i;
    return nullptr;
}

void Desktop::popupAt(const QPoint& global, DesktopIcon* icon) {
    popupIcon_ = icon;
    popup_->findChild<QAction*>(QStringLiteral("PopupDeleteShortcut"))->setEnabled(icon != nullptr);
    popup_->popup(global);
}

void Desktop::addShortcut() {
    const auto options =
        hooks_.options ? hooks_.options() : std::pair<std::vector<std::string>, std::vector<std::string>>{};
    QStringList captions;
    for (const auto& c : options.first)
        captions << qs(c);
    TShortcutDlg dialog(captions, area_.window());
    if (hooks_.translate) hooks_.translate(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen() < 0) return;
    addShortcutFor(static_cast<std::size_t>(dialog.chosen()));
}

DesktopIcon* Desktop::addShortcutFor(std::size_t index) {
    const auto options =
        hooks_.options ? hooks_.options() : std::pair<std::vector<std::string>, std::vector<std::string>>{};
    if (index >= options.second.size() || options.second[index].empty()) {
        if (hooks_.showLine) hooks_.showLine(msg::kShortcutNotAvailable);
        return nullptr;
    }
    const QString name = qs(options.second[index]) + QLatin1Char('S');
    // Two icons cannot carry one name.
    if (icon(name)) {
        if (hooks_.showLine) hooks_.showLine(msg::kShortcutNameTaken);
        return nullptr;
    }
    IconState s;
    s.name = name.toStdString();
    s.caption = options.first[index];
    s.geometry = {296, 256, 89, 89};
    DesktopIcon* added = makeIcon(s);
    added->setPicture(programDir_ + QStringLiteral("/sysedit.bmp")); // the designed one stays without it
    added->raise();
    markChanged();
    return added;
}

void Desktop::editIcon(DesktopIcon& icon) {
    QString code = icon.objectName();
    if (!panelOfIcon(code.toStdString()) && code.endsWith(QLatin1Char('S'))) code.chop(1);
    TIconPropertiesDlg dialog(
        icon, code, programDir_,
        line(msg::kIconPictureFilters, QStringLiteral("Bitmap image (*.bmp);;Jpeg image (*.jpg)")),
        area_.window());
    if (hooks_.translate) hooks_.translate(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    icon.setText(dialog.caption());
    if (!dialog.newPicture().isEmpty() && !icon.setPicture(dialog.newPicture()) && hooks_.showLine)
        hooks_.showLine(msg::kWallpaperMissing);
    markChanged();
}

void Desktop::chooseWallpaper() {
    const QString file = QFileDialog::getOpenFileName(
        area_.window(), line(msg::kWallpaperDialog, QStringLiteral("Wallpaper")), programDir_,
        line(msg::kWallpaperFilters, QStringLiteral("Picture (*.jpg *.jpeg *.bmp *.png)")));
    if (!file.isEmpty()) changeWallpaper(file);
}

bool Desktop::changeWallpaper(const QString& file) {
    if (!area_.load(file)) {
        if (hooks_.showLine) hooks_.showLine(msg::kWallpaperMissing);
        return false;
    }
    markChanged();
    return true;
}

void Desktop::deleteIcon(DesktopIcon& icon) {
    if (const auto panel = panelOfIcon(icon.objectName().toStdString())) showPanel(*panel, false);
    icons_.erase(std::find(icons_.begin(), icons_.end(), &icon));
    if (popupIcon_ == &icon) popupIcon_ = nullptr;
    icon.deleteLater();
    markChanged();
}

} // namespace vm::shell
