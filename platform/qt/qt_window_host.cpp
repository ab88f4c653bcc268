// The Qt window host. In the order of a dialog's life:
//   building    DialogBox/CreateDialog: a DialogWindow or PageWidget with the
//               template's font, size and position; one widget per control
//               at its template rectangle (BuildControls); InitDialog.
//   running     Qt events and signals become the Win32 messages of
//               window_host.h (SurfaceEvent, Notify, Scroll, StaticColours).
//   ending      EndDialog marks a modal dialog ended and leaves its loop, or
//               destroys a modeless one; Destroy sends Destroy to the dialog
//               and then to its pages, and forgets their window values.
#include "platform/qt/qt_window_host.h"

#include "platform/help_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace osa {

namespace qt {

// Application-wide event filter for two Win32 behaviours Qt has no call for:
//   - DiscardPendingInput: while `discarding`, keyboard and mouse events are
//     dropped before any widget sees them;
//   - the wait cursor lasts until the mouse next moves, as a cursor set with
//     SetCursor lasts until the next WM_SETCURSOR.
class InputFilter final : public QObject {
  public:
    bool discarding = false;
    bool waitCursor = false;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (discarding && IsInput(event->type())) return true;
        if (waitCursor && event->type() == QEvent::MouseMove) {
            waitCursor = false;
            QApplication::restoreOverrideCursor();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    static bool IsInput(QEvent::Type type) {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
        }
    }
};

} // namespace qt

struct QtWindowHost::DialogRecord {
    std::uintptr_t handle = 0;
    const dlg::DialogTemplate* tmpl = nullptr;
    DialogProc proc = nullptr;
    std::uintptr_t parent = 0; // modeless: the dialog it belongs to
    bool modal = false;
    bool ended = false;
    std::intptr_t result = 0;
    bool closeRemoved = false;
    QPointer<QWidget> surface;
    qt::BaseUnits units;
    std::vector<std::uintptr_t> controls; // template order
    QPainter* painter = nullptr;          // while its Paint message runs
};

struct QtWindowHost::ControlRecord {
    std::uintptr_t handle = 0;
    std::uintptr_t dialog = 0;
    int id = dlg::NoId;
    const dlg::ControlTemplate* tmpl = nullptr;
    QPointer<QWidget> widget;
};

