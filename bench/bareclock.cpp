// The least a Qt 6 desktop clock does: a label set once a second and a tray
// icon. scripts/bench measures Clepsa against it, side by side.

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTime>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel label;
    label.setWindowTitle(QStringLiteral("Horloge nue"));
    label.setMinimumSize(160, 60);
    label.setAlignment(Qt::AlignCenter);

    QPixmap dot(22, 22);
    dot.fill(Qt::darkBlue);
    QSystemTrayIcon tray{QIcon(dot)};
    tray.show();

    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &label,
                     [&label] { label.setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))); });
    tick.start(1000);
    label.setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    label.show();
    return app.exec();
}
