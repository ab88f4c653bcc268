// The Qt window host, building: one widget per control of a template, at
// the template's rectangle in the dialog font's units, and the dialog's
// place on the screen.
#include "platform/qt/qt_window_records.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

namespace osa {

using dlg::ControlClass;
using qt::Utf8;

namespace qt {

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

} // namespace qt

namespace {

bool IsButton(ControlClass c) {
    return c == ControlClass::PushButton || c == ControlClass::DefPushButton ||
           c == ControlClass::AutoCheckBox || c == ControlClass::AutoRadioButton;
}

// Controls without a text of their own, named by the label in front of them.
bool NamedByLabel(ControlClass c) {
    return c == ControlClass::Edit || c == ControlClass::DropDownList ||
           c == ControlClass::HScrollBar || c == ControlClass::VScrollBar;
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

} // namespace

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
            auto* button = new qt::PushControl(text, surface);
            // Drawn as the default button; Enter itself is the dialog's.
            button->setAutoDefault(false);
            button->setDefault(ct.cls == ControlClass::DefPushButton);
            widget = button;
            break;
        }
        case ControlClass::AutoCheckBox:
            if (ct.style & dlg::CsPushLike) {
                auto* button = new qt::PushControl(text, surface);
                button->setCheckable(true);
                button->setAutoDefault(false); // Enter goes to the dialog, not to it
                widget = button;
            } else {
                widget = new qt::CheckControl(text, surface);
            }
            break;
        case ControlClass::AutoRadioButton: {
            auto* radio = new qt::RadioControl(text, surface);
            // The group is the template's and the dialog manager keeps it;
            // programmatic checks must not uncheck the others, as
            // BM_SETCHECK does not.
            radio->setAutoExclusive(false);
            widget = radio;
            break;
        }
        case ControlClass::Edit: {
            auto* edit = new qt::EditControl(surface);
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
                const qreal ratio = surface->devicePixelRatioF();
                QPixmap pixmap = ct.cls == ControlClass::Picture ? BitmapPixmap(ct.resource, ratio)
                                                                 : IconPixmap(ct.resource, ratio);
                if (!pixmap.isNull()) {
                    label->setPixmap(pixmap);
                    geometry.setSize(pixmap.deviceIndependentSize().toSize() +
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

        if (IsButton(ct.cls)) widget->setStyle(qt::ControlStyle::Instance());
        widget->setGeometry(geometry);
        widget->setObjectName(QStringLiteral("ctl_%1").arg(ct.id));
        widget->setProperty("osa_id", ct.id);
        widget->setProperty(qt::ControlProperty, QVariant::fromValue<qulonglong>(control->handle));
        if (IsButton(ct.cls) || ct.cls == ControlClass::Edit ||
            ct.cls == ControlClass::DropDownList)
            widget->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        else if (ct.cls == ControlClass::HScrollBar || ct.cls == ControlClass::VScrollBar)
            widget->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
        else
            widget->setFocusPolicy(Qt::NoFocus);
        if (ct.style & dlg::CsDisabled) widget->setEnabled(false);
        if (ct.style & dlg::CsHidden) widget->setVisible(false);
        // Names for assistive technology: a control without a text of its
        // own is named by the label in front of it; a picture by what it shows.
        if (NamedByLabel(ct.cls)) {
            if (const dlg::ControlTemplate* label = dlg::LabelOf(*dialog.tmpl, ct))
                widget->setAccessibleName(Utf8(dlg::LabelName(label->text)));
        } else if (ct.cls == ControlClass::Picture || ct.cls == ControlClass::Icon) {
            widget->setAccessibleName(text);
        }

        control->widget = widget;
        dialog.controls.push_back(control->handle);
        ControlRecord& stored = *control;
        controls_[control->handle] = std::move(control);
        if (auto* button = qobject_cast<QAbstractButton*>(stored.widget.data());
            button != nullptr && IsButton(ct.cls)) {
            const std::uintptr_t h = stored.handle;
            QObject::connect(button, &QAbstractButton::clicked, button, [this, h] { Clicked(h); });
            // A state set by anything but the program (the accessibility
            // interface's toggle, for one) is undone and taken as the click
            // it stands for, so that the dialog manager decides the state
            // (a radio group stays exclusive) and the procedure hears of it.
            if (button->isCheckable())
                QObject::connect(button, &QAbstractButton::toggled, button, [this, h, button] {
                    if (settingCheck_) return;
                    settingCheck_ = true;
                    button->setChecked(!button->isChecked());
                    settingCheck_ = false;
                    Clicked(h);
                });
        }
    }

    // The label of each control named by one is also its buddy: on Linux
    // assistive technology reads a list box by its "labelled by" relation
    // (its name is the chosen item), which Qt takes from the buddy.
    for (std::uintptr_t h : dialog.controls) {
        const ControlRecord* c = FindControl(h);
        if (c == nullptr || c->widget == nullptr || !NamedByLabel(c->tmpl->cls)) continue;
        const dlg::ControlTemplate* label = dlg::LabelOf(*dialog.tmpl, *c->tmpl);
        if (label == nullptr) continue;
        for (std::uintptr_t other : dialog.controls)
            if (const ControlRecord* l = FindControl(other); l != nullptr && l->tmpl == label)
                if (auto* text = qobject_cast<QLabel*>(l->widget.data())) text->setBuddy(c->widget);
    }
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

} // namespace osa
