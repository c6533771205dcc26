// plain-clock: the yardstick of scripts/measure-cpu's running figures, a
// clock as a Qt 6 Widgets program plainly makes one: a window of 32 labels
// (the program's time labels are 32) whose texts a timer sets every second,
// and nothing else.

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Plain clock"));
    auto* grid = new QGridLayout(&window);
    QList<QLabel*> labels;
    for (int k = 0; k < 32; ++k) {
        labels.append(new QLabel(QStringLiteral("00:00:00"), &window));
        grid->addWidget(labels.last(), k / 4, k % 4);
    }
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const QTime now = QTime::currentTime();
        for (int k = 0; k < labels.size(); ++k) labels[k]->setText(now.addSecs(k * 3600).toString(QStringLiteral("HH:mm:ss")));
    });
    timer.start(1000);
    window.show();
    return app.exec();
}
