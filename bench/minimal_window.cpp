// The floor of the start-up benchmark: the smallest Qt Widgets window of the
// program's size that shows a label, an edit box and a button.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(800, 623);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Login")));
    layout->addWidget(new QLineEdit);
    layout->addWidget(new QPushButton(QStringLiteral("LOGIN")));
    window.show();
    return QApplication::exec();
}
