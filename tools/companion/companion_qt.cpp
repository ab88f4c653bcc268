// mtc_dman for Linux: the animated instructions in a Qt window. The
// controller steers it with two signals (see docs/DECISIONS.md):
//   SIGUSR1  show the window normally, raise and activate it
//   SIGTERM  close the window as a close request from the window manager
//            would; the program then ends with 0
// The handlers only write the signal's number into a pipe (write(2) is
// async-signal-safe); a QSocketNotifier on its other end acts on the
// user-interface thread. The handlers are in place before the window
// exists, so an early signal waits in the pipe until the loop runs.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/companion/companion_steps.h"

namespace {

using namespace osa::companion;

int g_signalPipe[2] = {-1, -1};

extern "C" void OnSignal(int signal) {
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    (void)!::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

bool WatchSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "mtc_dman: pipe2: %s\n", std::strerror(errno));
        return false;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGUSR1, SIGTERM}) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            std::fprintf(stderr, "mtc_dman: sigaction: %s\n", std::strerror(errno));
            return false;
        }
    }
    return true;
}

QColor ToQt(Colour c) {
    return QColor(c.r, c.g, c.b);
}

// The drawing or picture of the current step, scaled into the widget.
class SceneView final : public QWidget {
  public:
    SceneView() {
        setMinimumSize(SceneWidth * 3 / 2, SceneHeight * 3 / 2);
        picture_.load(QStringLiteral(":/bitmap/1016"));
    }

    void Show(int step, int frame) {
        step_ = step;
        frame_ = frame;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        const double scale = std::min(width() / double(SceneWidth), height() / double(SceneHeight));
        painter.translate((width() - SceneWidth * scale) / 2, (height() - SceneHeight * scale) / 2);
        painter.scale(scale, scale);

        const Step& step = Steps[step_];
        // The picture counts one pixel per scene unit, centred.
        if (step.bitmap != 0 && !picture_.isNull()) {
            const QSize size = picture_.size().boundedTo(QSize(SceneWidth, SceneHeight));
            painter.drawPixmap(
                QRect(QPoint((SceneWidth - size.width()) / 2, (SceneHeight - size.height()) / 2),
                      size),
                picture_);
        }
        for (const Shape& shape : step.shapes)
            Draw(painter, shape, shape.moves ? OffsetX(step, frame_) : 0,
                 shape.moves ? OffsetY(step, frame_) : 0);
    }

  private:
    static void Draw(QPainter& painter, const Shape& s, int dx, int dy) {
        const QColor colour = ToQt(s.colour);
        const QPointF a(s.x1 + dx, s.y1 + dy);
        const QPointF b(s.x2 + dx, s.y2 + dy);
        switch (s.kind) {
        case Kind::Line:
            painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(a, b);
            break;
        case Kind::Arrow: {
            painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(a, b);
            const double angle = std::atan2(b.y() - a.y(), b.x() - a.x());
            for (double side : {-0.5, 0.5})
                painter.drawLine(
                    b, b - QPointF(8 * std::cos(angle + side), 8 * std::sin(angle + side)));
            break;
        }
        case Kind::FilledBox:
            painter.setPen(QPen(ToQt(Ink), 1.5));
            painter.setBrush(colour);
            painter.drawRect(QRectF(a, b));
            break;
        case Kind::FilledCircle:
            painter.setPen(QPen(ToQt(Ink), 1.5));
            painter.setBrush(colour);
            painter.drawEllipse(a, s.x2, s.x2);
            break;
        }
    }

    QPixmap picture_;
    int step_ = 0;
    int frame_ = 0;
};

class InstructionsWindow final : public QWidget {
  public:
    InstructionsWindow() {
        setWindowTitle(QString::fromUtf8(WindowTitle));
        QIcon icon;
        for (const char* name : {":/icon/16/1500", ":/icon/1500", ":/icon/48/1500"})
            icon.addFile(QString::fromLatin1(name));
        setWindowIcon(icon);

        auto* layout = new QVBoxLayout(this);
        title_ = new QLabel;
        QFont bold = title_->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.2);
        title_->setFont(bold);
        scene_ = new SceneView;
        caption_ = new QLabel;
        caption_->setWordWrap(true);
        caption_->setMinimumHeight(caption_->fontMetrics().lineSpacing() * 3);
        caption_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        back_ = new QPushButton(QStringLiteral("< Back"));
        next_ = new QPushButton(QStringLiteral("Next >"));
        auto* close = new QPushButton(QStringLiteral("Close"));
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(back_);
        buttons->addWidget(next_);
        buttons->addStretch();
        buttons->addWidget(close);
        layout->addWidget(title_);
        layout->addWidget(scene_, 1);
        layout->addWidget(caption_);
        layout->addLayout(buttons);

        QObject::connect(back_, &QPushButton::clicked, this, [this] { GoTo(step_ - 1); });
        QObject::connect(next_, &QPushButton::clicked, this, [this] { GoTo(step_ + 1); });
        QObject::connect(close, &QPushButton::clicked, this, &QWidget::close);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            ++frame_;
            scene_->Show(step_, frame_);
        });
        timer_.start(FrameMilliseconds);
        GoTo(0);
    }

  private:
    void GoTo(int step) {
        if (step < 0 || step >= StepCount) return;
        step_ = step;
        frame_ = 0;
        title_->setText(QStringLiteral("Step %1 of %2: %3")
                            .arg(step + 1)
                            .arg(StepCount)
                            .arg(QString::fromUtf8(Steps[step].title)));
        caption_->setText(QString::fromUtf8(Steps[step].caption));
        back_->setEnabled(step > 0);
        next_->setEnabled(step + 1 < StepCount);
        scene_->Show(step_, frame_);
    }

    QLabel* title_ = nullptr;
    SceneView* scene_ = nullptr;
    QLabel* caption_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
    QTimer timer_;
    int step_ = 0;
    int frame_ = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    // First of all, so that a signal from the controller never meets the
    // default action (which would end the program).
    const bool watching = WatchSignals();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mtc_dman"));

    InstructionsWindow window;
    window.show();

    if (watching) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
            bool raise = false;
            bool close = false;
            char received[16];
            ssize_t n;
            while ((n = ::read(g_signalPipe[0], received, sizeof received)) > 0) {
                for (ssize_t i = 0; i < n; ++i) {
                    raise = raise || received[i] == SIGUSR1;
                    close = close || received[i] == SIGTERM;
                }
            }
            if (close) {
                // A close request wins over a raise that came with it: a
                // window shown again in the same turn of the loop would
                // outlive its close. Once the window agreed to close, the
                // program ends whatever else is still pending.
                if (window.close()) QApplication::quit();
            } else if (raise) {
                window.showNormal();
                window.raise();
                window.activateWindow();
            }
        });
    }
    // Closing the window (its close button, "Close", or SIGTERM) ends the loop
    // with 0.
    return QApplication::exec();
}
