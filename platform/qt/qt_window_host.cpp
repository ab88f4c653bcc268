// The Qt window host. In the order of a dialog's life:
//   building    DialogBox/CreateDialog: a DialogWindow or PageWidget with the
//               template's font, size and position; one widget per control
//               at its template rectangle (BuildControls); InitDialog.
//   running     Qt events and signals become the Win32 messages of
//               window_host.h (SurfaceEvent, Notify, Scroll, StaticColours).
//   ending      EndDialog marks a modal dialog ended and leaves its loop, or
//               destroys a modeless one; Destroy sends Destroy to the dialog
//               and then to its pages, and forgets their window values.
#include "platform/qt/qt_window_records.h"

#include "platform/help_page.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace osa {

using dlg::ControlClass;
using qt::ToQColor;
using qt::ToRect;
using qt::ToUtf8;
using qt::Utf8;

namespace {

constexpr int MaxEditChars = 32767; // QLineEdit's own limit

// Deletes a widget that may also have a Qt parent, unless the parent did first.
class WidgetOwner {
  public:
    explicit WidgetOwner(QWidget* widget) : widget_(widget) {}
    ~WidgetOwner() { delete widget_.data(); }
    WidgetOwner(const WidgetOwner&) = delete;
    WidgetOwner& operator=(const WidgetOwner&) = delete;

  private:
    QPointer<QWidget> widget_;
};

} // namespace

QtWindowHost::QtWindowHost(dlg::DialogTemplates templates)
    : templates_(templates), manager_(*this, *this),
      inputFilter_(std::make_unique<qt::InputFilter>()) {
    qt::InstallAccessibility();
    InstallInput();
}

QtWindowHost::~QtWindowHost() {
    RemoveInput();
    // Whatever is still open (a modeless window nobody ended) goes now.
    std::vector<std::uintptr_t> open;
    for (const auto& [handle, record] : dialogs_)
        if (record->parent == 0) open.push_back(handle);
    for (std::uintptr_t handle : open) {
        QPointer<QWidget> surface;
        if (auto record = FindDialog(handle)) surface = record->surface;
        Destroy(handle);
        delete surface.data();
    }
    // Ended windows whose deferred deletion has not run yet would still get
    // events, with this host gone.
    for (const QPointer<QWidget>& surface : dying_)
        delete surface.data();
}

std::uintptr_t QtWindowHost::NewHandle() {
    std::uintptr_t handle = nextHandle_;
    nextHandle_ += 4;
    return handle;
}

std::shared_ptr<QtWindowHost::DialogRecord> QtWindowHost::FindDialog(std::uintptr_t handle) const {
    auto it = dialogs_.find(handle);
    return it == dialogs_.end() ? nullptr : it->second;
}

QtWindowHost::ControlRecord* QtWindowHost::FindControl(std::uintptr_t handle) {
    auto it = controls_.find(handle);
    return it == controls_.end() ? nullptr : it->second.get();
}

QtWindowHost::ControlRecord* QtWindowHost::FindItem(Window dialog, int id) {
    if (id == dlg::NoId) return nullptr; // shared by many controls; never addressed
    auto record = FindDialog(dialog.value);
    if (!record) return nullptr;
    for (std::uintptr_t handle : record->controls) {
        ControlRecord* control = FindControl(handle);
        if (control != nullptr && control->id == id) return control;
    }
    return nullptr;
}

QWidget* QtWindowHost::ItemWidget(Window dialog, int id) {
    ControlRecord* control = FindItem(dialog, id);
    return control != nullptr ? control->widget.data() : nullptr;
}

QWidget* QtWindowHost::WidgetOf(Window window) const {
    if (auto record = FindDialog(window.value)) return record->surface.data();
    auto it = controls_.find(window.value);
    return it == controls_.end() ? nullptr : it->second->widget.data();
}

QtWindowHost::ControlRecord* QtWindowHost::ControlOfWidget(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        QVariant value = w->property(qt::ControlProperty);
        if (value.isValid()) return FindControl(static_cast<std::uintptr_t>(value.toULongLong()));
        if (w->property(qt::DialogProperty).isValid()) return nullptr;
    }
    return nullptr;
}

DialogItem QtWindowHost::ItemOf(std::uintptr_t control) {
    ControlRecord* c = FindControl(control);
    return c != nullptr ? DialogItem{Window{c->dialog}, c->id} : DialogItem{};
}

