#include "app/MainWindow.h"
#include "app/QtInteraction.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavra"));
    // The whole command line is one path: arguments are joined with one blank.
    const QStringList arguments = QApplication::arguments().mid(1);
    kavra::QtInteraction interaction;
    kavra::MainWindow window(interaction);
    window.Form_Load(arguments.join(QLatin1Char(' ')));
    window.show();
    return QApplication::exec();
}
