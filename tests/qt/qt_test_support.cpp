#include "tests/qt/qt_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QVariant>

#include <string_view>
#include <utility>

namespace osa::test {

QtRun::QtRun(std::string_view ini) {
    ResetAppState();
    InstallProgramFolder(memory.files, "/opt/osactl");
    memory.files.AddFile("/opt/osactl/OSACTL.INI", std::string(ini));
    Services services = memory.With(host);
    services.hooks = &hooks;
    previous_ = InstallServices(services);
}

QtRun::~QtRun() {
    InstallServices(previous_);
}

void WhenModal(std::function<void(QWidget*)> action, std::function<bool(QWidget*)> accept) {
    QTimer::singleShot(5, qApp, [action = std::move(action), accept = std::move(accept)]() mutable {
        QWidget* w = QApplication::activeModalWidget();
        if (w == nullptr || !w->isVisible() || (accept && !accept(w))) {
            WhenModal(std::move(action), std::move(accept));
            return;
        }
        action(w);
    });
}

std::function<bool(QWidget*)> IsDialog(int templateId) {
    return [templateId](QWidget* w) {
        return w->objectName() == QStringLiteral("dlg_%1").arg(templateId);
    };
}

void ProcessUntil(const std::function<bool()>& done) {
    QTimer tick; // wakes the wait below now and then, for conditions that send no event
    tick.start(10);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

QWidget* Control(QWidget* root, int id) {
    return root->findChild<QWidget*>(QStringLiteral("ctl_%1").arg(id));
}

void Click(QWidget* root, int id) {
    auto* button = qobject_cast<QAbstractButton*>(Control(root, id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << id;
    button->click();
}

QWidget* Artwork(QWidget* root, int resource) {
    for (QWidget* w : root->findChildren<QWidget*>())
        if (w->property("osa_resource").toInt() == resource) return w;
    return nullptr;
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace osa::test
