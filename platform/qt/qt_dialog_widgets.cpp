#include "platform/qt/qt_dialog_widgets.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTimer>

#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/qt/qt_input_hooks.h"

namespace osa::qt {

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1; // as Win32 reports a division by zero
    long long product = static_cast<long long>(a) * b;
    long long half = std::llabs(static_cast<long long>(c)) / 2;
    bool negative = (product < 0) != (c < 0);
    long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

namespace {
const QString WindowsDialogFace = QStringLiteral("Liberation Sans");
} // namespace

QFont GuiFont() {
    QFont font(WindowsDialogFace);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

QFont DialogFont(const dlg::DialogTemplate& dialog) {
    QFont font;
    const std::string_view name = dialog.font;
    if (name == "MS Sans Serif" || name == "MS Shell Dlg" || name == "MS Shell Dlg 2") {
        font.setFamily(WindowsDialogFace);
    } else {
        font.setFamily(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(dialog.pointSize > 0 ? dialog.pointSize : 8);
    return font;
}

BaseUnits DialogBaseUnits(const QFont& font) {
    QFontMetrics metrics(font);
    int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // GdiGetCharDimensions: (cx / 26 + 1) / 2, the rounded average of 52.
    // y: the height a line of text takes as Qt lays it out (the rounded-up
    // fractional height; the rounded metrics can be a pixel short of it).
    return BaseUnits{(width / 26 + 1) / 2,
                     static_cast<int>(std::ceil(QFontMetricsF(font).height()))};
}

QRect MapDialogUnits(const BaseUnits& units, const dlg::DluRect& rect) {
    return QRect(MulDiv(rect.x, units.x, 4), MulDiv(rect.y, units.y, 8),
                 MulDiv(rect.cx, units.x, 4), MulDiv(rect.cy, units.y, 8));
}

// --- ControlStyle --------------------------------------------------------------

int ControlStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return 13;
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return 4;
    case PM_ButtonMargin:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

ControlStyle* ControlStyle::Instance() {
    static QPointer<ControlStyle> instance;
    if (instance.isNull()) {
        instance = new ControlStyle;
        instance->setParent(QCoreApplication::instance());
    }
    return instance.data();
}

QRect ControlStyle::subElementRect(SubElement element, const QStyleOption* option,
                                   const QWidget* widget) const {
    const QRect rect = QProxyStyle::subElementRect(element, option, widget);
    if (element == SE_PushButtonContents && option != nullptr)
        return QRect(option->rect.left(), rect.top(), option->rect.width(), rect.height());
    return rect;
}

// --- DialogWindow --------------------------------------------------------------

DialogWindow::DialogWindow(QWidget* owner, Qt::WindowFlags flags, SurfaceSink& sink,
                           std::uintptr_t handle)
    : QDialog(owner, flags), sink_(sink), handle_(handle) {
    setMouseTracking(true);
    setSizeGripEnabled(false);
}

void DialogWindow::Finish() {
    finishing_ = true;
    QDialog::done(0);
}

void DialogWindow::done(int result) {
    // accept(), reject() and Qt's own key handling end here; only the host
    // ends a dialog, when its procedure calls EndDialog.
    if (finishing_) QDialog::done(result);
}

bool DialogWindow::event(QEvent* event) {
    if (event->type() == QEvent::Close && finishing_) {
        event->accept();
        return true;
    }
    if (sink_.SurfaceEvent(handle_, this, event)) return true;
    return QDialog::event(event);
}

// --- PageWidget ----------------------------------------------------------------

PageWidget::PageWidget(QWidget* parent, SurfaceSink& sink, std::uintptr_t handle)
    : QWidget(parent), sink_(sink), handle_(handle) {
    setMouseTracking(true);
}

void PageWidget::PressHotSpot(const QRect& spot) {
    const QPointF at = QRectF(spot).center();
    const QPointF global = mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(this, &release);
}

bool PageWidget::event(QEvent* event) {
    if (sink_.SurfaceEvent(handle_, this, event)) return true;
    return QWidget::event(event);
}

// --- StaticLabel ---------------------------------------------------------------

StaticLabel::StaticLabel(QWidget* parent, SurfaceSink& sink, std::uintptr_t handle, Kind kind,
                         int textFlags)
    : QLabel(parent), sink_(sink), handle_(handle), kind_(kind), textFlags_(textFlags) {
    setTextFormat(Qt::PlainText);
    // Statics let the mouse through to their dialog, as Win32 statics
    // without SS_NOTIFY do (HTTRANSPARENT).
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void StaticLabel::paintEvent(QPaintEvent*) {
    if (kind_ == Kind::Image && pixmap().isNull()) return;
    StaticPaint colours = sink_.StaticColours(handle_);
    QPainter painter(this);
    if (!colours.hollow)
        painter.fillRect(rect(), colours.background.value_or(palette().color(QPalette::Window)));
    drawFrame(&painter);
    const QRect area = contentsRect();
    if (!pixmap().isNull()) {
        painter.drawPixmap(area.topLeft(), pixmap());
        return;
    }
    QPalette pal = palette();
    if (colours.text) {
        // A disabled static keeps the grey text, as Win32 draws it.
        pal.setColor(QPalette::Active, QPalette::WindowText, *colours.text);
        pal.setColor(QPalette::Inactive, QPalette::WindowText, *colours.text);
    }
    style()->drawItemText(&painter, area, textFlags_, pal, isEnabled(), text(),
                          QPalette::WindowText);
}

// --- Buttons -------------------------------------------------------------------

namespace {

bool IsArrow(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

} // namespace

void PushControl::keyPressEvent(QKeyEvent* event) {
    // Enter and the arrows are the dialog's: the dialog manager decides.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || IsArrow(event)) {
        event->ignore();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void CheckControl::keyPressEvent(QKeyEvent* event) {
    if (IsArrow(event)) {
        event->ignore(); // moves through the group (the dialog manager)
        return;
    }
    QCheckBox::keyPressEvent(event);
}

void RadioControl::keyPressEvent(QKeyEvent* event) {
    if (IsArrow(event)) {
        event->ignore(); // moves through the group (the dialog manager)
        return;
    }
    QRadioButton::keyPressEvent(event);
}

// --- ComboControl --------------------------------------------------------------

ComboControl::ComboControl(QWidget* parent, SurfaceSink& sink, std::uintptr_t handle)
    : QComboBox(parent), sink_(sink), handle_(handle) {
    connect(this, &QComboBox::activated, this, [this](int) {
        if (popupOpen_ || closePending_) {
            picked_ = true;
            return;
        }
        sink_.ListChoiceOnClosedBox(handle_);
    });
    // The pop-up's view keeps a selection of its own. While the pop-up is
    // closed, Qt's own typing search moves it together with the current
    // item; the accessibility interface moves it alone. So a selection that
    // still differs from the current item once the event is handled came
    // from outside.
    connect(view()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (selectionCheckPending_) return;
        selectionCheckPending_ = true;
        QTimer::singleShot(0, this, [this] { CheckSelectionFromOutside(); });
    });
}

void ComboControl::CheckSelectionFromOutside() {
    selectionCheckPending_ = false;
    const QModelIndexList selected = view()->selectionModel()->selectedIndexes();
    if (popupOpen_ || closePending_ || selected.isEmpty()) return;
    const int row = selected.first().row();
    if (row == currentIndex() || row < 0 || row >= count()) return;
    setCurrentIndex(row);
    sink_.ListChoiceOnClosedBox(handle_);
}

void ComboControl::showPopup() {
    sink_.ListDroppedDown(handle_);
    picked_ = false;
    popupOpen_ = true;
    QComboBox::showPopup();
    // The pop-up's container closes in several ways (a choice, Esc, a click
    // elsewhere); its Hide event sees them all.
    if (!watchingPopup_ && view() != nullptr && view()->window() != window()) {
        view()->window()->installEventFilter(this);
        watchingPopup_ = true;
    }
    if (!view()->window()->isVisible()) PopupClosed(); // it could not be shown
}

bool ComboControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && popupOpen_ && watched == view()->window()) PopupClosed();
    return QComboBox::eventFilter(watched, event);
}

void ComboControl::PopupClosed() {
    popupOpen_ = false;
    closePending_ = true;
    QTimer::singleShot(0, this, [this] {
        const bool picked = picked_;
        picked_ = false;
        closePending_ = false;
        sink_.ListClosed(handle_, picked);
    });
}

// --- ScrollControl -------------------------------------------------------------

ScrollControl::ScrollControl(Qt::Orientation orientation, QWidget* parent, SurfaceSink& sink,
                             std::uintptr_t handle)
    : QScrollBar(orientation, parent), sink_(sink), handle_(handle) {
    // A control's range starts empty, as a Win32 scroll bar control's does.
    setRange(0, 0);
    setSingleStep(1);
    setPageStep(0);
    // The thumb follows the mouse while dragged without changing the value.
    setTracking(false);
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnAction(action); });
    connect(this, &QAbstractSlider::sliderPressed, this, [this] {
        if (!setting_) sink_.ThumbPressed(handle_, value());
    });
    connect(this, &QAbstractSlider::sliderMoved, this, [this](int position) {
        if (!setting_) sink_.ThumbTracked(handle_, position);
    });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        if (!setting_) sink_.ThumbReleased(handle_, sliderPosition());
    });
    // Steps, keys and the thumb never change the value (see OnAction), so
    // a change not made by SetPosition came from outside.
    connect(this, &QAbstractSlider::valueChanged, this, [this](int value) {
        if (!setting_ && !isSliderDown()) ValueSetFromOutside(value);
    });
}

