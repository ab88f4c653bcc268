// The baseline of the start-up benchmark on Linux: the least a Qt Widgets
// dialog program does (a dialog with a text and a button), built like the
// controller.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare Dialog"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("A bare dialog."), &dialog));
    auto* close = new QPushButton(QStringLiteral("Close"), &dialog);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close);
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