// --- DialogSite ------------------------------------------------------------------

std::intptr_t QtWindowHost::CallProcedure(Window dialog, const DialogMessage& message) {
    auto record = FindDialog(dialog.value); // keeps the record while the procedure runs
    if (!record || record->proc == nullptr) return 0;
    return record->proc(dialog, message);
}

const dlg::DialogTemplate* QtWindowHost::TemplateOf(Window dialog) {
    auto record = FindDialog(dialog.value);
    return record ? record->tmpl : nullptr;
}

Window QtWindowHost::ParentOf(Window dialog) {
    auto record = FindDialog(dialog.value);
    // Pages (children) live in their parent; an owned pop-up is top-level.
    if (!record || record->parent == 0 || !record->surface || record->surface->isWindow())
        return Window{};
    return Window{record->parent};
}

std::vector<Window> QtWindowHost::PagesOf(Window dialog) {
    std::vector<Window> pages;
    for (const auto& [handle, record] : dialogs_)
        if (record->parent == dialog.value && record->surface && !record->surface->isWindow())
            pages.push_back(Window{handle});
    return pages; // handles grow, so this is creation order
}

DialogItem QtWindowHost::FocusIn(Window dialog) {
    auto record = FindDialog(dialog.value);
    if (!record || !record->surface) return DialogItem{};
    ControlRecord* focused = ControlOfWidget(record->surface->window()->focusWidget());
    return focused != nullptr ? ItemOf(focused->handle) : DialogItem{};
}

bool QtWindowHost::CloseCommandRemoved(Window dialog) {
    auto record = FindDialog(dialog.value);
    return record && record->closeRemoved;
}

// --- Messages --------------------------------------------------------------------

std::intptr_t QtWindowHost::Send(std::uintptr_t dialog, const DialogMessage& message) {
    return manager_.Send(Window{dialog}, message);
}

void QtWindowHost::Notify(std::uintptr_t control, int code) {
    const DialogItem item = ItemOf(control);
    if (item) manager_.Command(item.dialog, item.id, code);
}

void QtWindowHost::Clicked(std::uintptr_t control) {
    const DialogItem item = ItemOf(control);
    if (item) manager_.ButtonClicked(item.dialog, item.id);
}

void QtWindowHost::ListDroppedDown(std::uintptr_t control) {
    if (const DialogItem item = ItemOf(control)) manager_.ComboDroppedDown(item);
}

void QtWindowHost::ListClosed(std::uintptr_t control, bool chosen) {
    if (const DialogItem item = ItemOf(control)) manager_.ComboClosed(item, chosen);
}

void QtWindowHost::ListChoiceOnClosedBox(std::uintptr_t control) {
    if (const DialogItem item = ItemOf(control)) manager_.ComboChoiceOnClosedBox(item);
}

void QtWindowHost::ScrollStep(std::uintptr_t control, int code) {
    if (const DialogItem item = ItemOf(control)) manager_.ScrollStep(item, code);
}

void QtWindowHost::ScrollReleased(std::uintptr_t control) {
    if (const DialogItem item = ItemOf(control)) manager_.ScrollReleased(item);
}

bool QtWindowHost::ScrollKey(std::uintptr_t control, std::uintptr_t virtualKey) {
    const DialogItem item = ItemOf(control);
    return item && manager_.ScrollKey(item, virtualKey);
}

void QtWindowHost::ThumbPressed(std::uintptr_t control, int position) {
    if (const DialogItem item = ItemOf(control)) manager_.ThumbPressed(item, position);
}

void QtWindowHost::ThumbTracked(std::uintptr_t control, int position) {
    if (const DialogItem item = ItemOf(control)) manager_.ThumbTracked(item, position);
}

void QtWindowHost::ThumbReleased(std::uintptr_t control, int position) {
    if (const DialogItem item = ItemOf(control)) manager_.ThumbReleased(item, position);
}

qt::StaticPaint QtWindowHost::StaticColours(std::uintptr_t control) {
    qt::StaticPaint out;
    ControlRecord* c = FindControl(control);
    if (c == nullptr) return out;
    osa::StaticColours answer;
    DialogMessage m;
    m.msg = Msg::CtlColorStatic;
    m.id = c->id;
    m.colours = &answer;
    out.background = BrushColour(Send(c->dialog, m));
    out.hollow = answer.hollow;
    if (answer.text) out.text = ToQColor(*answer.text);
    return out;
}