void ScrollControl::ValueSetFromOutside(int value) {
    setting_ = true;
    setValue(position_);
    setting_ = false;
    sink_.ThumbPressed(handle_, value);
    sink_.ThumbReleased(handle_, value);
}

void ScrollControl::SetRange(int min, int max) {
    setting_ = true;
    setRange(min, max < min ? min : max);
    position_ = value();
    setting_ = false;
}

void ScrollControl::SetPosition(int pos) {
    setting_ = true;
    setValue(pos);
    position_ = value();
    setting_ = false;
}

void ScrollControl::OnAction(int action) {
    if (setting_) return;
    // QAbstractSlider has moved the slider position already and applies it
    // as the value when this returns; put it back first, so only the
    // procedure's SetScrollPos can move it.
    const int current = value();
    setting_ = true;
    setSliderPosition(current);
    setting_ = false;
    int code = -1;
    switch (action) {
    case SliderSingleStepSub:
        code = sb::LineLeft;
        break;
    case SliderSingleStepAdd:
        code = sb::LineRight;
        break;
    case SliderPageStepSub:
        code = sb::PageLeft;
        break;
    case SliderPageStepAdd:
        code = sb::PageRight;
        break;
    case SliderToMinimum:
        code = sb::Left;
        break;
    case SliderToMaximum:
        code = sb::Right;
        break;
    default:
        return; // SliderMove: the wheel, or the thumb let go (reported already)
    }
    sink_.ScrollStep(handle_, code);
}

