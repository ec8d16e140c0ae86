#include "platform/GuiBootstrap.h"

#include "platform/Messages.h"

#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <clocale>
#include <csignal>
#include <string>

struct CGuiBootstrap::Impl
{
    std::unique_ptr<QApplication> application;
};

CGuiBootstrap::CGuiBootstrap(int& argc, char** argv) : d(std::make_unique<Impl>())
{
    if (!QCoreApplication::instance())
        d->application = std::make_unique<QApplication>(argc, argv);
    // QApplication sets the locale from the environment; numbers go back to the C rules.
    UseCNumericLocale();
    // A write past the user's file-size limit (ulimit -f) would end the process with SIGXFSZ,
    // leaving a half-written file; ignored, the write fails with EFBIG and the save reports it.
    std::signal(SIGXFSZ, SIG_IGN);
}

CGuiBootstrap::~CGuiBootstrap()
{
    // Objects that own windows go while the Qt application still exists.
    if (d->application)
        RunShutdownHandlers();
}

bool CGuiBootstrap::Exists()
{
    return QCoreApplication::instance() != nullptr;
}

const char* CGuiBootstrap::PlatformName()
{
    static std::string name;
    name = QGuiApplication::platformName().toStdString();
    return name.c_str();
}

void UseCNumericLocale()
{
    std::setlocale(LC_NUMERIC, "C");
}

bool SetProgramIcon(const std::string& imagePath)
{
    QPixmap picture;
    if (!QCoreApplication::instance() || !picture.load(QString::fromLocal8Bit(imagePath.c_str())))
        return false;
    QApplication::setWindowIcon(QIcon(picture));
    return true;
}