namespace {

using dlg::ControlClass;

constexpr const char* ControlProperty = "osa_control"; // window value of a control widget
constexpr const char* DialogProperty = "osa_dialog";   // window value of a dialog surface
constexpr int MaxEditChars = 32767;                    // QLineEdit's own limit

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

Rect ToRect(const QRect& r) {
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QColor ToQColor(Colour c) {
    return QColor(static_cast<int>(RedOf(c)), static_cast<int>(GreenOf(c)),
                  static_cast<int>(BlueOf(c)));
}

bool IsButton(ControlClass c) {
    return c == ControlClass::PushButton || c == ControlClass::DefPushButton ||
           c == ControlClass::AutoCheckBox || c == ControlClass::AutoRadioButton;
}

Qt::WindowFlags WindowFlagsFor(const dlg::DialogTemplate& t) {
    // A window with a minimize box is a main window to the window manager;
    // a plain dialog gets none.
    Qt::WindowFlags flags = (t.style & dlg::DsMinimizeBox) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (t.style & dlg::DsCaption) flags |= Qt::WindowTitleHint;
    if (t.style & dlg::DsSysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (t.style & dlg::DsMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

// The DrawText flags of a static: alignment, word wrap (single line when
// centred vertically, as SS_CENTERIMAGE makes it), and '&' prefixes.
int StaticTextFlags(std::uint32_t style) {
    int flags = Qt::TextShowMnemonic | Qt::TextExpandTabs;
    if (style & dlg::CsCenter)
        flags |= Qt::AlignHCenter;
    else if (style & dlg::CsRight)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (style & dlg::CsCenterVertically)
        flags |= Qt::AlignVCenter | Qt::TextSingleLine;
    else
        flags |= Qt::AlignTop | Qt::TextWordWrap;
    return flags;
}

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

QtWindowHost::QtWindowHost() : inputFilter_(std::make_unique<qt::InputFilter>()) {
    QCoreApplication::instance()->installEventFilter(inputFilter_.get());
}

QtWindowHost::~QtWindowHost() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(inputFilter_.get());
    if (inputFilter_->waitCursor) QApplication::restoreOverrideCursor();
    if (capture_) capture_->releaseMouse();
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
        QVariant value = w->property(ControlProperty);
        if (value.isValid()) return FindControl(static_cast<std::uintptr_t>(value.toULongLong()));
        if (w->property(DialogProperty).isValid()) return nullptr;
    }
    return nullptr;
}

// --- Building ------------------------------------------------------------------

void QtWindowHost::BuildControls(DialogRecord& dialog, QWidget* surface) {
    for (const dlg::ControlTemplate& ct : dialog.tmpl->controls) {
        auto control = std::make_unique<ControlRecord>();
        control->handle = NewHandle();
        control->dialog = dialog.handle;
        control->id = ct.id;
        control->tmpl = &ct;
        QRect geometry = qt::MapDialogUnits(dialog.units, ct.rect);
        const QString text = Utf8(ct.text);
        const bool tabStop = (ct.style & dlg::CsTabStop) != 0;
        QWidget* widget = nullptr;

        switch (ct.cls) {
        case ControlClass::PushButton:
        case ControlClass::DefPushButton: {
            auto* button = new QPushButton(text, surface);
            button->setAutoDefault(true);
            button->setDefault(ct.cls == ControlClass::DefPushButton);
            widget = button;
            break;
        }
        case ControlClass::AutoCheckBox:
            if (ct.style & dlg::CsPushLike) {
                auto* button = new QPushButton(text, surface);
                button->setCheckable(true);
                button->setAutoDefault(false); // Enter goes to the dialog, not to it
                widget = button;
            } else {
                widget = new QCheckBox(text, surface);
            }
            break;
        case ControlClass::AutoRadioButton: {
            auto* radio = new QRadioButton(text, surface);
            // The group is the template's (ConnectButton); programmatic
            // checks must not uncheck the others, as BM_SETCHECK does not.
            radio->setAutoExclusive(false);
            widget = radio;
            break;
        }
        case ControlClass::Edit: {
            auto* edit = new qt::EditControl(surface, *this, control->handle);
            edit->setFrame((ct.style & dlg::CsBorder) != 0);
            if (ct.style & dlg::CsCenter)
                edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
            else if (ct.style & dlg::CsRight)
                edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            const std::uintptr_t h = control->handle;
            QObject::connect(edit, &QLineEdit::textEdited, edit,
                             [this, h] { Notify(h, notify::EditChange); });
            widget = edit;
            break;
        }
        case ControlClass::DropDownList: {
            auto* combo = new qt::ComboControl(surface, *this, control->handle);
            // The template's height is that of the open list; the box itself
            // is one line high.
            const int boxHeight = combo->sizeHint().height();
            const int itemHeight = QFontMetrics(combo->font()).height() + 2;
            combo->setMaxVisibleItems(std::max(1, (geometry.height() - boxHeight) / itemHeight));
            geometry.setHeight(boxHeight);
            widget = combo;
            break;
        }
        case ControlClass::Static:
        case ControlClass::Picture:
        case ControlClass::Icon: {
            auto* label =
                new qt::StaticLabel(surface, *this, control->handle,
                                    ct.cls == ControlClass::Static ? qt::StaticLabel::Kind::Text
                                                                   : qt::StaticLabel::Kind::Image,
                                    StaticTextFlags(ct.style));
            if (ct.style & dlg::CsSunken) {
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                label->setLineWidth(1);
            } else if (ct.style & dlg::CsBorder) {
                label->setFrameStyle(QFrame::Box | QFrame::Plain);
                label->setLineWidth(1);
            }
            if (ct.cls == ControlClass::Static) {
                label->setText(text);
            } else {
                // Win32 sizes a picture or icon static to its image.
                QPixmap pixmap = ct.cls == ControlClass::Picture
                                     ? QPixmap(QStringLiteral(":/bitmap/%1").arg(ct.resource))
                                     : IconPixmap(ct.resource);
                if (!pixmap.isNull()) {
                    label->setPixmap(pixmap);
                    geometry.setSize(pixmap.size() +
                                     QSize(2 * label->frameWidth(), 2 * label->frameWidth()));
                }
                label->setProperty("osa_resource", ct.resource);
            }
            widget = label;
            break;
        }
        case ControlClass::BlackFrame: {
            auto* frame = new QFrame(surface);
            frame->setFrameStyle(QFrame::Box | QFrame::Plain);
            frame->setLineWidth(1);
            QPalette pal = frame->palette();
            pal.setColor(QPalette::WindowText, Qt::black);
            frame->setPalette(pal);
            frame->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget = frame;
            break;
        }
        case ControlClass::GroupBox: {
            auto* group = new QGroupBox(text, surface);
            group->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget = group;
            break;
        }
        case ControlClass::HScrollBar:
        case ControlClass::VScrollBar:
            widget = new qt::ScrollControl(ct.cls == ControlClass::HScrollBar ? Qt::Horizontal
                                                                              : Qt::Vertical,
                                           surface, *this, control->handle);
            break;
        }

        widget->setGeometry(geometry);
        widget->setObjectName(QStringLiteral("ctl_%1").arg(ct.id));
        widget->setProperty("osa_id", ct.id);
        widget->setProperty(ControlProperty, QVariant::fromValue<qulonglong>(control->handle));
        if (IsButton(ct.cls) || ct.cls == ControlClass::Edit ||
            ct.cls == ControlClass::DropDownList)
            widget->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        else if (ct.cls == ControlClass::HScrollBar || ct.cls == ControlClass::VScrollBar)
            widget->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
        else
            widget->setFocusPolicy(Qt::NoFocus);
        if (ct.style & dlg::CsDisabled) widget->setEnabled(false);
        if (ct.style & dlg::CsHidden) widget->setVisible(false);

        control->widget = widget;
        dialog.controls.push_back(control->handle);
        ControlRecord& stored = *control;
        controls_[control->handle] = std::move(control);
        if (IsButton(ct.cls)) ConnectButton(stored);
    }
}

void QtWindowHost::ConnectButton(const ControlRecord& control) {
    auto* button = qobject_cast<QAbstractButton*>(control.widget.data());
    if (button == nullptr) return;
    const std::uintptr_t h = control.handle;
    QObject::connect(button, &QAbstractButton::clicked, button, [this, h] {
        ControlRecord* c = FindControl(h);
        if (c == nullptr) return;
        if (c->tmpl->cls == ControlClass::AutoRadioButton) {
            // An auto radio button checks itself and unchecks the others of
            // its group: from the last control with the group flag at or
            // before it to the next control with the flag.
            auto dialog = FindDialog(c->dialog);
            if (!dialog) return;
            const auto& order = dialog->controls;
            auto self =
                static_cast<std::size_t>(std::find(order.begin(), order.end(), h) - order.begin());
            std::size_t first = self;
            while (first > 0 && (FindControl(order[first])->tmpl->style & dlg::CsGroup) == 0)
                --first;
            std::size_t last = self + 1;
            while (last < order.size() &&
                   (FindControl(order[last])->tmpl->style & dlg::CsGroup) == 0)
                ++last;
            for (std::size_t i = first; i < last; ++i) {
                ControlRecord* other = FindControl(order[i]);
                if (other->tmpl->cls != ControlClass::AutoRadioButton) continue;
                if (auto* radio = qobject_cast<QAbstractButton*>(other->widget.data()))
                    radio->setChecked(i == self);
            }
        }
        Notify(h, notify::ButtonClicked);
    });
}

void QtWindowHost::Position(DialogRecord& dialog, QWidget* owner) {
    QWidget* surface = dialog.surface.data();
    const QSize size = surface->size();
    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    QPoint at;
    if (dialog.tmpl->style & dlg::DsCentre) {
        // DS_CENTER: the middle of the work area of the owner's monitor.
        at = QPoint(area.left() + (area.width() - size.width()) / 2,
                    area.top() + (area.height() - size.height()) / 2);
    } else {
        // Otherwise the template's position, from the owner's client area.
        QPoint origin = owner != nullptr ? owner->mapToGlobal(QPoint(0, 0)) : area.topLeft();
        at = origin + QPoint(qt::MulDiv(dialog.tmpl->rect.x, dialog.units.x, 4),
                             qt::MulDiv(dialog.tmpl->rect.y, dialog.units.y, 8));
    }
    surface->setGeometry(QRect(at, size));
}

// --- Messages ------------------------------------------------------------------

std::intptr_t QtWindowHost::Send(std::uintptr_t dialog, const DialogMessage& message) {
    auto record = FindDialog(dialog); // keeps the record while the procedure runs
    if (!record || record->proc == nullptr) return 0;
    if (record->ended && message.msg != Msg::Destroy) return 0; // nothing runs after the end
    return record->proc(Window{dialog}, message);
}

void QtWindowHost::SendCommand(std::uintptr_t dialog, int id, int code) {
    DialogMessage m;
    m.msg = Msg::Command;
    m.id = id;
    m.code = code;
    (void)Send(dialog, m);
}

void QtWindowHost::Notify(std::uintptr_t control, int code) {
    ControlRecord* c = FindControl(control);
    if (c != nullptr) SendCommand(c->dialog, c->id, code);
}

void QtWindowHost::Scroll(std::uintptr_t control, int code, int position) {
    ControlRecord* c = FindControl(control);
    if (c == nullptr) return;
    DialogMessage m;
    m.msg = c->tmpl->cls == ControlClass::VScrollBar ? Msg::VScroll : Msg::HScroll;
    m.id = c->id;
    m.code = code;
    m.position = position;
    (void)Send(c->dialog, m);
}

void QtWindowHost::RunCloseChain(std::uintptr_t dialog) {
    // The default dialog procedure: SC_CLOSE becomes WM_CLOSE, and an
    // unhandled WM_CLOSE becomes IDCANCEL.
    DialogMessage m;
    m.msg = Msg::SysCommand;
    m.code = sc::Close;
    if (Send(dialog, m) != 0) return;
    m = DialogMessage{};
    m.msg = Msg::Close;
    if (Send(dialog, m) != 0) return;
    SendCommand(dialog, mb::IdCancel, notify::ButtonClicked);
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
    if (answer.text) out.text = ToQColor(*answer.text);
    return out;
}

std::optional<QColor> QtWindowHost::BrushColour(std::intptr_t brush) const {
    auto it = brushes_.find(static_cast<std::uintptr_t>(brush));
    if (brush == 0 || it == brushes_.end()) return std::nullopt;
    return ToQColor(it->second);
}

QPixmap QtWindowHost::IconPixmap(int iconId) const {
    // Icons are drawn at 32 pixels, the size Windows loads for dialogs.
    QPixmap pixmap(QStringLiteral(":/icon/%1").arg(iconId));
    if (!pixmap.isNull() && pixmap.size() != QSize(32, 32))
        pixmap = pixmap.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return pixmap;
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

bool QtWindowHost::KeyPress(DialogRecord& dialog, QWidget* surface, QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_F1:
        Help(surface, dialog.handle);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Reaches the top-level dialog when no control took it. A focused
        // push button has clicked itself already (autoDefault).
        if (!surface->isWindow()) return false;
        int id = mb::IdOk;
        auto search = [this](const DialogRecord& d) -> ControlRecord* {
            for (std::uintptr_t h : d.controls) {
                ControlRecord* c = FindControl(h);
                if (c != nullptr && c->tmpl->cls == ControlClass::DefPushButton) return c;
            }
            return nullptr;
        };
        ControlRecord* def = search(dialog);
        if (def == nullptr) {
            for (const auto& [h, page] : dialogs_)
                if (page->parent == dialog.handle && (def = search(*page)) != nullptr) break;
        }
        if (def != nullptr) {
            if (def->widget && !def->widget->isEnabled()) return true;
            id = def->id;
        }
        SendCommand(dialog.handle, id, notify::ButtonClicked);
        return true;
    }
    case Qt::Key_Escape:
        if (!surface->isWindow()) return false;
        SendCommand(dialog.handle, mb::IdCancel, notify::ButtonClicked);
        return true;
    default:
        return false;
    }
}

void QtWindowHost::Help(QWidget* surface, std::uintptr_t surfaceDialog) {
    // WM_HELP goes to the focused control's dialog and, unhandled, on to
    // the dialog's parent, carrying the control's id.
    ControlRecord* focused = ControlOfWidget(surface->window()->focusWidget());
    std::uintptr_t target = focused != nullptr ? focused->dialog : surfaceDialog;
    DialogMessage m;
    m.msg = Msg::Help;
    m.id = focused != nullptr ? focused->id : 0;
    while (target != 0) {
        if (Send(target, m) != 0) return;
        auto record = FindDialog(target);
        target = record ? record->parent : 0;
    }
}

bool QtWindowHost::SurfaceEvent(std::uintptr_t dialog, QWidget* surface, QEvent* event) {
    auto record = FindDialog(dialog);
    if (!record || record->ended) return false;
    switch (event->type()) {
    case QEvent::Paint:
        PaintSurface(*record, surface);
        return true;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        DialogMessage m;
        if (event->type() == QEvent::MouseMove)
            m.msg = Msg::MouseMove;
        else if (mouse->button() != Qt::LeftButton)
            return true;
        // A quick second click comes as a double click; the interface has
        // no such message, so it is a press like the first.
        else if (event->type() == QEvent::MouseButtonRelease)
            m.msg = Msg::LButtonUp;
        else
            m.msg = Msg::LButtonDown;
        const QPoint p = mouse->position().toPoint();
        m.point = Point{p.x(), p.y()};
        const Qt::MouseButtons buttons = mouse->buttons();
        const Qt::KeyboardModifiers mods = mouse->modifiers();
        m.keys = ((buttons & Qt::LeftButton) ? mk::LButton : 0u) |
                 ((buttons & Qt::RightButton) ? 0x2u : 0u) |
                 ((mods & Qt::ShiftModifier) ? 0x4u : 0u) |
                 ((mods & Qt::ControlModifier) ? 0x8u : 0u) |
                 ((buttons & Qt::MiddleButton) ? 0x10u : 0u);
        (void)Send(dialog, m);
        event->accept();
        return true;
    }
    case QEvent::KeyPress:
        return KeyPress(*record, surface, static_cast<QKeyEvent*>(event));
    case QEvent::Close:
        if (!surface->isWindow()) return false;
        event->ignore();
        // The close button or Alt+F4. Without a system menu, or after
        // RemoveCloseCommand, there is no close command to give.
        if (!record->closeRemoved && (record->tmpl->style & dlg::DsSysMenu) != 0)
            RunCloseChain(dialog);
        return true;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (surface->isWindow()) {
            if (event->type() == QEvent::WindowDeactivate && capture_ &&
                capture_->window() == surface)
                ReleaseCapture();
            DialogMessage m;
            m.msg = Msg::Activate;
            m.code = event->type() == QEvent::WindowActivate ? 1 : 0;
            m.minimized = surface->isMinimized();
            (void)Send(dialog, m);
        }
        return false;
    default:
        return false;
    }
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
        new qt::DialogWindow(ownerWidget, WindowFlagsFor(*t), *this, handle);
    WidgetOwner owned(dialog);
    record->surface = dialog.data();
    dialog->setProperty(DialogProperty, QVariant::fromValue<qulonglong>(handle));
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
        surface = new qt::DialogWindow(ownerWidget, WindowFlagsFor(*t), *this, handle);
        surface->setWindowTitle(Utf8(t->caption));
    }
    record->surface = surface;
    surface->setProperty(DialogProperty, QVariant::fromValue<qulonglong>(handle));
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
    DialogMessage m;
    m.msg = Msg::Destroy;
    (void)Send(dialog, m);
    // Pages and owned modeless windows go with it, after it, as on Windows.
    std::vector<std::uintptr_t> children;
    for (const auto& [h, other] : dialogs_)
        if (other->parent == dialog) children.push_back(h);
    for (std::uintptr_t child : children)
        Destroy(child);
    for (std::uintptr_t control : record->controls)
        controls_.erase(control);
    dialogs_.erase(dialog);
    if (!record->modal && record->surface) {
        // It may be in one of its own handlers right now.
        record->surface->hide();
        record->surface->deleteLater();
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
    icon.addFile(QStringLiteral(":/icon/16/%1").arg(iconId));
    icon.addFile(QStringLiteral(":/icon/%1").arg(iconId));
    icon.addFile(QStringLiteral(":/icon/48/%1").arg(iconId));
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
    if (button != nullptr && button->isCheckable()) button->setChecked(checked);
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
    QFont font = QApplication::font();
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

void QtWindowHost::InvalidateRect(Window window, std::optional<Rect> rect, bool) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr) return;
    if (rect && rect->Width() > 0 && rect->Height() > 0)
        w->update(QRect(rect->left, rect->top, rect->Width(), rect->Height()));
    else if (!rect)
        w->update();
}