std::optional<QColor> QtWindowHost::BrushColour(std::intptr_t brush) const {
    auto it = brushes_.find(static_cast<std::uintptr_t>(brush));
    if (brush == 0 || it == brushes_.end()) return std::nullopt;
    return ToQColor(it->second);
}

namespace {

// The sizes (icons, in pixels) or scales (bitmaps, in per cent) the
// collection holds drawings at besides `base`: its numbered folders under
// `root` (:/icon/16/<n>, :/bitmap/200/<n>), ascending.
std::vector<int> DrawnAt(const QString& root, int base) {
    std::vector<int> out{base};
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const int n = name.toInt(&ok);
        if (ok && n > 0 && n != base) out.push_back(n);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The first of `drawn` (ascending) that is at least `wanted`, else the last.
int AtLeast(const std::vector<int>& drawn, double wanted) {
    for (int d : drawn)
        if (d >= wanted - 0.5) return d;
    return drawn.back();
}

} // namespace

QPixmap QtWindowHost::IconPixmap(int iconId, qreal ratio) {
    // Icons are 32 logical pixels, the size Windows loads for dialogs at 96 dpi.
    static const std::vector<int> sizes = DrawnAt(QStringLiteral(":/icon"), 32);
    // Not every icon is drawn at every size: the first size at least as
    // large as wanted that this icon has, else the largest smaller one.
    const int wanted = AtLeast(sizes, 32 * ratio);
    std::vector<int> order;
    for (int s : sizes)
        if (s >= wanted) order.push_back(s);
    for (auto s = sizes.rbegin(); s != sizes.rend(); ++s)
        if (*s < wanted) order.push_back(*s);
    QPixmap pixmap;
    int size = 32;
    for (int s : order) {
        pixmap = QPixmap(s == 32 ? QStringLiteral(":/icon/%1").arg(iconId)
                                 : QStringLiteral(":/icon/%1/%2").arg(s).arg(iconId));
        size = s;
        if (!pixmap.isNull()) break;
    }
    if (pixmap.isNull()) return pixmap;
    if (pixmap.size() != QSize(size, size))
        pixmap = pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(size / 32.0);
    return pixmap;
}

QPixmap QtWindowHost::BitmapPixmap(int bitmap, qreal ratio) {
    static const std::vector<int> scales = DrawnAt(QStringLiteral(":/bitmap"), 100);
    const int scale = AtLeast(scales, 100 * ratio);
    if (scale != 100) {
        QPixmap pixmap(QStringLiteral(":/bitmap/%1/%2").arg(scale).arg(bitmap));
        const QSize base = QImageReader(QStringLiteral(":/bitmap/%1").arg(bitmap)).size();
        if (!pixmap.isNull() && base.width() > 0 && base.height() > 0) {
            // The drawing's sides are rounded up to whole pixels (58 x 85 at
            // 125 % is 73 x 107): the larger ratio keeps its logical size
            // the bitmap's own.
            pixmap.setDevicePixelRatio(std::max(pixmap.width() / qreal(base.width()),
                                                pixmap.height() / qreal(base.height())));
            return pixmap;
        }
    }
    return QPixmap(QStringLiteral(":/bitmap/%1").arg(bitmap));
}

void QtWindowHost::PaintSurface(DialogRecord& dialog, QWidget* surface) {
    QPainter painter(surface);
    // WM_ERASEBKGND: the dialog's brush, or the face colour.
    DialogMessage m;
    m.msg = Msg::CtlColorDlg;
    std::optional<QColor> background = BrushColour(Send(dialog.handle, m));
    painter.fillRect(surface->rect(),
                     background.value_or(surface->palette().color(QPalette::Window)));
    dialog.painter = &painter;
    m = DialogMessage{};
    m.msg = Msg::Paint;
    (void)Send(dialog.handle, m);
    dialog.painter = nullptr;
}

// --- Dialogs -------------------------------------------------------------------

std::intptr_t QtWindowHost::DialogBox(int templateId, Window owner, DialogProc proc,
                                      std::intptr_t param) {
    const dlg::DialogTemplate* t = templates_.Find(templateId);
    if (t == nullptr || proc == nullptr || (t->style & dlg::DsChild) != 0) return -1;
    QWidget* ownerWidget = WidgetOf(owner);
    if (ownerWidget != nullptr) ownerWidget = ownerWidget->window();

    auto record = std::make_shared<DialogRecord>();
    record->handle = NewHandle();
    record->tmpl = t;
    record->proc = proc;
    record->modal = true;
    const std::uintptr_t handle = record->handle;
    QPointer<qt::DialogWindow> dialog =
        new qt::DialogWindow(ownerWidget, qt::WindowFlagsFor(*t), *this, handle);
    WidgetOwner owned(dialog);
    record->surface = dialog.data();
    dialog->setProperty(qt::DialogProperty, QVariant::fromValue<qulonglong>(handle));
    dialog->setObjectName(QStringLiteral("dlg_%1").arg(t->id));
    dialog->setWindowTitle(Utf8(t->caption));
    dialog->setFont(qt::DialogFont(*t));
    record->units = qt::DialogBaseUnits(dialog->font());
    dialog->setFixedSize(qt::MulDiv(t->rect.cx, record->units.x, 4),
                         qt::MulDiv(t->rect.cy, record->units.y, 8));
    dialogs_[handle] = record;
    BuildControls(*record, dialog);
    Position(*record, ownerWidget);

    modalStack_.push_back(handle);
    DialogMessage init;
    init.msg = Msg::InitDialog;
    init.param = param;
    (void)Send(handle, init);
    if (!record->ended && dialog) {
        if (t->style & dlg::DsSetForeground) {
            QTimer::singleShot(0, dialog, [d = dialog.data()] {
                d->raise();
                d->activateWindow();
            });
        }
        dialog->exec(); // returns when EndDialog finishes it
    }
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), handle),
                      modalStack_.end());
    const std::intptr_t result = record->ended ? record->result : -1;
    Destroy(handle);
    return result;
}