bool ScrollControl::event(QEvent* event) {
    if (!isSliderDown() && event->type() == QEvent::MouseButtonRelease)
        sink_.ScrollReleased(handle_); // SB_ENDSCROLL, when a step was made
    return QScrollBar::event(event);
}

void ScrollControl::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (!hasFocus()) return;
    QPainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(1, 1, -1, -1);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void ScrollControl::keyPressEvent(QKeyEvent* event) {
    // The Win32 bar's keys, not QAbstractSlider's (which would turn Up
    // and Page Up the other way).
    if (event->modifiers() == Qt::NoModifier &&
        sink_.ScrollKey(handle_, QtInputHooks::VirtualKey(event->key()))) {
        event->accept();
        return;
    }
    event->ignore();
}

namespace {

// Qt's own interface of a button says "check box" for a radio button that is
// not auto-exclusive; this one says "radio button" and otherwise acts as
// Qt's does for a checkable button (its one action toggles it, which the
// host takes as the click it stands for).
class RadioAccessible final : public QAccessibleWidget {
  public:
    explicit RadioAccessible(QRadioButton* radio)
        : QAccessibleWidget(radio, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return QString(Button()->text()).remove(QLatin1Char('&'));
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Button()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name == toggleAction()) {
            if (widget()->isEnabled()) Button()->toggle();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

  private:
    QRadioButton* Button() const { return static_cast<QRadioButton*>(widget()); }
};

// Every radio button of the program is one of the host's; its interface is
// made while the button is being built (Qt announces its first state), when
// it is not yet a RadioControl, so it is told by its Qt class.
// One drawn button of a page: a button with the name and state the program
// gave it, whose press is the mouse's.
class HotSpotAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    HotSpotAccessible(PageWidget* page, int index) : page_(page), index_(index) {}