void QtWindowHost::DrawIcon(Window window, int iconId, Point at) {
    auto record = FindDialog(window.value);
    if (!record || record->painter == nullptr) return; // only while it handles Paint
    const QPixmap pixmap = IconPixmap(iconId);
    if (!pixmap.isNull()) record->painter->drawPixmap(QPoint(at.x, at.y), pixmap);
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

// --- Focus, input, cursor ------------------------------------------------------

void QtWindowHost::SetForeground(Window window) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr) return;
    w->window()->raise();
    w->window()->activateWindow();
}

void QtWindowHost::SetCapture(Window window) {
    QWidget* w = WidgetOf(window);
    if (w == nullptr || !w->isVisible()) return;
    if (capture_ && capture_ != w) capture_->releaseMouse();
    capture_ = w;
    w->grabMouse();
}

void QtWindowHost::ReleaseCapture() {
    if (capture_) capture_->releaseMouse();
    capture_ = nullptr;
}

void QtWindowHost::SetWaitCursor(bool wait) {
    if (wait && !inputFilter_->waitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        inputFilter_->waitCursor = true;
    } else if (!wait && inputFilter_->waitCursor) {
        QApplication::restoreOverrideCursor();
        inputFilter_->waitCursor = false;
    }
}

void QtWindowHost::DiscardPendingInput() {
    // Delivers everything queued so far (paints, timers and window-system
    // events included) once, while the filter drops the input among it.
    inputFilter_->discarding = true;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    inputFilter_->discarding = false;
}

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