Window QtWindowHost::CreateDialog(int templateId, Window parent, DialogProc proc,
                                  std::intptr_t param) {
    const dlg::DialogTemplate* t = templates_.Find(templateId);
    if (t == nullptr || proc == nullptr) return Window{};
    auto parentRecord = FindDialog(parent.value);
    const bool child = (t->style & dlg::DsChild) != 0;
    if (child && (!parentRecord || !parentRecord->surface))
        return Window{}; // a child needs a parent

    auto record = std::make_shared<DialogRecord>();
    record->handle = NewHandle();
    record->tmpl = t;
    record->proc = proc;
    record->parent = parentRecord ? parent.value : 0;
    const std::uintptr_t handle = record->handle;
    QWidget* surface = nullptr;
    QWidget* ownerWidget = parentRecord ? parentRecord->surface->window() : nullptr;
    if (child) {
        surface = new qt::PageWidget(parentRecord->surface.data(), *this, handle);
    } else {
        surface = new qt::DialogWindow(ownerWidget, qt::WindowFlagsFor(*t), *this, handle);
        surface->setWindowTitle(Utf8(t->caption));
    }
    record->surface = surface;
    surface->setProperty(qt::DialogProperty, QVariant::fromValue<qulonglong>(handle));
    surface->setObjectName(QStringLiteral("dlg_%1").arg(t->id));
    surface->setFont(qt::DialogFont(*t));
    record->units = qt::DialogBaseUnits(surface->font());
    dialogs_[handle] = record;
    if (child) {
        surface->setGeometry(qt::MapDialogUnits(record->units, t->rect));
    } else {
        surface->setFixedSize(qt::MulDiv(t->rect.cx, record->units.x, 4),
                              qt::MulDiv(t->rect.cy, record->units.y, 8));
    }
    BuildControls(*record, surface);
    if (!child) Position(*record, ownerWidget);

    DialogMessage init;
    init.msg = Msg::InitDialog;
    init.param = param;
    (void)Send(handle, init);
    if (!FindDialog(handle)) return Window{}; // ended during its initialisation
    if (t->style & dlg::DsVisible) surface->show();
    return Window{handle};
}

void QtWindowHost::EndDialog(Window dialog, std::intptr_t result) {
    auto record = FindDialog(dialog.value);
    if (!record || record->ended) return;
    manager_.MarkEnded(dialog);
    if (!record->modal) {
        Destroy(dialog.value);
        return;
    }
    record->ended = true;
    record->result = result;
    // Hides the dialog and leaves its loop once the current event is done;
    // DialogBox then destroys it.
    if (auto* window = dynamic_cast<qt::DialogWindow*>(record->surface.data())) window->Finish();
}

