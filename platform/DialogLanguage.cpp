#include "platform/DialogLanguage_p.h"

#include "platform/UserLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace PlatformDetail
{
namespace
{
struct CCatalogue
{
    std::unique_ptr<QTranslator> translator;
    std::string language;
};

CCatalogue& Catalogue()
{
    static CCatalogue catalogue;
    return catalogue;
}

bool IsJapanese() { return GetUserLanguage() == "Japanese"; }
}

void FollowUserLanguageInStandardDialogs()
{
    CCatalogue& catalogue = Catalogue();
    const std::string language = GetUserLanguage();
    if (language == catalogue.language || !QCoreApplication::instance())
        return;
    if (catalogue.translator)
        QCoreApplication::removeTranslator(catalogue.translator.get());
    catalogue.translator.reset();
    catalogue.language = language;
    if (!IsJapanese())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get()))
        catalogue.translator = std::move(translator);
}

std::string DefaultFileDialogTitle(bool open)
{
    if (IsJapanese())
        return open ? "開く" : "名前を付けて保存";
    return open ? "Open" : "Save As";
}
}