void QtWindowHost::RequestClose() {
    // The innermost window first.
    QPointer<QWidget> top = QApplication::activeModalWidget();
    std::uintptr_t dialog = 0;
    if (top) {
        QVariant value = top->property(DialogProperty);
        if (value.isValid()) dialog = static_cast<std::uintptr_t>(value.toULongLong());
    } else {
        for (auto it = modalStack_.rbegin(); it != modalStack_.rend() && dialog == 0; ++it)
            if (auto record = FindDialog(*it); record && !record->ended) dialog = *it;
        if (dialog == 0) return;
    }

    bool closed = false;
    if (dialog != 0) {
        // A window without a close command still takes WM_CLOSE, as on
        // Windows when the session ends.
        auto record = FindDialog(dialog);
        if (record && record->closeRemoved) {
            DialogMessage m;
            m.msg = Msg::Close;
            if (Send(dialog, m) == 0) SendCommand(dialog, mb::IdCancel, notify::ButtonClicked);
        } else {
            RunCloseChain(dialog);
        }
        record = FindDialog(dialog);
        closed = !record || record->ended;
    } else if (auto* box = qobject_cast<QMessageBox*>(top.data())) {
        if (QAbstractButton* escape = box->escapeButton())
            escape->click();
        else
            box->reject();
        closed = !box->isVisible();
    } else {
        closed = top->close();
    }
    // The window's loop ends once this returns; then the next one in.
    if (closed) QTimer::singleShot(0, inputFilter_.get(), [this] { RequestClose(); });
}

} // namespace osa