void QtWindowHost::Destroy(std::uintptr_t dialog) {
    auto record = FindDialog(dialog);
    if (!record) return;
    record->ended = true;
    if (capture_ && manager_.Capture() == Window{dialog}) {
        capture_->releaseMouse();
        capture_ = nullptr;
    }
    manager_.Destroying(Window{dialog}); // CaptureChanged when it held the capture, then Destroy
    // Pages and owned modeless windows go with it, after it, as on Windows.
    std::vector<std::uintptr_t> children;
    for (const auto& [h, other] : dialogs_)
        if (other->parent == dialog) children.push_back(h);
    for (std::uintptr_t child : children)
        Destroy(child);
    for (std::uintptr_t control : record->controls)
        controls_.erase(control);
    dialogs_.erase(dialog);
    manager_.Forget(Window{dialog});
    if (!record->modal && record->surface) {
        // It may be in one of its own handlers right now.
        record->surface->hide();
        record->surface->deleteLater();
        std::erase_if(dying_, [](const QPointer<QWidget>& w) { return w.isNull(); });
        if (record->parent == 0) dying_.push_back(record->surface);
    }
}

Window QtWindowHost::GetItem(Window dialog, int id) {
    ControlRecord* c = FindItem(dialog, id);
    return c != nullptr ? Window{c->handle} : Window{};
}

// --- Message boxes and sound ---------------------------------------------------

int QtWindowHost::MessageBox(Window owner, std::string_view text, std::string_view caption,
                             unsigned style) {
    QWidget* ownerWidget = WidgetOf(owner);
    if (ownerWidget != nullptr) ownerWidget = ownerWidget->window();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0xF0u) {
    case mb::IconHand:
        icon = QMessageBox::Critical;
        break;
    case mb::IconQuestion:
        icon = QMessageBox::Question;
        break;
    case mb::IconExclamation:
        icon = QMessageBox::Warning;
        break;
    case mb::IconAsterisk:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox box(icon, Utf8(caption), Utf8(text), QMessageBox::NoButton, ownerWidget);
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    QPushButton* cancel = nullptr;
    if ((style & 0xFu) == mb::OkCancel) cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(ok);
    // Esc and the close button: Cancel when there is one, else OK.
    box.setEscapeButton(cancel != nullptr ? cancel : ok);
    box.exec();
    return cancel != nullptr && box.clickedButton() != ok ? mb::IdCancel : mb::IdOk;
}

void QtWindowHost::Beep() {
    QApplication::beep();
}

// --- Texts, states, values -----------------------------------------------------

void QtWindowHost::SetControlText(ControlRecord& control, std::string_view text) {
    QWidget* w = control.widget.data();
    if (w == nullptr) return;
    const QString s = Utf8(text);
    switch (control.tmpl->cls) {
    case ControlClass::Edit: {
        auto* edit = static_cast<QLineEdit*>(w);
        edit->setText(s);
        // WM_SETTEXT on an edit notifies as typing does.
        Notify(control.handle, notify::EditChange);
        break;
    }
    case ControlClass::Static:
        static_cast<QLabel*>(w)->setText(s);
        break;
    case ControlClass::GroupBox:
        static_cast<QGroupBox*>(w)->setTitle(s);
        break;
    default:
        if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(s);
        break; // a drop-down list has no text of its own; pictures show none
    }
}

std::string QtWindowHost::ControlText(const ControlRecord& control) const {
    QWidget* w = control.widget.data();
    if (w == nullptr) return {};
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return ToUtf8(edit->text());
    if (auto* combo = qobject_cast<QComboBox*>(w)) return ToUtf8(combo->currentText());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return ToUtf8(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w)) return ToUtf8(group->title());
    if (auto* label = qobject_cast<QLabel*>(w)) return ToUtf8(label->text());
    return {};
}

void QtWindowHost::SetCaption(Window window, std::string_view text) {
    if (auto record = FindDialog(window.value)) {
        if (record->surface) record->surface->setWindowTitle(Utf8(text));
    } else if (ControlRecord* c = FindControl(window.value)) {
        SetControlText(*c, text);
    }
}

