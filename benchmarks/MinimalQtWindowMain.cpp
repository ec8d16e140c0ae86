// The peer of both programs' start-up and memory benchmarks: the smallest Qt Widgets program that
// opens one window, reporting the moment it shows as they do ("milestone main window shown"). It
// exists only to measure against and is not part of either program, which is why it may use Qt
// directly.
#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Peer");
    window.resize(320, 200);
    window.show();
    std::printf("milestone main window shown\n");
    std::fflush(stdout);
    return application.exec();
}