    bool isValid() const override { return Spot().has_value(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return page_ ? page_->window()->windowHandle() : nullptr; }
    QVector<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation) const override {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(page_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        const auto spot = Spot();
        return (spot && t == QAccessible::Name) ? spot->name : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const auto spot = Spot();
        if (!spot || !page_) return {};
        return QRect(page_->mapToGlobal(spot->rect.topLeft()), spot->rect.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State s;
        const auto spot = Spot();
        if (!spot) {
            s.invalid = true;
            return s;
        }
        s.disabled = !spot->enabled;
        s.pressed = spot->pressed;
        s.invisible = page_ == nullptr || !page_->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        const auto spot = Spot();
        if (name == pressAction() && spot && spot->enabled && page_)
            page_->PressHotSpot(spot->rect);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    std::optional<HotSpotState> Spot() const {
        if (!page_) return std::nullopt;
        const std::vector<HotSpotState> spots = page_->HotSpots();
        if (index_ < 0 || index_ >= static_cast<int>(spots.size())) return std::nullopt;
        return spots[static_cast<std::size_t>(index_)];
    }

    QPointer<PageWidget> page_;
    int index_;
};

// A page: its controls, then its drawn buttons.
class PageAccessible final : public QAccessibleWidget {
  public:
    explicit PageAccessible(PageWidget* page) : QAccessibleWidget(page, QAccessible::Pane) {}
    ~PageAccessible() override {
        for (QAccessible::Id id : spots_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(Page()->HotSpots().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int controls = QAccessibleWidget::childCount();
        if (index < controls) return QAccessibleWidget::child(index);
        const int k = index - controls;
        if (k >= static_cast<int>(Page()->HotSpots().size())) return nullptr;
        while (static_cast<int>(spots_.size()) <= k)
            spots_.push_back(QAccessible::registerAccessibleInterface(
                new HotSpotAccessible(Page(), static_cast<int>(spots_.size()))));
        return QAccessible::accessibleInterface(spots_[static_cast<std::size_t>(k)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t k = 0; k < spots_.size(); ++k)
            if (QAccessible::accessibleInterface(spots_[k]) == child)
                return QAccessibleWidget::childCount() + static_cast<int>(k);
        return QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = Page()->mapFromGlobal(QPoint(x, y));
        const std::vector<HotSpotState> spots = Page()->HotSpots();
        for (std::size_t k = 0; k < spots.size(); ++k)
            if (spots[k].rect.contains(at))
                return child(QAccessibleWidget::childCount() + static_cast<int>(k));
        return QAccessibleWidget::childAt(x, y);
    }

  private:
    PageWidget* Page() const { return static_cast<PageWidget*>(widget()); }
    mutable std::vector<QAccessible::Id> spots_;
};

QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
    if (className == QLatin1String("QRadioButton"))
        if (auto* radio = qobject_cast<QRadioButton*>(object)) return new RadioAccessible(radio);
    if (auto* page = dynamic_cast<PageWidget*>(object)) return new PageAccessible(page);
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleFor);
        return true;
    }();
    (void)installed;
}

} // namespace osa::qt