std::string QtWindowHost::GetCaption(Window window) {
    if (auto record = FindDialog(window.value))
        return record->surface ? ToUtf8(record->surface->windowTitle()) : std::string{};
    if (ControlRecord* c = FindControl(window.value)) return ControlText(*c);
    return {};
}

void QtWindowHost::SetWindowIcon(Window window, int iconId) {
    auto record = FindDialog(window.value);
    if (!record || !record->surface) return;
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon/%1").arg(iconId));
    for (const QString& size :
         QDir(QStringLiteral(":/icon")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        icon.addFile(QStringLiteral(":/icon/%1/%2").arg(size).arg(iconId));
    record->surface->setWindowIcon(icon);
}

void QtWindowHost::SetItemText(Window dialog, int id, std::string_view text) {
    if (ControlRecord* c = FindItem(dialog, id)) SetControlText(*c, text);
}

std::string QtWindowHost::GetItemText(Window dialog, int id) {
    ControlRecord* c = FindItem(dialog, id);
    return c != nullptr ? ControlText(*c) : std::string{};
}

void QtWindowHost::EnableItem(Window dialog, int id, bool enable) {
    if (QWidget* w = ItemWidget(dialog, id)) w->setEnabled(enable);
}

bool QtWindowHost::IsItemEnabled(Window dialog, int id) {
    // The control's own state, as IsWindowEnabled gives it.
    QWidget* w = ItemWidget(dialog, id);
    return w != nullptr && !w->testAttribute(Qt::WA_ForceDisabled);
}

void QtWindowHost::ShowItem(Window dialog, int id, bool show) {
    if (QWidget* w = ItemWidget(dialog, id)) w->setVisible(show);
}

bool QtWindowHost::IsItemVisible(Window dialog, int id) {
    // The control's own visibility (WS_VISIBLE): isHidden() is true only
    // after hide(), whether or not the dialog is on screen yet.
    QWidget* w = ItemWidget(dialog, id);
    return w != nullptr && !w->isHidden();
}

void QtWindowHost::CheckItem(Window dialog, int id, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(ItemWidget(dialog, id));
    if (button == nullptr || !button->isCheckable()) return;
    settingCheck_ = true;
    button->setChecked(checked);
    settingCheck_ = false;
}

bool QtWindowHost::IsItemChecked(Window dialog, int id) {
    auto* button = qobject_cast<QAbstractButton*>(ItemWidget(dialog, id));
    return button != nullptr && button->isCheckable() && button->isChecked();
}

void QtWindowHost::SetScrollRange(Window dialog, int id, int min, int max, bool) {
    if (auto* bar = dynamic_cast<qt::ScrollControl*>(ItemWidget(dialog, id)))
        bar->SetRange(min, max);
}

void QtWindowHost::SetScrollPos(Window dialog, int id, int pos, bool) {
    if (auto* bar = dynamic_cast<qt::ScrollControl*>(ItemWidget(dialog, id))) bar->SetPosition(pos);
}

int QtWindowHost::GetScrollPos(Window dialog, int id) {
    auto* bar = dynamic_cast<qt::ScrollControl*>(ItemWidget(dialog, id));
    return bar != nullptr ? bar->value() : 0;
}

void QtWindowHost::ComboReset(Window dialog, int id) {
    if (auto* combo = qobject_cast<QComboBox*>(ItemWidget(dialog, id))) combo->clear();
}

int QtWindowHost::ComboAdd(Window dialog, int id, std::string_view text) {
    auto* combo = qobject_cast<QComboBox*>(ItemWidget(dialog, id));
    if (combo == nullptr) return -1;
    combo->addItem(Utf8(text));
    return combo->count() - 1;
}

void QtWindowHost::ComboSetSelection(Window dialog, int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(ItemWidget(dialog, id));
    if (combo == nullptr) return;
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int QtWindowHost::ComboGetSelection(Window dialog, int id) {
    auto* combo = qobject_cast<QComboBox*>(ItemWidget(dialog, id));
    return combo != nullptr ? combo->currentIndex() : -1;
}

int QtWindowHost::ComboCount(Window dialog, int id) {
    auto* combo = qobject_cast<QComboBox*>(ItemWidget(dialog, id));
    return combo != nullptr ? combo->count() : 0;
}

void QtWindowHost::EditSetSelection(Window dialog, int id, int start, int end) {
    auto* edit = qobject_cast<QLineEdit*>(ItemWidget(dialog, id));
    if (edit == nullptr) return;
    if (start < 0) { // EM_SETSEL with -1: no selection
        edit->deselect();
        return;
    }
    const int length = static_cast<int>(edit->text().size());
    if (end < 0 || end > length) end = length;
    start = std::min(start, length);
    edit->setSelection(start, end - start);
}

void QtWindowHost::EditLimitText(Window dialog, int id, int maxChars) {
    if (auto* edit = qobject_cast<QLineEdit*>(ItemWidget(dialog, id)))
        edit->setMaxLength(maxChars > 0 ? std::min(maxChars, MaxEditChars) : MaxEditChars);
}

void QtWindowHost::SetFocusItem(Window dialog, int id) {
    if (QWidget* w = ItemWidget(dialog, id)) w->setFocus(Qt::OtherFocusReason);
}

int QtWindowHost::GetFocusItem(Window dialog) {
    auto record = FindDialog(dialog.value);
    if (!record || !record->surface) return 0;
    ControlRecord* focused = ControlOfWidget(record->surface->window()->focusWidget());
    // A control of this dialog or of one of its pages.
    for (std::uintptr_t d = focused != nullptr ? focused->dialog : 0; d != 0;) {
        if (d == dialog.value) return focused->id;
        auto r = FindDialog(d);
        d = r ? r->parent : 0;
    }
    return 0;
}

// --- Drawing -------------------------------------------------------------------

Brush QtWindowHost::CreateSolidBrush(Colour colour) {
    Brush brush{NewHandle()};
    brushes_[brush.value] = colour;
    return brush;
}

void QtWindowHost::DeleteBrush(Brush brush) {
    brushes_.erase(brush.value);
}

Font QtWindowHost::CreateGuiFont(int pixelHeight, int weight) {
    QFont font = qt::GuiFont();
    if (pixelHeight > 0) {
        // A positive LOGFONT height is the cell height (ascent + descent):
        // the largest pixel size whose cell fits in it.
        int size = pixelHeight;
        font.setPixelSize(size);
        while (size > 1 && QFontMetrics(font).ascent() + QFontMetrics(font).descent() > pixelHeight)
            font.setPixelSize(--size);
    } else if (pixelHeight < 0) {
        font.setPixelSize(-pixelHeight); // the character height (em)
    }
    if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    Font handle{NewHandle()};
    fonts_[handle.value] = font;
    return handle;
}

Extent QtWindowHost::TextExtent(Font font, std::string_view text) {
    auto it = fonts_.find(font.value);
    const QFontMetrics metrics(it != fonts_.end() ? it->second : qt::GuiFont());
    return Extent{metrics.horizontalAdvance(Utf8(text)), metrics.lineSpacing()};
}

void QtWindowHost::DeleteFont(Font font) {
    fonts_.erase(font.value);
}

void QtWindowHost::SetItemFont(Window dialog, int id, Font font) {
    QWidget* w = ItemWidget(dialog, id);
    if (w == nullptr) return;
    auto it = fonts_.find(font.value);
    // No font: back to the dialog's own.
    w->setFont(it != fonts_.end() ? it->second : QFont());
}

void QtWindowHost::UpdateWindow(Window window) {
    // repaint() paints the widget and the children it covers at once.
    if (QWidget* w = WidgetOf(window)) w->repaint();
}

void QtWindowHost::InvalidateRect(Window window, std::optional<Rect> rect, bool) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr) return;
    if (rect && rect->Width() > 0 && rect->Height() > 0)
        w->update(QRect(rect->left, rect->top, rect->Width(), rect->Height()));
    else if (!rect)
        w->update();
}

void QtWindowHost::SetHotSpots(Window window, std::span<const HotSpot> spots) {
    auto record = FindDialog(window.value);
    if (!record) return;
    std::vector<qt::HotSpotState> held;
    for (const HotSpot& s : spots)
        held.push_back(qt::HotSpotState{
            qt::Utf8(s.name),
            QRect(QPoint(s.rect.left, s.rect.top), QPoint(s.rect.right, s.rect.bottom)), s.enabled,
            s.pressed});
    if (held == record->hotSpots) return;
    record->hotSpots = std::move(held);
    // Screen readers hear of the change as of any other state change.
    if (record->surface) {
        QAccessible::State changed;
        changed.pressed = true;
        changed.disabled = true;
        QAccessibleStateChangeEvent event(record->surface.data(), changed);
        QAccessible::updateAccessibility(&event);
    }
}

std::vector<qt::HotSpotState> QtWindowHost::HotSpotsOf(std::uintptr_t dialog) {
    auto record = FindDialog(dialog);
    return record ? record->hotSpots : std::vector<qt::HotSpotState>{};
}

void QtWindowHost::DrawIcon(Window window, int iconId, Point at) {
    auto record = FindDialog(window.value);
    if (!record || record->painter == nullptr) return; // only while it handles Paint
    QPainter& painter = *record->painter;
    const QPixmap pixmap = IconPixmap(iconId, painter.device()->devicePixelRatioF());
    if (!pixmap.isNull()) painter.drawPixmap(QPoint(at.x, at.y), pixmap);
}

// --- Geometry ------------------------------------------------------------------
// A top-level window's rectangle is its client area on the screen: the
// window manager's frame is not known before the window is shown, and
// GetWindowRect and MoveWindow must agree with each other at all times.

Rect QtWindowHost::GetWindowRect(Window window) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr) return Rect{};
    if (w->isWindow()) return ToRect(w->geometry());
    return ToRect(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
}

