#include "platform/QtTranslation.h"

#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace tavlix {

QTranslator* installQtTurkish(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    for (const QString& dir :
         {QLibraryInfo::path(QLibraryInfo::TranslationsPath), programDir() + u"/translations"_s}) {
        if (translator->load(u"qtbase_tr"_s, dir) &&
            QCoreApplication::installTranslator(translator))
            return translator;
    }
    delete translator;
    return nullptr;
}

} // namespace tavlix
