// sixty-labels: the yardstick of scripts/measure-cpu's start-up figures, the
// least a Qt 6 Widgets program does to show a window: one window, titled
// "Sixty labels", of 60 labels in a grid, and nothing else.

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Sixty labels"));
    auto* grid = new QGridLayout(&window);
    for (int k = 0; k < 60; ++k)
        grid->addWidget(new QLabel(QStringLiteral("Label %1").arg(k), &window), k / 6, k % 6);
    window.show();
    return app.exec();
}