Rect QtWindowHost::GetItemRect(Window dialog, int id) {
    return GetWindowRect(GetItem(dialog, id));
}

Rect QtWindowHost::GetClientRect(Window window) {
    QWidget* w = WidgetOf(window);
    return w != nullptr ? Rect{0, 0, w->width(), w->height()} : Rect{};
}

Point QtWindowHost::ScreenToClient(Window window, Point screen) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr) return Point{};
    const QPoint p = w->mapFromGlobal(QPoint(screen.x, screen.y));
    return Point{p.x(), p.y()};
}

void QtWindowHost::MoveWindow(Window window, Rect screenRect, bool) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr) return;
    const QSize size(std::max(0, screenRect.Width()), std::max(0, screenRect.Height()));
    if (w->isWindow()) {
        w->setFixedSize(size);
        w->setGeometry(QRect(QPoint(screenRect.left, screenRect.top), size));
    } else {
        const QPoint at = w->parentWidget()->mapFromGlobal(QPoint(screenRect.left, screenRect.top));
        w->setGeometry(QRect(at, size));
    }
}

Rect QtWindowHost::MapDialogRect(Window dialog, Rect dialogUnits) {
    auto record = FindDialog(dialog.value);
    if (!record) return Rect{};
    const qt::BaseUnits& u = record->units;
    return Rect{qt::MulDiv(dialogUnits.left, u.x, 4), qt::MulDiv(dialogUnits.top, u.y, 8),
                qt::MulDiv(dialogUnits.right, u.x, 4), qt::MulDiv(dialogUnits.bottom, u.y, 8)};
}

// --- Windows -------------------------------------------------------------------

void QtWindowHost::RemoveCloseCommand(Window window) {
    auto record = FindDialog(window.value);
    if (!record || !record->surface || !record->surface->isWindow()) return;
    record->closeRemoved = true;
    QWidget* w = record->surface.data();
    const bool visible = w->isVisible();
    w->setWindowFlags(w->windowFlags() & ~Qt::WindowCloseButtonHint);
    if (visible) w->show(); // changing the flags hides a window
}

void QtWindowHost::RaiseWindow(Window window) {
    QWidget* target = QApplication::activeModalWidget();
    if (target == nullptr) {
        if (QWidget* w = WidgetOf(window)) target = w->window();
    }
    if (target == nullptr && !modalStack_.empty()) target = WidgetOf(Window{modalStack_.front()});
    if (target == nullptr) return;
    for (QWidget* owner = target->parentWidget(); owner != nullptr; owner = owner->parentWidget())
        if (owner->isWindow() && owner->isMinimized()) owner->showNormal();
    if (target->isVisible() || target->isMinimized()) target->showNormal();
    target->raise();
    target->activateWindow();
}

void QtWindowHost::ShowHelp(Window, std::string_view, std::uint32_t context) {
    // No WinHelp viewer here: the HTML help page shipped beside the program.
    QUrl page = QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath())
                                        .filePath(QString::fromUtf8(help::PageRelativePath)));
    page.setFragment(QString::fromStdString(help::Anchor(context)));
    if (!QDesktopServices::openUrl(page)) QApplication::beep();
}

} // namespace osa
